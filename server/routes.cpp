// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/routes.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <variant>

#include "server/pages.h"
#include "server/score_query.h"

namespace velmora::server {

namespace {

const std::string kText = "text/plain; charset=utf-8";
const std::string kHtml = "text/html; charset=utf-8";

// A reply with no body at all: the game takes any body as success, so a
// refused or lost post must not carry one.
HttpReply emptyReply(unsigned status) {
    HttpReply reply;
    reply.status = status;
    reply.contentType = kText;
    reply.headers.emplace_back("Cache-Control", "no-store");
    return reply;
}

}  // namespace

Routes::Routes(const ServerOptions& options, Store& store, PostGate* gate)
    : options_(options), store_(store), gate_(gate) {}

HttpReply Routes::handle(const HttpRequest& request) {
    std::string_view path = request.path;
    if (path == "/cgi-bin/velmora.cgi") {
        return postScore(request);
    }
    if (path == "/counter/velmora.shtml") {
        return listScores();
    }
    if (path == "/velmora/velmoraversion.txt") {
        return textReply(200, options_.versionText);
    }
    if (path == "/velmora/velmorasetup.exe") {
        return sendFile(options_.installer, "no installer here\n");
    }
    if (path == "/velmora/velmorasetup.exe.sig") {
        return sendFile(options_.installer.empty() ? "" : options_.installer + ".sig", "no signature here\n");
    }
    if (path == "/healthz") {
        return health();
    }
    if (path == "/") {
        return textReply(200, homePage(options_.versionText, !options_.installer.empty()), kHtml);
    }
    return textReply(404, "error 404\n");
}

HttpReply Routes::postScore(const HttpRequest& request) {
    std::string sender = gate_ != nullptr ? gate_->senderOf(request) : std::string();
    // Every post counts against the rate, well formed or not.
    if (std::optional<unsigned> refused = gate_ != nullptr ? gate_->refuseEarly(sender) : std::nullopt) {
        return emptyReply(*refused);
    }
    auto decoded = decodeScoreQuery(request.rawQuery);
    if (std::holds_alternative<QueryError>(decoded)) {
        return emptyReply(400);
    }
    ScoreEntry& entry = std::get<ScoreEntry>(decoded);
    if (std::optional<unsigned> refused = gate_ != nullptr ? gate_->refuseOrStamp(sender, entry) : std::nullopt) {
        return emptyReply(*refused);
    }
    try {
        // Committed before the reply leaves: a score the player saw accepted is kept.
        store_.add(entry);
    } catch (const BannedEntry&) {
        return emptyReply(400);
    } catch (const std::exception&) {
        return emptyReply(500);  // not stored, whatever the reason
    }
    HttpReply reply = textReply(200, "score received\n");
    reply.headers.emplace_back("Cache-Control", "no-store");
    return reply;
}

// For service managers and load balancers: 200 while the store answers.
HttpReply Routes::health() {
    try {
        store_.count();
    } catch (const StoreError&) {
        return textReply(503, "store unavailable\n");
    }
    HttpReply reply = textReply(200, "ok\n");
    reply.headers.emplace_back("Cache-Control", "no-store");
    return reply;
}

HttpReply Routes::listScores() {
    HttpReply reply;
    reply.contentType = kHtml;
    reply.body = listPage();
    reply.headers.emplace_back("Cache-Control", "no-cache");
    return reply;
}

std::shared_ptr<const std::string> Routes::listPage() {
    std::shared_ptr<const CachedPage> cached = page_.load();
    if (!cached || cached->generation != store_.generation()) {
        std::lock_guard lock(renderMutex_);
        // Whoever rendered while we waited may have made the page we need.
        uint64_t generation = store_.generation();
        cached = page_.load();
        if (!cached || cached->generation != generation) {
            // A post between reading the generation and the list only makes
            // the next request render again.
            cached = std::make_shared<const CachedPage>(
                CachedPage{generation, scoreListPage(store_.best(kListedScores), store_.count())});
            page_.store(cached);
        }
    }
    return std::shared_ptr<const std::string>(cached, &cached->html);
}

HttpReply Routes::sendFile(const std::string& path, const std::string& missing) {
    int fd = path.empty() ? -1 : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return textReply(404, missing);
    }
    FileBody file(fd, 0);
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        return textReply(404, missing);
    }
    HttpReply reply;
    reply.contentType = "application/octet-stream";
    reply.file.emplace(FileBody(file.release(), static_cast<uint64_t>(status.st_size)));
    return reply;
}

}  // namespace velmora::server
