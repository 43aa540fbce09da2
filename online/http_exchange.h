// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One request and its response over a connected socket, shared by the two
// fetch components: send the head, read and parse the response head, pass
// the body on as it arrives. Bounded in time (no progress within the idle
// limit fails, and so does passing the whole exchange's deadline) and, when
// asked, in body size.

#include <chrono>
#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "online/http_response_head.h"
#include "platform/net.h"

namespace velmora::online {

// The server's reply is not an HTTP response, or its body passed the limit.
class BadResponse : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The moment by which a whole fetch must be over, however steadily its bytes
// trickle in. A default-made one never passes.
class ExchangeDeadline {
public:
    using Clock = std::chrono::steady_clock;

    ExchangeDeadline() = default;
    // `limit` from now.
    explicit ExchangeDeadline(std::chrono::milliseconds limit) : at_(Clock::now() + limit) {}

    bool passed() const { return Clock::now() >= at_; }
    // Throws platform::NetError (transferFailed, ETIMEDOUT) once passed.
    void check() const;
    // `wait`, shortened to what is left (at least 1 ms, so waits stay waits).
    std::chrono::milliseconds cap(std::chrono::milliseconds wait) const;

private:
    Clock::time_point at_ = Clock::time_point::max();
};

struct ExchangeRules {
    std::chrono::milliseconds idleLimit{30000};
    size_t maxBody = 0;  // 0: no limit
    // Runs between waiting slices (every few milliseconds while nothing
    // arrives, and between pieces); whatever it throws ends the exchange.
    std::function<void()> betweenSlices;
    ExchangeDeadline deadline;
    // Asked once the final head has arrived; false ends the exchange there
    // without reading the body (a redirect need not wait for its page).
    // Unset: the body is always read.
    std::function<bool(const ResponseHead&)> bodyWanted;
};

struct ExchangeResult {
    ResponseHead head;
    // False when the stream ended before the Content-Length was reached (or
    // before the last chunk of a chunked body).
    bool bodyComplete = true;
};

// Interim (1xx) replies skipped before the exchange fails.
inline constexpr int kMaxInterimReplies = 16;

// Sends `request` and reads the response until its Content-Length has
// arrived, its last chunk has, or the server ends the stream. Interim 1xx
// replies are skipped; a chunked body is decoded. `onHead` runs once when
// the final head is parsed; `onBody` gets each piece of the body in order.
// Throws platform::NetError on network failures and time-outs, BadResponse
// as above.
ExchangeResult exchange(platform::TcpSocket& socket, std::string_view request, const ExchangeRules& rules,
                        const std::function<void(const ResponseHead&)>& onHead,
                        const std::function<void(std::string_view)>& onBody);

// How long one wait lasts before betweenSlices runs again.
inline constexpr std::chrono::milliseconds kWaitSlice{10};

}  // namespace velmora::online
