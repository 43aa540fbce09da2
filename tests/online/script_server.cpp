// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/online/script_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>

namespace velmora::testing {

namespace {

// Reads the head and a body of its Content-Length (5 s at most).
std::string readRequest(int fd) {
    std::string bytes;
    char buffer[4096];
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    size_t wanted = std::string::npos;
    while (std::chrono::steady_clock::now() < deadline && bytes.size() < wanted) {
        pollfd entry{fd, POLLIN, 0};
        if (::poll(&entry, 1, 50) <= 0) {
            continue;
        }
        ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) {
            break;
        }
        bytes.append(buffer, static_cast<size_t>(got));
        size_t end = bytes.find("\r\n\r\n");
        if (end != std::string::npos && wanted == std::string::npos) {
            size_t length = 0;
            size_t field = bytes.find("Content-Length: ");
            if (field != std::string::npos && field < end) {
                length = std::stoul(bytes.substr(field + 16));
            }
            wanted = end + 4 + length;
        }
    }
    return bytes;
}

}  // namespace

std::string Peer::target() const {
    size_t start = request_.find(' ');
    size_t stop = request_.find(' ', start + 1);
    return start == std::string::npos ? std::string() : request_.substr(start + 1, stop - start - 1);
}

void Peer::send(std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) {
            return;
        }
        bytes.remove_prefix(static_cast<size_t>(sent));
    }
}

void Peer::reply(int status, const std::string& reason, std::string_view body, const std::string& extraHeaders) {
    send("HTTP/1.0 " + std::to_string(status) + " " + reason + "\r\nContent-Length: " + std::to_string(body.size())
         + "\r\n" + extraHeaders + "\r\n");
    send(body);
}

void Peer::reset() {
    linger hard{1, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
}

void Peer::stall() {
    std::unique_lock lock(server_.mutex_);
    server_.changed_.wait(lock, [this] { return server_.stopping_ || server_.released_; });
}

void Peer::waitForClientToLeave() {
    char buffer[256];
    while (!server_.stopping_) {
        pollfd entry{fd_, POLLIN, 0};
        if (::poll(&entry, 1, 50) > 0 && ::recv(fd_, buffer, sizeof buffer, 0) <= 0) {
            return;
        }
    }
}

void Peer::sendForever() {
    std::string filler(64 * 1024, 'x');
    while (!server_.stopping_) {
        pollfd entry{fd_, POLLOUT, 0};
        if (::poll(&entry, 1, 50) <= 0) {
            continue;
        }
        if (::send(fd_, filler.data(), filler.size(), MSG_NOSIGNAL) <= 0) {
            return;
        }
    }
}

void Peer::trickleForever(std::string_view bytes, std::chrono::milliseconds gap) {
    for (size_t at = 0; !server_.stopping_; ++at) {
        char next = at < bytes.size() ? bytes[at] : 'x';
        if (::send(fd_, &next, 1, MSG_NOSIGNAL) <= 0) {
            return;
        }
        std::this_thread::sleep_for(gap);
    }
}

void Peer::interim(int status, const std::string& reason) {
    send("HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\n\r\n");
}

void Peer::replyChunked(int status, const std::vector<std::string>& chunks, const std::string& trailers) {
    char size[32];
    std::string bytes = "HTTP/1.1 " + std::to_string(status) + " OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (const std::string& chunk : chunks) {
        if (!chunk.empty()) {
            std::snprintf(size, sizeof size, "%zx\r\n", chunk.size());
            bytes += size + chunk + "\r\n";
        }
    }
    send(bytes + "0\r\n" + trailers + "\r\n");
}

ScriptServer::ScriptServer(Script script) : script_(std::move(script)) {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(listenFd_, 64) != 0
        || ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("script server cannot listen");
    }
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { acceptLoop(); });
}

ScriptServer::~ScriptServer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    ::shutdown(listenFd_, SHUT_RDWR);
    acceptor_.join();
    for (std::thread& peer : peers_) {
        peer.join();
    }
    ::close(listenFd_);
}

std::string ScriptServer::url(std::string_view target) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(target);
}

std::vector<std::string> ScriptServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

bool ScriptServer::waitForClosed(size_t count, std::chrono::milliseconds limit) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return closed_ >= count; });
}

void ScriptServer::release() {
    {
        std::lock_guard lock(mutex_);
        released_ = true;
    }
    changed_.notify_all();
}

void ScriptServer::acceptLoop() {
    for (;;) {
        int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (stopping_) {
                return;
            }
            continue;
        }
        std::lock_guard lock(mutex_);
        peers_.emplace_back([this, fd] { serve(fd); });
    }
}

void ScriptServer::serve(int fd) {
    std::string request = readRequest(fd);
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
    }
    Peer peer(*this, fd, request);
    script_(peer);
    ::close(fd);
    {
        std::lock_guard lock(mutex_);
        ++closed_;
    }
    changed_.notify_all();
}

}  // namespace velmora::testing
