// SPDX-License-Identifier: GPL-3.0-or-later
// velmora-server: the high-score web server of Velmora.
#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <exception>
#include <iostream>
#include <memory>
#include <string_view>
#include <thread>

#include "server/access_log.h"
#include "server/admin_command.h"
#include "server/http_server.h"
#include "server/limits.h"
#include "server/metrics.h"
#include "server/moderation.h"
#include "server/options.h"
#include "server/request_observer.h"
#include "server/routes.h"
#include "server/server_gauges.h"
#include "server/store_factory.h"
#include "velmora_version.h"

namespace {

using velmora::server::ServerOptions;

// SIGTERM and SIGINT are taken by the main thread, which then stops the
// server, so requests in progress finish and the database is closed cleanly;
// SIGHUP reopens the access log. Blocked here, before any other thread
// exists, so every thread inherits the mask.
sigset_t blockStopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGHUP);
    // A log reader that went away must not end the server.
    signal(SIGPIPE, SIG_IGN);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    return signals;
}

// Every connection is a descriptor; the usual soft limit of 1024 would cap
// the connections far below what the server is built to hold.
void allowEveryConnection() {
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }
}

int run(ServerOptions options) {
    sigset_t signals = blockStopSignals();
    allowEveryConnection();
    if (options.database.empty()) {
        options.database = velmora::server::defaultDatabasePath();
    }
    if (options.threads == 0) {
        options.threads = std::max(1u, std::thread::hardware_concurrency());
    }
    std::unique_ptr<velmora::server::Store> store = velmora::server::openStore(options.database);
    velmora::server::PostGate gate({options.postsPerMinute, options.maxScore, options.trustedProxies},
                                   velmora::server::openModeration(options.database)->posterSecret());
    velmora::server::Routes routes(options, *store, &gate);
    std::unique_ptr<velmora::server::AccessLog> accessLog;
    if (options.accessLog) {
        accessLog = std::make_unique<velmora::server::AccessLog>(options.accessLogFile);
    }
    velmora::server::Metrics metrics;
    velmora::server::ServerGauges gauges(options.database, *store);
    velmora::server::RequestObserver observer(
        [&routes](const velmora::server::HttpRequest& request, velmora::server::Responder responder) {
            routes.handle(request, std::move(responder));
        },
        metrics,
        [&gauges] { return gauges.read(); }, accessLog.get(), options.trustedProxies);
    velmora::server::HttpServer server(options.host, options.port, options.threads,
                                       [&observer](const velmora::server::HttpRequest& request,
                                                   velmora::server::Responder responder) {
                                           observer.handle(request, std::move(responder));
                                       });
    gauges.watch(server);
    std::cout << "velmora-server listening on http://" << options.host << ":" << server.port() << std::endl;
    int received = 0;
    while (sigwait(&signals, &received) == 0 && received == SIGHUP) {
        if (accessLog) {
            accessLog->reopen();
        }
    }
    // Requests under way get their replies; the store then writes its
    // journal back as it closes.
    server.drain(velmora::server::kStopGrace);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string_view(argv[1]) == "admin") {
        return velmora::server::runAdminCommand(std::vector<std::string>(argv + 2, argv + argc), std::cout, std::cerr);
    }
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
