// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/net.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace velmora::platform {

NetError::NetError(NetFailure failure, int code, const std::string& text)
    : std::runtime_error(text), failure_(failure), code_(code) {}

std::string systemErrorText(int code) {
    char buffer[256] = {};
    // The GNU strerror_r returns the text, possibly not in the buffer.
    return ::strerror_r(code, buffer, sizeof buffer);
}

namespace {

constexpr auto kConnectSlice = std::chrono::milliseconds(10);

[[noreturn]] void failTransfer(int code) {
    throw NetError(NetFailure::transferFailed, code, systemErrorText(code));
}

[[noreturn]] void failConnect(int code) {
    throw NetError(NetFailure::connectFailed, code, systemErrorText(code));
}

// Waits for `events` on `fd`; returns the reported events, 0 on time-out.
short waitFor(int fd, short events, std::chrono::milliseconds slice) {
    pollfd entry{fd, events, 0};
    int ready;
    do {
        ready = ::poll(&entry, 1, static_cast<int>(slice.count()));
    } while (ready < 0 && errno == EINTR);
    if (ready < 0) {
        failTransfer(errno);
    }
    return ready == 0 ? 0 : entry.revents;
}

}  // namespace

std::vector<Endpoint> resolve(const std::string& host, uint16_t port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_ADDRCONFIG;
    addrinfo* found = nullptr;
    std::string service = std::to_string(port);
    int status = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
    if (status != 0) {
        bool notFound = status == EAI_NONAME || status == EAI_NODATA || status == EAI_FAIL
                        || status == EAI_ADDRFAMILY;
        std::string text = status == EAI_SYSTEM ? systemErrorText(errno) : ::gai_strerror(status);
        throw NetError(notFound ? NetFailure::hostNotFound : NetFailure::lookupFailed, status, text);
    }
    std::vector<Endpoint> endpoints;
    for (addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_addrlen <= sizeof(sockaddr_storage)) {
            Endpoint endpoint;
            std::memcpy(&endpoint.address, entry->ai_addr, entry->ai_addrlen);
            endpoint.length = entry->ai_addrlen;
            endpoints.push_back(endpoint);
        }
    }
    ::freeaddrinfo(found);
    if (endpoints.empty()) {
        throw NetError(NetFailure::hostNotFound, EAI_NONAME, ::gai_strerror(EAI_NONAME));
    }
    return endpoints;
}

TcpSocket::TcpSocket(TcpSocket&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

TcpSocket& TcpSocket::operator=(TcpSocket&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

TcpSocket::~TcpSocket() { close(); }

void TcpSocket::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

TcpSocket TcpSocket::startConnect(const Endpoint& endpoint) {
    int fd = ::socket(endpoint.address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        failConnect(errno);
    }
    TcpSocket socket(fd);
    int one = 1;
    // Requests are written in one piece; no reason to hold them back.
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&endpoint.address), endpoint.length) != 0
        && errno != EINPROGRESS) {
        failConnect(errno);
    }
    return socket;
}

bool TcpSocket::finishConnect(std::chrono::milliseconds slice) {
    if (waitFor(fd_, POLLOUT, slice) == 0) {
        return false;
    }
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
        error = errno;
    }
    if (error != 0) {
        failConnect(error);
    }
    return true;
}

void TcpSocket::sendAll(std::string_view bytes, std::chrono::milliseconds idleLimit) {
    while (!bytes.empty()) {
        ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent > 0) {
            bytes.remove_prefix(static_cast<size_t>(sent));
        } else if (sent < 0 && errno == EINTR) {
            continue;
        } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (waitFor(fd_, POLLOUT, idleLimit) == 0) {
                failTransfer(ETIMEDOUT);
            }
        } else {
            failTransfer(sent < 0 ? errno : EPIPE);
        }
    }
}

std::optional<size_t> TcpSocket::receiveSome(std::span<char> buffer, std::chrono::milliseconds slice) {
    if (waitFor(fd_, POLLIN, slice) == 0) {
        return std::nullopt;
    }
    for (;;) {
        ssize_t got = ::recv(fd_, buffer.data(), buffer.size(), 0);
        if (got >= 0) {
            return static_cast<size_t>(got);
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return std::nullopt;
        }
        if (errno != EINTR) {
            failTransfer(errno);
        }
    }
}

TcpSocket connectTo(const std::vector<Endpoint>& endpoints, std::chrono::milliseconds timeout,
                    const std::function<void()>& betweenSlices) {
    int lastError = EHOSTUNREACH;
    for (const Endpoint& endpoint : endpoints) {
        try {
            TcpSocket socket = TcpSocket::startConnect(endpoint);
            auto deadline = std::chrono::steady_clock::now() + timeout;
            while (!socket.finishConnect(kConnectSlice)) {
                if (betweenSlices) {
                    betweenSlices();
                }
                if (std::chrono::steady_clock::now() >= deadline) {
                    failConnect(ETIMEDOUT);
                }
            }
            return socket;
        } catch (const NetError& error) {
            lastError = error.code();
        }
    }
    failConnect(lastError);
}

}  // namespace velmora::platform
