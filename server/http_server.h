// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The HTTP layer: an event-driven server (libmicrohttpd, epoll, a small
// thread pool) so that an idle or slow connection costs memory, not a
// thread. It applies the bounds of limits.h and hands each request to one
// handler.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "server/responder.h"

struct MHD_Daemon;
struct MHD_Connection;

namespace velmora::server {

struct HttpRequest {
    std::string_view method;
    std::string_view path;      // percent-decoded, without the query or an absolute form's scheme and host
    std::string_view rawQuery;  // what follows the "?" of the target, undecoded
    // For the post gate and the access log; empty when not known.
    std::string_view peer{};        // the connection's address, numeric
    std::string_view forwardedFor{};  // X-Forwarded-For
    std::string_view target{};      // as sent, undecoded
    std::string_view version{};     // "HTTP/1.0" or "HTTP/1.1"
    std::string_view userAgent{};
    std::string_view referer{};
};

// An open file sent as a reply body; closed when the reply is dropped.
class FileBody {
public:
    FileBody(int fd, uint64_t size) : fd_(fd), size_(size) {}
    FileBody(FileBody&& other) noexcept : fd_(std::exchange(other.fd_, -1)), size_(other.size_) {}
    FileBody& operator=(FileBody&& other) noexcept {
        std::swap(fd_, other.fd_);
        std::swap(size_, other.size_);
        return *this;
    }
    ~FileBody();

    uint64_t size() const { return size_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
    uint64_t size_;
};

struct HttpReply {
    unsigned status = 200;
    std::string contentType;
    std::shared_ptr<const std::string> body;  // null: empty; may be shared with a cache
    std::optional<FileBody> file;             // when set, the body is the file's content
    std::vector<std::pair<std::string, std::string>> headers;
};

// A reply with a text body.
HttpReply textReply(unsigned status, std::string text, std::string contentType = "text/plain; charset=utf-8");

// Answers a request through the responder, at once or later from any thread.
using HttpHandler = std::function<void(const HttpRequest&, Responder)>;

// The reply to a request its handler answers later, and the connection,
// put aside meanwhile, that waits for it.
struct PendingReply {
    std::mutex mutex;
    std::condition_variable arrived;
    std::optional<HttpReply> reply;
    MHD_Connection* suspended = nullptr;
};

class HttpServer {
public:
    // Listens on `host`:`port` (port 0: the kernel picks one) and serves
    // with `threads` threads. Throws std::runtime_error when it cannot.
    // Every request must be answered: the server waits for the late ones
    // when it stops.
    HttpServer(const std::string& host, uint16_t port, unsigned threads, HttpHandler handler);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    uint16_t port() const { return port_; }

    // Connections open now, and those refused since the start because the
    // server or the sender's address had all it may hold.
    uint64_t openConnections() const { return openConnections_.load(std::memory_order_relaxed); }
    uint64_t refusedConnections() const { return refusedConnections_.load(std::memory_order_relaxed); }

    // Stops accepting connections (those still waiting to be accepted are
    // refused) and waits until no open connection has a request under way,
    // at most `limit`. Kept-alive connections between requests do not count.
    void drain(std::chrono::milliseconds limit);

private:
    struct Tracked {
        int fd;
        std::chrono::steady_clock::time_point deadline;
        bool betweenRequests = false;  // a reply went out, no new request yet
    };

    friend struct HttpCallbacks;
    void adopt(MHD_Connection* connection);
    void track(MHD_Connection* connection, std::optional<std::chrono::steady_clock::time_point> deadline);
    void forget(MHD_Connection* connection);
    void cutLateRequests();
    void markBetweenRequests(MHD_Connection* connection, bool between);
    bool requestsUnderWay() const;
    void closeLongestIdle();
    void deliver(PendingReply& pending, HttpReply reply);
    // Counts one more connection put aside; false once the server stops.
    bool countSuspended();

    HttpHandler handler_;
    uint16_t port_ = 0;
    MHD_Daemon* daemon_ = nullptr;

    // Connections whose request has not yet arrived whole, with the time by
    // which it must; a reaper cuts the late ones.
    std::mutex trackedMutex_;
    std::unordered_map<MHD_Connection*, Tracked> tracked_;
    std::condition_variable reaperWake_;
    bool stopping_ = false;
    std::thread reaper_;
    std::condition_variable requestsSettled_;

    std::atomic<uint64_t> openConnections_{0};
    std::atomic<uint64_t> refusedConnections_{0};

    // Requests put aside until their handler answers.
    std::mutex suspendedMutex_;
    std::condition_variable suspendedDone_;
    size_t suspended_ = 0;
    bool closing_ = false;  // no more connections put aside
};

}  // namespace velmora::server
