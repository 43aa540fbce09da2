#include "server/routes.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <variant>

#include "server/pages.h"
#include "server/score_query.h"

namespace velmora::server {

namespace {

constexpr size_t kMaxRequestBody = 1024;
constexpr size_t kInstallerChunk = 64 * 1024;

void reply(httplib::Response& response, int status, const std::string& text) {
    response.status = status;
    response.set_content(text + "\n", "text/plain; charset=utf-8");
}

// What comes after the "?" of the raw request target, undecoded.
std::string_view rawQuery(const httplib::Request& request) {
    std::string_view target = request.target;
    size_t question = target.find('?');
    return question == std::string_view::npos ? std::string_view() : target.substr(question + 1);
}

}  // namespace

Routes::Routes(const ServerOptions& options, ScoreStore& store) : options_(options), store_(store) {}

void Routes::install(httplib::Server& server) {
    server.new_task_queue = [] { return new httplib::ThreadPool(kServerThreads); };
    server.set_payload_max_length(kMaxRequestBody);
    server.set_read_timeout(5, 0);
    server.set_write_timeout(5, 0);
    server.set_keep_alive_timeout(5);
    server.set_keep_alive_max_count(1000);
    server.set_tcp_nodelay(true);

    server.Get("/velmora/velmoraversion.txt", [this](const httplib::Request&, httplib::Response& response) {
        response.set_content(options_.versionText, "text/plain; charset=utf-8");
    });
    server.Get("/velmora/velmorasetup.exe",
               [this](const httplib::Request&, httplib::Response& response) { sendInstaller(response); });
    server.Get("/cgi-bin/velmora.cgi", [this](const httplib::Request& request, httplib::Response& response) {
        postScore(request, response);
    });
    server.Get("/counter/velmora.shtml",
               [this](const httplib::Request&, httplib::Response& response) { listScores(response); });
    server.Get("/", [this](const httplib::Request&, httplib::Response& response) {
        response.set_content(homePage(options_.versionText, !options_.installer.empty()), "text/html; charset=utf-8");
    });

    server.set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (response.body.empty()) {
            reply(response, response.status, "error " + std::to_string(response.status));
        }
    });
    server.set_exception_handler([](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
        reply(response, 500, "server error");
    });
}

void Routes::postScore(const httplib::Request& request, httplib::Response& response) {
    auto decoded = decodeScoreQuery(rawQuery(request));
    if (const auto* error = std::get_if<QueryError>(&decoded)) {
        reply(response, 400, "refused: " + error->reason);
        return;
    }
    // Committed before the reply leaves: a score the player saw accepted is kept.
    store_.add(std::get<ScoreEntry>(decoded));
    response.set_header("Cache-Control", "no-store");
    reply(response, 200, "score received");
}

void Routes::listScores(httplib::Response& response) {
    std::shared_ptr<const std::string> page = listPage();
    response.set_header("Cache-Control", "no-cache");
    response.set_content(*page, "text/html; charset=utf-8");
}

std::shared_ptr<const std::string> Routes::listPage() {
    uint64_t generation = store_.generation();
    std::lock_guard lock(pageMutex_);
    if (!page_ || pageGeneration_ != generation) {
        page_ = std::make_shared<const std::string>(scoreListPage(store_.best(kListedScores), store_.count()));
        pageGeneration_ = generation;
    }
    return page_;
}

void Routes::sendInstaller(httplib::Response& response) {
    std::error_code error;
    uintmax_t size = options_.installer.empty() ? 0 : std::filesystem::file_size(options_.installer, error);
    auto file = std::make_shared<std::ifstream>(options_.installer, std::ios::binary);
    if (options_.installer.empty() || error || !*file) {
        reply(response, 404, "no installer here");
        return;
    }
    response.set_content_provider(
        static_cast<size_t>(size), "application/octet-stream",
        [file](size_t offset, size_t length, httplib::DataSink& sink) {
            std::vector<char> chunk(std::min(length, kInstallerChunk));
            file->seekg(static_cast<std::streamoff>(offset));
            file->read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            std::streamsize got = file->gcount();
            return got > 0 && sink.write(chunk.data(), static_cast<size_t>(got));
        });
}

}  // namespace velmora::server
