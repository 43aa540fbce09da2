#pragma once
// One request and its response over a connected socket, shared by the two
// fetch components: send the head, read and parse the response head, pass
// the body on as it arrives. Bounded in time (no progress within the idle
// limit fails) and, when asked, in body size.

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

struct ExchangeRules {
    std::chrono::milliseconds idleLimit{30000};
    size_t maxBody = 0;  // 0: no limit
    // Runs between waiting slices (every few milliseconds while nothing
    // arrives, and between pieces); whatever it throws ends the exchange.
    std::function<void()> betweenSlices;
};

struct ExchangeResult {
    ResponseHead head;
    // False when the stream ended before the Content-Length was reached.
    bool bodyComplete = true;
};

// Sends `request` and reads the response until its Content-Length has
// arrived or the server ends the stream. `onHead` runs once when the head is
// parsed; `onBody` gets each piece of the body in order. Throws
// platform::NetError on network failures and time-outs, BadResponse as above.
ExchangeResult exchange(platform::TcpSocket& socket, std::string_view request, const ExchangeRules& rules,
                        const std::function<void(const ResponseHead&)>& onHead,
                        const std::function<void(std::string_view)>& onBody);

// How long one wait lasts before betweenSlices runs again.
inline constexpr std::chrono::milliseconds kWaitSlice{10};

}  // namespace velmora::online
