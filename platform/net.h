// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TCP connections over POSIX sockets: name lookup, connect, send and receive,
// each bounded in time so that no caller can hang on a silent peer. Waiting is
// done in slices the caller chooses, so a caller can stay responsive (check a
// cancel flag, keep a message loop running) between slices.

#include <sys/socket.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::platform {

// Why a network operation failed; callers turn this into their own messages.
enum class NetFailure {
    hostNotFound,   // the name has no address
    lookupFailed,   // the lookup itself failed (no resolver, out of memory, ...)
    connectFailed,  // every address refused or did not answer in time
    transferFailed, // sending or receiving failed (reset, timed out, ...)
};

class NetError : public std::runtime_error {
public:
    // `text` is the system's description; `code` is errno (or the resolver's
    // code for the two lookup failures).
    NetError(NetFailure failure, int code, const std::string& text);
    NetFailure failure() const { return failure_; }
    int code() const { return code_; }

private:
    NetFailure failure_;
    int code_;
};

// One resolved address of a host.
struct Endpoint {
    sockaddr_storage address{};
    socklen_t length = 0;
};

// Looks up `host` (a name or a numeric IPv4/IPv6 address) for TCP on `port`.
// Blocks for as long as the system resolver takes. Returns at least one
// endpoint; throws NetError (hostNotFound or lookupFailed) otherwise.
std::vector<Endpoint> resolve(const std::string& host, uint16_t port);

// A connected (or connecting) TCP socket. Movable, closes on destruction.
class TcpSocket {
public:
    TcpSocket() = default;
    TcpSocket(TcpSocket&& other) noexcept;
    TcpSocket& operator=(TcpSocket&& other) noexcept;
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;
    ~TcpSocket();

    // Starts a non-blocking connect to `endpoint`. Throws NetError
    // (connectFailed) when the connect fails at once.
    static TcpSocket startConnect(const Endpoint& endpoint);

    // Waits up to `slice` for a started connect. Returns true once connected,
    // false while still pending; throws NetError (connectFailed) on failure.
    bool finishConnect(std::chrono::milliseconds slice);

    // Sends every byte, waiting at most `idleLimit` for each bit of progress.
    // Throws NetError (transferFailed) on failure or when the limit passes.
    void sendAll(std::string_view bytes, std::chrono::milliseconds idleLimit);

    // Waits up to `slice` for incoming bytes and reads at most buffer.size()
    // of them. Returns nullopt when nothing arrived within the slice, 0 when
    // the peer ended the stream, else the count read. Throws NetError
    // (transferFailed) on failure.
    std::optional<size_t> receiveSome(std::span<char> buffer, std::chrono::milliseconds slice);

    bool isOpen() const { return fd_ >= 0; }
    void close();

private:
    explicit TcpSocket(int fd) : fd_(fd) {}
    int fd_ = -1;
};

// Connects to the first of `endpoints` that accepts, waiting at most
// `timeout` for each. `betweenSlices` (when set) runs every few milliseconds
// while waiting; whatever it throws ends the attempt and propagates. Throws
// NetError (connectFailed, with the last address's reason) on failure.
TcpSocket connectTo(const std::vector<Endpoint>& endpoints, std::chrono::milliseconds timeout,
                    const std::function<void()>& betweenSlices = {});

// The system's text for errno value `code`.
std::string systemErrorText(int code);

}  // namespace velmora::platform
