// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/routes.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
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

HttpReply healthReply(unsigned status, std::string text) {
    HttpReply reply = textReply(status, std::move(text) + "\n");
    reply.headers.emplace_back("Cache-Control", "no-store");
    return reply;
}

// One line, whatever the store's message held.
std::string oneLine(std::string text) {
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return text;
}

}  // namespace

Routes::Routes(const ServerOptions& options, Store& store, PostGate* gate)
    : options_(options), store_(store), gate_(gate), committer_(store) {}

void Routes::handle(const HttpRequest& request, Responder responder) {
    std::string_view path = request.path;
    if (path == "/cgi-bin/velmora.cgi") {
        return postScore(request, responder);
    }
    if (path == "/counter/velmora.shtml") {
        return listScores(responder);
    }
    if (path == "/healthz") {
        return health(responder);
    }
    responder.send([&] {
        if (path == "/velmora/velmoraversion.txt") {
            return textReply(200, options_.versionText);
        }
        if (path == "/velmora/velmorasetup.exe") {
            return sendFile(options_.installer, "no installer here\n");
        }
        if (path == "/velmora/velmorasetup.exe.sig") {
            return sendFile(options_.installer.empty() ? "" : options_.installer + ".sig", "no signature here\n");
        }
        if (path == "/") {
            return textReply(200, homePage(options_.versionText, !options_.installer.empty()), kHtml);
        }
        return textReply(404, "error 404\n");
    }());
}

void Routes::answerLate(const Responder& responder, std::chrono::milliseconds deadline, HttpReply fallback) {
    auto held = std::make_shared<HttpReply>(std::move(fallback));  // a reply moves, never copies
    timer_.at(DeadlineTimer::Clock::now() + deadline, [responder, held] { responder.send(std::move(*held)); });
}

void Routes::postScore(const HttpRequest& request, const Responder& responder) {
    std::string sender = gate_ != nullptr ? gate_->senderOf(request) : std::string();
    // Every post counts against the rate, well formed or not.
    if (std::optional<unsigned> refused = gate_ != nullptr ? gate_->refuseEarly(sender) : std::nullopt) {
        responder.send(emptyReply(*refused));
        return;
    }
    auto decoded = decodeScoreQuery(request.rawQuery);
    if (std::holds_alternative<QueryError>(decoded)) {
        responder.send(emptyReply(400));
        return;
    }
    ScoreEntry& entry = std::get<ScoreEntry>(decoded);
    if (std::optional<unsigned> refused = gate_ != nullptr ? gate_->refuseOrStamp(sender, entry) : std::nullopt) {
        responder.send(emptyReply(*refused));
        return;
    }
    // Answered only once its batch is on disk: a score the player saw
    // accepted is kept. A store that takes too long, or has too much
    // waiting, gets a 503 the player can retry.
    bool queued = committer_.trySubmit(
        std::move(entry), [responder] { return !responder.answered(); },
        [responder](PostOutcome outcome) {
            if (outcome == PostOutcome::banned) {
                responder.send(emptyReply(400));
                return;
            }
            if (outcome != PostOutcome::stored) {
                responder.send(emptyReply(500));  // not stored, whatever the reason
                return;
            }
            HttpReply reply = textReply(200, "score received\n");
            reply.headers.emplace_back("Cache-Control", "no-store");
            responder.send(std::move(reply));
        });
    if (!queued) {
        responder.send(emptyReply(503));
        return;
    }
    answerLate(responder, kPostDeadline, emptyReply(503));
}

// For service managers and load balancers: 200 only when a post would be
// stored now, else 503 and why.
void Routes::health(const Responder& responder) {
    bool queued = pool_.trySubmit([this, responder] {
        try {
            store_.check();
        } catch (const std::exception& error) {
            responder.send(healthReply(503, oneLine(error.what())));
            return;
        }
        responder.send(healthReply(200, "ok"));
    });
    if (!queued) {
        responder.send(healthReply(503, "the store has too much work waiting"));
        return;
    }
    answerLate(responder, kHealthDeadline, healthReply(503, "the store did not answer within a second"));
}

void Routes::listScores(const Responder& responder) {
    auto pageReply = [](std::shared_ptr<const std::string> page) {
        HttpReply reply;
        reply.contentType = kHtml;
        reply.body = std::move(page);
        reply.headers.emplace_back("Cache-Control", "no-cache");
        return reply;
    };
    std::shared_ptr<const CachedPage> cached = page_.load();
    if (cached && cached->generation == store_.generation()) {
        responder.send(pageReply(std::shared_ptr<const std::string>(cached, &cached->html)));
        return;
    }
    // The list moved: rendered on the store's threads. Meanwhile, or when
    // the store does not answer in time, the last page is better than none.
    HttpReply fallback = cached ? pageReply(std::shared_ptr<const std::string>(cached, &cached->html))
                                : emptyReply(503);
    bool queued = pool_.trySubmit([this, responder, pageReply] {
        if (responder.answered()) {
            return;
        }
        try {
            responder.send(pageReply(listPage()));
        } catch (const std::exception&) {
            responder.send(textReply(500, "server error\n"));
        }
    });
    if (!queued) {
        responder.send(std::move(fallback));
        return;
    }
    answerLate(responder, kRenderDeadline, std::move(fallback));
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
