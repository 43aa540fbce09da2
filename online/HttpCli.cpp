// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/HttpCli.h"

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "online/http_exchange.h"
#include "online/http_request.h"
#include "platform/net.h"

namespace velmora::online {

EHttpException::EHttpException(const std::string& message, int errorCode)
    : std::runtime_error(message), errorCode_(errorCode) {}

namespace {

// Network failures are reported like a missing page.
constexpr int kNetworkFailureCode = 404;

struct Aborted {};

std::string withErrorNumber(const platform::NetError& error) {
    return std::string(error.what()) + " (Error #" + std::to_string(error.code()) + ")";
}

[[noreturn]] void failNetwork(const std::string& message) {
    throw EHttpException(message, kNetworkFailureCode);
}

[[noreturn]] void failLookup(const platform::NetError& error) {
    if (error.failure() == platform::NetFailure::hostNotFound) {
        failNetwork("can't resolve hostname to IP address");
    }
    failNetwork(error.what());
}

// Looks the host up on a helper thread so that the caller can keep waiting
// in rounds; a caller that gives up leaves the helper to finish on its own.
std::vector<platform::Endpoint> resolveInRounds(const std::string& host, uint16_t port,
                                                const std::function<void()>& waitRound) {
    struct Lookup {
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
        std::vector<platform::Endpoint> endpoints;
        std::exception_ptr error;
    };
    auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, host, port] {
        std::vector<platform::Endpoint> endpoints;
        std::exception_ptr error;
        try {
            endpoints = platform::resolve(host, port);
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard lock(lookup->mutex);
        lookup->endpoints = std::move(endpoints);
        lookup->error = error;
        lookup->done = true;
        lookup->finished.notify_all();
    }).detach();
    for (;;) {
        {
            std::unique_lock lock(lookup->mutex);
            if (lookup->finished.wait_for(lock, kWaitSlice, [&] { return lookup->done; })) {
                break;
            }
        }
        waitRound();
    }
    if (lookup->error) {
        std::rethrow_exception(lookup->error);
    }
    return lookup->endpoints;
}

bool isRedirect(const ResponseHead& head) {
    return head.status >= 300 && head.status < 400 && head.location.has_value();
}

}  // namespace

void THttpCli::waitRound() {
    if (MessagePump) {
        MessagePump();
    }
    if (Terminated && Terminated()) {
        throw Aborted{};
    }
    deadline_.check();
}

void THttpCli::SyncGet() {
    if (busy_) {
        throw EHttpException("HTTP component is busy", 0);
    }
    busy_ = true;
    struct Idle {
        bool& busy;
        ~Idle() { busy = false; }
    } idle{busy_};
    statusCode_ = 0;
    deadline_ = ExchangeDeadline(TotalTimeout);

    std::optional<HttpAddress> address = splitUrl(URL);
    if (!address) {
        failNetwork("can't resolve hostname to IP address");
    }
    for (int redirects = 0;; ++redirects) {
        std::optional<HttpAddress> next = fetchOnce(*address);
        if (!next) {
            break;
        }
        if (redirects == kMaxRedirects) {
            throw EHttpException("Too many redirects", statusCode_);
        }
        address = std::move(next);
    }
}

std::optional<HttpAddress> THttpCli::fetchOnce(const HttpAddress& address) {
    auto round = [this] { waitRound(); };
    std::string request = buildRequestHead("GET", address.target, RequestVer,
                                           {{"Accept", Accept}, {"User-Agent", Agent}, {"Host", hostHeaderValue(address)}});
    ResponseHead head;
    ExchangeResult result;
    try {
        std::vector<platform::Endpoint> endpoints;
        try {
            endpoints = resolveInRounds(address.host, address.port, round);
        } catch (const platform::NetError& error) {
            failLookup(error);
        }
        platform::TcpSocket socket;
        try {
            socket = platform::connectTo(endpoints, deadline_.cap(Timeout), round);
        } catch (const platform::NetError& error) {
            failNetwork("can't connect: " + withErrorNumber(error));
        }
        ExchangeRules rules{Timeout, static_cast<size_t>(MaxBody), round, deadline_,
                            [](const ResponseHead& received) { return !isRedirect(received); }};
        result = exchange(
            socket, request, rules,
            [this, &head](const ResponseHead& received) {
                head = received;
                statusCode_ = received.status;
            },
            [this, &head](std::string_view piece) {
                if (isRedirect(head) || ReceiveStream == nullptr) {
                    return;  // a redirect's own page is not the download
                }
                ReceiveStream->write(piece.data(), static_cast<std::streamsize>(piece.size()));
                if (!*ReceiveStream) {
                    failNetwork("Cannot write the received data");
                }
            });
    } catch (const Aborted&) {
        failNetwork("Connection aborted on request");

    } catch (const platform::NetError& error) {
        failNetwork(withErrorNumber(error));
    } catch (const BadResponse& error) {
        failNetwork(error.what());
    }

    if (isRedirect(head)) {
        std::optional<HttpAddress> next = resolveLocation(address, *head.location);
        if (!next) {
            failNetwork("can't resolve hostname to IP address");
        }
        return next;
    }
    if (!result.bodyComplete) {
        failNetwork("Connection closed before the whole reply arrived");
    }
    if (head.status >= 400) {
        throw EHttpException(head.reason.empty() ? "HTTP error " + std::to_string(head.status) : head.reason,
                             head.status);
    }
    if (ReceiveStream != nullptr) {
        ReceiveStream->flush();
    }
    return std::nullopt;
}

}  // namespace velmora::online
