// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/HTTPGet.h"

#include <atomic>
#include <system_error>
#include <thread>

#include "online/http_exchange.h"
#include "online/http_request.h"
#include "online/url_split.h"
#include "platform/net.h"

namespace velmora::online {

namespace {

// The worker's own copy of the properties.
struct FetchSettings {
    std::string url;
    std::string agent;
    std::string acceptTypes;
    std::string postQuery;
    bool useCache = false;
    std::chrono::milliseconds timeout{30000};
    std::chrono::milliseconds totalTimeout{60000};
};

struct Cancelled {};

struct Outcome {
    bool success = false;
    std::string text;
};

std::string requestFor(const FetchSettings& settings, const HttpAddress& address) {
    HeaderLines headers = {
        {"User-Agent", settings.agent},
        {"Accept", settings.acceptTypes},
        {"Host", hostHeaderValue(address)},
    };
    if (!settings.useCache) {
        headers.emplace_back("Pragma", "no-cache");
        headers.emplace_back("Cache-Control", "no-cache");
    }
    if (settings.postQuery.empty()) {
        return buildRequestHead("GET", address.target, "1.0", headers);
    }
    headers.emplace_back("Content-Type", "application/x-www-form-urlencoded");
    headers.emplace_back("Content-Length", std::to_string(settings.postQuery.size()));
    return buildRequestHead("POST", address.target, "1.0", headers) + settings.postQuery;
}

Outcome runFetch(const FetchSettings& settings, const std::atomic<bool>& cancelled) {
    ExchangeDeadline deadline(settings.totalTimeout);
    auto stopIfCancelled = [&cancelled, &deadline] {
        if (cancelled.load()) {
            throw Cancelled{};
        }
        deadline.check();
    };
    try {
        stopIfCancelled();
        std::optional<HttpAddress> address = splitUrl(settings.url);
        if (!address) {
            return {};
        }
        std::vector<platform::Endpoint> endpoints = platform::resolve(address->host, address->port);
        stopIfCancelled();
        platform::TcpSocket socket =
            platform::connectTo(endpoints, deadline.cap(settings.timeout), stopIfCancelled);
        ExchangeRules rules{settings.timeout, THTTPGet::kMaxBody, stopIfCancelled, deadline, {}};
        Outcome outcome;
        ExchangeResult result = exchange(
            socket, requestFor(settings, *address), rules, [](const ResponseHead&) {},
            [&outcome](std::string_view piece) { outcome.text.append(piece); });
        // A body cut short (by a reset, a stall or an early close) is damaged
        // goods: a half version text or half a page is worse than none.
        outcome.success = result.bodyComplete && !outcome.text.empty();
        return outcome;
    } catch (...) {
        // A failed fetch is reported as such; why it failed is nobody's business.
        return {};
    }
}

}  // namespace

// One fetch, shared by the component and its worker.
struct THTTPGet::Fetch {
    FetchSettings settings;
    std::atomic<bool> cancelled{false};
    // The component, or null once it is destroyed. Touched on the UI thread only.
    THTTPGet* owner = nullptr;
};

THTTPGet::THTTPGet(std::shared_ptr<platform::Dispatcher> dispatcher) : dispatcher_(std::move(dispatcher)) {}

THTTPGet::~THTTPGet() {
    if (fetch_) {
        fetch_->cancelled = true;
        fetch_->owner = nullptr;
    }
}

void THTTPGet::FetchString() {
    if (fetch_) {
        return;
    }
    auto fetch = std::make_shared<Fetch>();
    fetch->settings = {URL, Agent, AcceptTypes, PostQuery, UseCache, Timeout, TotalTimeout};
    fetch->owner = this;
    fetch_ = fetch;

    if (WaitThread) {
        Outcome outcome = runFetch(fetch->settings, fetch->cancelled);
        complete(outcome.success, outcome.text);
        return;
    }
    try {
        std::thread([fetch, dispatcher = dispatcher_] {
            Outcome outcome = runFetch(fetch->settings, fetch->cancelled);
            dispatcher->runOnUiThread([fetch, &outcome] {
                if (fetch->owner != nullptr) {
                    fetch->owner->complete(outcome.success, outcome.text);
                }
            });
        }).detach();
    } catch (const std::system_error&) {
        complete(false, {});  // no thread to be had: the fetch failed at once
    }
}

void THTTPGet::CancelFetch() {
    if (fetch_) {
        fetch_->cancelled = true;
    }
}

void THTTPGet::complete(bool success, const std::string& text) {
    std::shared_ptr<Fetch> fetch = fetch_;
    // Idle again only once the event has returned, even if it throws; an
    // event that destroyed this component leaves nothing to mark.
    struct Idle {
        std::shared_ptr<Fetch>& fetch;
        ~Idle() {
            if (fetch->owner != nullptr) {
                fetch->owner->fetch_.reset();
            }
        }
    } idle{fetch};
    if (success && !fetch->cancelled.load()) {
        if (OnDoneString) {
            OnDoneString(*this, text);
        }
    } else if (OnError) {
        OnError(*this);
    }
}

}  // namespace velmora::online
