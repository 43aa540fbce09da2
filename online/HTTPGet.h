// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// THTTPGet: fetches one address in the background and hands the body back
// as a string on the UI thread.

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "platform/dispatcher.h"

namespace velmora::online {

class THTTPGet {
public:
    using DoneStringEvent = std::function<void(THTTPGet& sender, const std::string& result)>;
    using ErrorEvent = std::function<void(THTTPGet& sender)>;

    // A string body larger than this fails the fetch rather than growing.
    static constexpr size_t kMaxBody = 8 * 1024 * 1024;

    // Results are delivered through `dispatcher`, which every fetch's worker
    // keeps alive until it ends. Use the component on the UI thread only.
    explicit THTTPGet(std::shared_ptr<platform::Dispatcher> dispatcher);
    // Cancels a fetch in flight; it then delivers nothing and its worker
    // ends on its own (nothing waits for it).
    ~THTTPGet();
    THTTPGet(const THTTPGet&) = delete;
    THTTPGet& operator=(const THTTPGet&) = delete;

    // Properties, copied by FetchString for the worker.
    std::string URL;                    // "http://host[:port]/path?query"
    std::string Agent = "Velmora HTTPGet";
    std::string AcceptTypes = "*/*";
    bool BinaryData = false;            // the body is always read to its end
    bool UseCache = false;              // false: ask every cache on the way to stand aside
    bool WaitThread = false;            // true: FetchString runs the fetch before it returns
    std::string PostQuery;              // non-empty: sent as a form POST instead of a GET
    // A connection or read with no progress for this long fails the fetch.
    std::chrono::milliseconds Timeout{30000};
    // The whole fetch, however steadily its bytes trickle in, fails past this.
    std::chrono::milliseconds TotalTimeout{60000};

    // Events, run on the UI thread; each only if set.
    DoneStringEvent OnDoneString;  // the body, when at least one byte came
    ErrorEvent OnError;            // everything else, whatever the cause

    // Starts fetching URL and returns at once. Ignored while a fetch is in
    // flight (until its event has returned). Exactly one event follows.
    void FetchString();

    // Tells the fetch in flight to stop; its event is then OnError.
    void CancelFetch();

    // True from FetchString until the fetch's event has returned.
    bool busy() const { return static_cast<bool>(fetch_); }

private:
    struct Fetch;
    void complete(bool success, const std::string& text);

    std::shared_ptr<platform::Dispatcher> dispatcher_;
    std::shared_ptr<Fetch> fetch_;
};

}  // namespace velmora::online
