// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The built velmora-server run as a child process on a port the kernel
// picks, with its own database, and plain HTTP requests to it.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::testing {

class ServerProcess {
public:
    // Starts the server with `arguments` added to "--listen 127.0.0.1:0
    // --post-rate 0" (later options win) and
    // waits for it to say where it listens. Throws when it does not start.
    explicit ServerProcess(const std::vector<std::string>& arguments);
    // The same, started through `launcher` (a program and its words, such as
    // a tracer), which then runs the server as its child.
    ServerProcess(const std::vector<std::string>& arguments, const std::vector<std::string>& launcher);
    ~ServerProcess();

    uint16_t port() const { return port_; }
    pid_t pid() const { return pid_; }
    std::string url(const std::string& target) const;

    // Sends `signal` and waits for the process to end; returns its exit status.
    int stop(int signal);

private:
    pid_t pid_ = -1;
    uint16_t port_ = 0;
};

struct HttpReply {
    int status = 0;
    std::string head;
    std::string body;
};

// Sends `request` as it is to 127.0.0.1:`port` and reads the reply to its
// end (the request should ask for "Connection: close" or be HTTP/1.0).
HttpReply rawRequest(uint16_t port, const std::string& request);

// A plain HTTP/1.0 GET of `target`.
HttpReply get(uint16_t port, const std::string& target);

// A connection to 127.0.0.1:`port` from `source`, another loopback address
// (all of 127/8 is this machine), so that many clients can be told apart by
// address; sends and receives give up after `timeoutSeconds` when it is not
// 0. Returns the descriptor, or -1 with errno set.
int connectFromLoopback(const std::string& source, uint16_t port, int timeoutSeconds = 0);

}  // namespace velmora::testing
