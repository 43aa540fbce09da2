#include "online/http_exchange.h"

#include <cerrno>
#include <optional>
#include <vector>

namespace velmora::online {

namespace {

using Clock = std::chrono::steady_clock;

// Reads the next piece, running the caller's hook between slices. Returns 0
// at the end of the stream.
size_t receivePiece(platform::TcpSocket& socket, std::span<char> buffer, const ExchangeRules& rules) {
    auto deadline = Clock::now() + rules.idleLimit;
    for (;;) {
        if (rules.betweenSlices) {
            rules.betweenSlices();
        }
        std::optional<size_t> got = socket.receiveSome(buffer, kWaitSlice);
        if (got) {
            return *got;
        }
        if (Clock::now() >= deadline) {
            throw platform::NetError(platform::NetFailure::transferFailed, ETIMEDOUT,
                                     platform::systemErrorText(ETIMEDOUT));
        }
    }
}

class BodyCounter {
public:
    BodyCounter(const ExchangeRules& rules, const ResponseHead& head,
                const std::function<void(std::string_view)>& onBody)
        : rules_(rules), head_(head), onBody_(onBody) {}

    // Passes on the part of `bytes` that belongs to the body.
    void take(std::string_view bytes) {
        if (head_.contentLength) {
            bytes = bytes.substr(0, static_cast<size_t>(std::min<uint64_t>(bytes.size(), remaining())));
        }
        received_ += bytes.size();
        if (rules_.maxBody != 0 && received_ > rules_.maxBody) {
            throw BadResponse("Reply too large");
        }
        if (!bytes.empty()) {
            onBody_(bytes);
        }
    }

    bool done() const { return head_.contentLength && remaining() == 0; }
    bool complete() const { return !head_.contentLength || remaining() == 0; }

private:
    uint64_t remaining() const { return *head_.contentLength - received_; }

    const ExchangeRules& rules_;
    const ResponseHead& head_;
    const std::function<void(std::string_view)>& onBody_;
    uint64_t received_ = 0;
};

}  // namespace

ExchangeResult exchange(platform::TcpSocket& socket, std::string_view request, const ExchangeRules& rules,
                        const std::function<void(const ResponseHead&)>& onHead,
                        const std::function<void(std::string_view)>& onBody) {
    socket.sendAll(request, rules.idleLimit);
    if (rules.betweenSlices) {
        rules.betweenSlices();
    }

    std::vector<char> buffer(16 * 1024);
    std::string pending;
    HeadParse parsed;
    while (parsed.state == HeadState::incomplete) {
        size_t got = receivePiece(socket, buffer, rules);
        if (got == 0) {
            throw BadResponse("Connection closed before the reply's head");
        }
        // Only a piece that may close the head is worth a parse.
        size_t from = pending.size() < 2 ? 0 : pending.size() - 2;
        pending.append(buffer.data(), got);
        if (findResponseHeadEnd(pending, from) != std::string::npos || pending.size() >= kMaxResponseHead
            || (pending.size() >= 5 && pending.compare(0, 5, "HTTP/") != 0)) {
            parsed = parseResponseHead(pending);
        }
    }
    if (parsed.state == HeadState::malformed) {
        throw BadResponse("Not an HTTP reply");
    }

    ExchangeResult result;
    result.head = parsed.head;
    onHead(result.head);
    BodyCounter body(rules, result.head, onBody);
    body.take(std::string_view(pending).substr(parsed.headLength));
    while (!body.done()) {
        size_t got = receivePiece(socket, buffer, rules);
        if (got == 0) {
            break;
        }
        body.take(std::string_view(buffer.data(), got));
    }
    result.bodyComplete = body.complete();
    return result;
}

}  // namespace velmora::online
