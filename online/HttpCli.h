// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// THttpCli: a blocking download. SyncGet sends a GET and returns only once
// the whole body has been written into ReceiveStream, keeping the program's
// message loop running meanwhile.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>

#include "online/http_exchange.h"
#include "online/url_split.h"

namespace velmora::online {

// Every failure of SyncGet: the reason as message, an HTTP status (or 404
// for a network failure) as ErrorCode.
class EHttpException : public std::runtime_error {
public:
    EHttpException(const std::string& message, int errorCode);
    int ErrorCode() const { return errorCode_; }

private:
    int errorCode_;
};

class THttpCli {
public:
    // Redirects followed before the download fails.
    static constexpr int kMaxRedirects = 10;
    static constexpr uint64_t kDefaultMaxBody = uint64_t{256} << 20;

    // Properties, read when SyncGet starts.
    std::string URL;  // "http://host[:port]/path"
    std::string Agent = "Mozilla/3.0 (compatible)";
    std::string Accept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
    std::string RequestVer = "1.0";
    std::ostream* ReceiveStream = nullptr;  // where the body goes; may be null to discard it
    // A connection or read with no progress for this long fails the request.
    std::chrono::milliseconds Timeout{30000};
    // The whole download, redirects included, fails past this however
    // steadily its bytes trickle in.
    std::chrono::milliseconds TotalTimeout{std::chrono::minutes(10)};
    // A body larger than this fails the download rather than filling the disk.
    uint64_t MaxBody = kDefaultMaxBody;

    // Runs every few milliseconds while SyncGet waits (the program passes
    // one round of its event loop). May start another SyncGet on this
    // component, which then fails as busy.
    std::function<void()> MessagePump;
    // Asked while SyncGet waits; true (the program is shutting down) aborts
    // the request with "Connection aborted on request".
    std::function<bool()> Terminated;

    // Fetches URL into ReceiveStream, following redirects (a 3xx reply with
    // a Location header; its own body is not kept). Returns normally only
    // when the whole body is in the stream. Throws EHttpException:
    // "HTTP component is busy" (code 0) during another SyncGet; the status's
    // reason text and the status for a final status of 400 or more (the body
    // has been written by then); for network failures, code 404 with
    // "can't resolve hostname to IP address", the resolver's own text when
    // the lookup itself fails, "can't connect: <text> (Error #<errno>)",
    // "<text> (Error #<errno>)" when a transfer fails or stalls, or
    // "Connection aborted on request"; "Too many redirects" with the last
    // status after more than kMaxRedirects redirects. Passing TotalTimeout
    // fails as a network failure ("Connection timed out ...") and so does a
    // body larger than MaxBody ("Reply too large"). A redirect is followed as
    // soon as its head has arrived.
    void SyncGet();

    // The status of the last reply SyncGet received, 0 before any.
    int StatusCode() const { return statusCode_; }

private:
    // One request to `address`. Returns the address to go on to when the
    // reply is a redirect, else nullopt (the body is then in the stream).
    std::optional<HttpAddress> fetchOnce(const HttpAddress& address);
    // One round of waiting: the message pump, then the shutdown check.
    void waitRound();

    bool busy_ = false;
    ExchangeDeadline deadline_;
    int statusCode_ = 0;
};

}  // namespace velmora::online
