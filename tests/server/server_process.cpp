// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/server/server_process.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>

#include "online/http_response_head.h"
#include "platform/net.h"

extern char** environ;

namespace velmora::testing {

namespace {

// Reads the server's first line from `fd`: "... listening on http://127.0.0.1:<port>".
uint16_t readPort(int fd) {
    std::string line;
    char c;
    while (line.find('\n') == std::string::npos) {
        pollfd entry{fd, POLLIN, 0};
        if (::poll(&entry, 1, 5000) <= 0 || ::read(fd, &c, 1) != 1) {
            throw std::runtime_error("velmora-server did not start: " + line);
        }
        line += c;
    }
    return static_cast<uint16_t>(std::stoi(line.substr(line.rfind(':') + 1)));
}

}  // namespace

ServerProcess::ServerProcess(const std::vector<std::string>& arguments) : ServerProcess(arguments, {}) {}

ServerProcess::ServerProcess(const std::vector<std::string>& arguments, const std::vector<std::string>& launcher) {
    std::vector<std::string> words = launcher;
    // Every test client posts from 127.0.0.1: no post limit unless the test sets one.
    for (const char* word : {VELMORA_SERVER_BINARY, "--listen", "127.0.0.1:0", "--post-rate", "0"}) {
        words.emplace_back(word);
    }
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    int out[2];
    if (::pipe(out) != 0) {
        throw std::runtime_error("no pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    int spawned = ::posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        throw std::runtime_error("cannot start velmora-server");
    }
    try {
        port_ = readPort(out[0]);
    } catch (...) {
        ::close(out[0]);
        stop(SIGKILL);
        throw;
    }
    ::close(out[0]);
}

ServerProcess::~ServerProcess() {
    if (pid_ > 0) {
        stop(SIGKILL);
    }
}

std::string ServerProcess::url(const std::string& target) const {
    return "http://127.0.0.1:" + std::to_string(port_) + target;
}

int ServerProcess::stop(int signal) {
    ::kill(pid_, signal);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
}

HttpReply rawRequest(uint16_t port, const std::string& request) {
    using namespace std::chrono_literals;
    platform::TcpSocket socket = platform::connectTo(platform::resolve("127.0.0.1", port), 5s);
    socket.sendAll(request, 5s);
    std::string bytes;
    char buffer[16384];
    for (;;) {
        std::optional<size_t> got;
        try {
            got = socket.receiveSome(buffer, 5s);
        } catch (const platform::NetError&) {
            break;  // a reset ends the reply as well
        }
        if (!got || *got == 0) {
            break;
        }
        bytes.append(buffer, *got);
        online::HeadParse parsed = online::parseResponseHead(bytes);
        if (parsed.state == online::HeadState::complete && parsed.head.contentLength
            && bytes.size() >= parsed.headLength + *parsed.head.contentLength) {
            break;  // whole; the server may keep the connection open
        }
    }
    HttpReply reply;
    online::HeadParse parsed = online::parseResponseHead(bytes);
    if (parsed.state == online::HeadState::complete) {
        reply.status = parsed.head.status;
        reply.head = bytes.substr(0, parsed.headLength);
        reply.body = bytes.substr(parsed.headLength);
    }
    return reply;
}

HttpReply get(uint16_t port, const std::string& target) {
    return rawRequest(port, "GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
}

int connectFromLoopback(const std::string& source, uint16_t port, int timeoutSeconds) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    if (timeoutSeconds > 0) {
        timeval limit{timeoutSeconds, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    }
    sockaddr_in from{};
    from.sin_family = AF_INET;
    ::inet_pton(AF_INET, source.c_str(), &from.sin_addr);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    ::inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0 ||
        ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

}  // namespace velmora::testing
