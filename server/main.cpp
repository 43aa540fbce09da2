// velmora-server: the high-score web server of Velmora.
#include <httplib.h>

#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>
#include <thread>

#include "server/options.h"
#include "server/routes.h"
#include "server/store_factory.h"
#include "velmora_version.h"

namespace {

using velmora::server::ServerOptions;

bool bindServer(httplib::Server& server, ServerOptions& options) {
    if (options.port == 0) {
        int port = server.bind_to_any_port(options.host);
        if (port <= 0) {
            return false;
        }
        options.port = static_cast<uint16_t>(port);
        return true;
    }
    return server.bind_to_port(options.host, options.port);
}

// SIGTERM and SIGINT are taken by one thread that stops the server, so
// requests in progress finish and the database is closed cleanly. Blocked
// here, before any other thread exists, so every thread inherits the mask.
sigset_t blockStopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    return signals;
}

int run(ServerOptions options) {
    sigset_t signals = blockStopSignals();
    if (options.database.empty()) {
        options.database = velmora::server::defaultDatabasePath();
    }
    std::unique_ptr<velmora::server::Store> store = velmora::server::openStore(options.database);
    httplib::Server server;
    velmora::server::Routes routes(options, *store);
    routes.install(server);
    if (!bindServer(server, options)) {
        std::cerr << "velmora-server: cannot listen on " << options.host << ":" << options.port << "\n";
        return 1;
    }
    std::thread stopper([&server, signals] {
        int received = 0;
        sigwait(&signals, &received);
        server.stop();
    });
    std::cout << "velmora-server listening on http://" << options.host << ":" << options.port << std::endl;
    server.listen_after_bind();
    // Listening ended without a signal (an error): wake the stopper ourselves.
    pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        ServerOptions options = velmora::server::parseOptions(std::vector<std::string>(argv + 1, argv + argc));
        if (options.help) {
            std::cout << velmora::server::usageText();
            return 0;
        }
        if (options.version) {
            std::cout << "velmora-server " << velmora::kVersion << "\n" << velmora::kVersionNotice;
            return 0;
        }
        return run(options);
    } catch (const velmora::server::OptionsError& error) {
        std::cerr << "velmora-server: " << error.what() << "\n" << velmora::server::usageText();
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "velmora-server: " << error.what() << "\n";
        return 1;
    }
}
