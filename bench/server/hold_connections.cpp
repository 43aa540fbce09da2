// SPDX-License-Identifier: GPL-3.0-or-later
// Opens COUNT connections to 127.0.0.1:PORT, spread over loopback source
// addresses 127.0.5.x (PER_ADDRESS each, below the server's limit per
// address), sends nothing on them and holds them until killed; one the
// server closes is opened again at once, so COUNT stay held. Says "held N"
// once they are open.
// Usage: bench_server_hold_connections PORT COUNT [PER_ADDRESS]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PORT COUNT [PER_ADDRESS]\n", argv[0]);
        return 2;
    }
    int port = std::atoi(argv[1]);
    int count = std::atoi(argv[2]);
    int perAddress = argc > 3 ? std::atoi(argv[3]) : 50;
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = files.rlim_max;
    setrlimit(RLIMIT_NOFILE, &files);

    auto open = [port, perAddress](int i) {
        int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in from{};
        from.sin_family = AF_INET;
        std::string source = "127.0.5." + std::to_string(1 + i / perAddress);
        inet_pton(AF_INET, source.c_str(), &from.sin_addr);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<uint16_t>(port));
        inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
        if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0
            || connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
            std::perror("connect");
            std::exit(1);
        }
        return fd;
    };
    std::vector<pollfd> held;
    for (int i = 0; i < count; ++i) {
        held.push_back({open(i), POLLIN, 0});
    }
    std::printf("held %zu\n", held.size());
    std::fflush(stdout);
    unsigned long reopened = 0;
    for (;;) {
        if (poll(held.data(), held.size(), -1) < 0) {
            return 1;
        }
        for (size_t i = 0; i < held.size(); ++i) {
            if (held[i].revents != 0) {
                close(held[i].fd);
                held[i].fd = open(static_cast<int>(i));
                held[i].revents = 0;
                if (++reopened % 1000 == 0) {
                    std::fprintf(stderr, "reopened %lu\n", reopened);
                }
            }
        }
    }
}
