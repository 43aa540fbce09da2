// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/http_exchange.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <vector>

#include "online/chunked_body.h"

namespace velmora::online {

void ExchangeDeadline::check() const {
    if (passed()) {
        throw platform::NetError(platform::NetFailure::transferFailed, ETIMEDOUT,
                                 platform::systemErrorText(ETIMEDOUT));
    }
}

std::chrono::milliseconds ExchangeDeadline::cap(std::chrono::milliseconds wait) const {
    if (at_ == Clock::time_point::max()) {
        return wait;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(at_ - Clock::now());
    return std::clamp(left, std::chrono::milliseconds(1), std::max(wait, std::chrono::milliseconds(1)));
}

namespace {

using Clock = std::chrono::steady_clock;

// Reads the next piece, running the caller's hook between slices. Returns 0
// at the end of the stream.
size_t receivePiece(platform::TcpSocket& socket, std::span<char> buffer, const ExchangeRules& rules) {
    auto idleDeadline = Clock::now() + rules.idleLimit;
    for (;;) {
        if (rules.betweenSlices) {
            rules.betweenSlices();
        }
        rules.deadline.check();
        std::optional<size_t> got = socket.receiveSome(buffer, rules.deadline.cap(kWaitSlice));
        if (got) {
            return *got;
        }
        if (Clock::now() >= idleDeadline) {
            throw platform::NetError(platform::NetFailure::transferFailed, ETIMEDOUT,
                                     platform::systemErrorText(ETIMEDOUT));
        }
    }
}

// Counts the body's bytes against the limit and the Content-Length.
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

// The bytes of the body as they come off the wire: plain, or chunked.
class BodyReader {
public:
    BodyReader(const ExchangeRules& rules, const ResponseHead& head,
               const std::function<void(std::string_view)>& onBody)
        : head_(head), counter_(rules, head, onBody) {}

    void take(std::string_view bytes) {
        if (!head_.chunked) {
            counter_.take(bytes);
            return;
        }
        if (chunks_.feed(bytes, [this](std::string_view data) { counter_.take(data); })
            == ChunkedDecoder::State::malformed) {
            throw BadResponse("Damaged chunked reply");
        }
    }

    bool done() const { return head_.chunked ? chunks_.state() == ChunkedDecoder::State::done : counter_.done(); }
    bool complete() const { return head_.chunked ? done() : counter_.complete(); }

private:
    const ResponseHead& head_;
    BodyCounter counter_;
    ChunkedDecoder chunks_;
};

// Reads until `pending` holds a whole head; returns it parsed.
HeadParse receiveHead(platform::TcpSocket& socket, std::vector<char>& buffer, std::string& pending,
                      const ExchangeRules& rules) {
    HeadParse parsed;
    size_t from = 0;
    for (;;) {
        if (findResponseHeadEnd(pending, from) != std::string::npos || pending.size() >= kMaxResponseHead
            || (pending.size() >= 5 && pending.compare(0, 5, "HTTP/") != 0)) {
            parsed = parseResponseHead(pending);
            if (parsed.state != HeadState::incomplete) {
                return parsed;
            }
        }
        // Only a piece that may close the head is worth a parse.
        from = pending.size() < 2 ? 0 : pending.size() - 2;
        size_t got = receivePiece(socket, buffer, rules);
        if (got == 0) {
            throw BadResponse("Connection closed before the reply's head");
        }
        pending.append(buffer.data(), got);
    }
}

}  // namespace

ExchangeResult exchange(platform::TcpSocket& socket, std::string_view request, const ExchangeRules& rules,
                        const std::function<void(const ResponseHead&)>& onHead,
                        const std::function<void(std::string_view)>& onBody) {
    rules.deadline.check();
    socket.sendAll(request, rules.deadline.cap(rules.idleLimit));
    if (rules.betweenSlices) {
        rules.betweenSlices();
    }

    std::vector<char> buffer(16 * 1024);
    std::string pending;
    HeadParse parsed;
    for (int interim = 0;; ++interim) {
        parsed = receiveHead(socket, buffer, pending, rules);
        if (parsed.state == HeadState::malformed) {
            throw BadResponse("Not an HTTP reply");
        }
        if (!parsed.head.isInterim()) {
            break;
        }
        // "100 Continue" and the like carry no body; the real reply follows.
        if (interim == kMaxInterimReplies) {
            throw BadResponse("Too many interim replies");
        }
        pending.erase(0, parsed.headLength);
    }

    ExchangeResult result;
    result.head = parsed.head;
    onHead(result.head);
    if (rules.bodyWanted && !rules.bodyWanted(result.head)) {
        return result;
    }
    BodyReader body(rules, result.head, onBody);
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
