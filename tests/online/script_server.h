// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small HTTP server for the tests that answers each connection with a
// script, so that exact faults (stalls, resets, endless bodies) can be made.
// Listens on 127.0.0.1 on a port the kernel picks.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace velmora::testing {

class ScriptServer;

// One accepted connection, as its script sees it.
class Peer {
public:
    Peer(ScriptServer& server, int fd, std::string request) : server_(server), fd_(fd), request_(std::move(request)) {}

    // The request's bytes: its head and a body of its Content-Length.
    const std::string& request() const { return request_; }
    // The target of the request line, e.g. "/a?b".
    std::string target() const;

    void send(std::string_view bytes);
    // Sends `bytes` with a status line and Content-Length header around it.
    void reply(int status, const std::string& reason, std::string_view body,
               const std::string& extraHeaders = {});
    // Ends the connection with a reset instead of an orderly close.
    void reset();
    // Waits until the server is stopped or `release()` is called.
    void stall();
    // Waits until the client closes its end (or the server stops).
    void waitForClientToLeave();
    // Sends filler until the client goes away or the server stops.
    void sendForever();
    // Sends `bytes` one at a time, `gap` apart, then filler the same way,
    // until the client goes away or the server stops: never a stall long
    // enough for an idle limit, never an end.
    void trickleForever(std::string_view bytes, std::chrono::milliseconds gap);
    // An interim reply, e.g. "100 Continue": a head without a body.
    void interim(int status, const std::string& reason);
    // A chunked reply: one chunk per entry of `chunks` (empty entries are
    // skipped), the last chunk, then `trailers` and the closing empty line.
    void replyChunked(int status, const std::vector<std::string>& chunks, const std::string& trailers = {});

private:
    ScriptServer& server_;
    int fd_;
    std::string request_;
};

class ScriptServer {
public:
    using Script = std::function<void(Peer&)>;

    explicit ScriptServer(Script script);
    ~ScriptServer();

    uint16_t port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by `target`.
    std::string url(std::string_view target) const;

    // Every request received so far, in order.
    std::vector<std::string> requests() const;
    // Waits up to `limit` for `count` connections to have ended.
    bool waitForClosed(size_t count, std::chrono::milliseconds limit) const;
    // Lets stalled peers go on.
    void release();

private:
    friend class Peer;
    void acceptLoop();
    void serve(int fd);

    Script script_;
    int listenFd_ = -1;
    uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    bool released_ = false;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<std::string> requests_;
    size_t closed_ = 0;
    std::vector<std::thread> peers_;
    std::thread acceptor_;
};

}  // namespace velmora::testing
