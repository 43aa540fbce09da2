// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/http_server.h"

#include <fcntl.h>
#include <microhttpd.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstring>
#include <stdexcept>

#include "server/limits.h"
#include "server/score_query.h"

namespace velmora::server {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kReaperInterval = std::chrono::milliseconds(500);

// Connections accepted beyond kMaxConnections, at once closing the one idle
// longest: a full house of idle connections never keeps a new client waiting.
constexpr unsigned kAdmissionReserve = 256;

// One request in flight: its raw target (the library hands the handler the
// decoded path only, cut at a %00), whether it has been answered, and the
// reply its handler gives later.
struct RequestState {
    std::string target;
    std::string path;
    bool headSeen = false;
    bool answered = false;
    std::shared_ptr<PendingReply> pending;
};

// The target without the scheme and host of an absolute form
// ("http://host/path?query"), which HTTP/1.1 servers must accept.
std::string_view originForm(std::string_view target) {
    for (std::string_view scheme : {"http://", "https://"}) {
        if (target.size() >= scheme.size()
            && std::equal(scheme.begin(), scheme.end(), target.begin(),
                          [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); })) {
            std::string_view rest = target.substr(scheme.size());
            size_t start = rest.find_first_of("/?");
            if (start == std::string_view::npos) {
                return "/";
            }
            return rest.substr(start);
        }
    }
    return target;
}

int listenOn(const std::string& host, uint16_t port, uint16_t& boundPort) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    std::string service = std::to_string(port);
    if (getaddrinfo(host.empty() ? nullptr : host.c_str(), service.c_str(), &hints, &found) != 0) {
        throw std::runtime_error("cannot resolve " + host);
    }
    int fd = -1;
    for (addrinfo* at = found; at != nullptr && fd < 0; at = at->ai_next) {
        fd = ::socket(at->ai_family, at->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, at->ai_protocol);
        int on = 1;
        if (fd >= 0 && (::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0
                        || ::bind(fd, at->ai_addr, at->ai_addrlen) != 0 || ::listen(fd, kListenBacklog) != 0)) {
            ::close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(found);
    if (fd < 0) {
        throw std::runtime_error("cannot listen on " + host + ":" + service);
    }
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length);
    boundPort = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                                  : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
    return fd;
}

MHD_Response* makeResponse(HttpReply& reply) {
    if (reply.file) {
        int fd = reply.file->release();
        MHD_Response* response = MHD_create_response_from_fd64(reply.file->size(), fd);
        if (response == nullptr) {
            ::close(fd);
        }
        return response;
    }
    if (!reply.body || reply.body->empty()) {
        return MHD_create_response_from_buffer(0, nullptr, MHD_RESPMEM_PERSISTENT);
    }
    // The body may be the page cache's copy: the reply keeps it alive
    // instead of copying it.
    auto* hold = new std::shared_ptr<const std::string>(reply.body);
    MHD_Response* response = MHD_create_response_from_buffer_with_free_callback_cls(
        reply.body->size(), const_cast<char*>(reply.body->data()),
        [](void* held) { delete static_cast<std::shared_ptr<const std::string>*>(held); }, hold);
    if (response == nullptr) {
        delete hold;
    }
    return response;
}

MHD_Result queueReply(MHD_Connection* connection, HttpReply reply) {
    MHD_Response* response = makeResponse(reply);
    if (response == nullptr) {
        return MHD_NO;
    }
    if (!reply.contentType.empty()) {
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, reply.contentType.c_str());
    }
    for (const auto& [name, value] : reply.headers) {
        MHD_add_response_header(response, name.c_str(), value.c_str());
    }
    MHD_Result result = MHD_queue_response(connection, reply.status, response);
    MHD_destroy_response(response);
    return result;
}

// A body the server will not read: too big, or a method that has none.
std::optional<HttpReply> refuseBody(MHD_Connection* connection, std::string_view method) {
    const char* length = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
    const char* encoding =
        MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_TRANSFER_ENCODING);
    // A chunked body has no length to check beforehand and could go on for ever.
    if (encoding != nullptr || (length != nullptr && std::strtoull(length, nullptr, 10) > kMaxRequestBody)) {
        return textReply(413, "error 413\n");
    }
    if (method != "GET" && method != "HEAD") {
        HttpReply reply = textReply(405, "error 405\n");
        reply.headers.emplace_back("Allow", "GET, HEAD");
        return reply;
    }
    return std::nullopt;
}

// The numeric address of the connection's peer; an IPv4 peer of an IPv6
// socket without its "::ffff:" prefix.
std::string peerAddress(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    if (info == nullptr || info->client_addr == nullptr) {
        return "";
    }
    const sockaddr* address = info->client_addr;
    socklen_t length = address->sa_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
    char host[NI_MAXHOST];
    if (::getnameinfo(address, length, host, sizeof host, nullptr, 0, NI_NUMERICHOST) != 0) {
        return "";
    }
    std::string text = host;
    if (text.starts_with("::ffff:") && text.find('.') != std::string::npos) {
        text.erase(0, 7);
    }
    return text;
}

// The value of the last `name` header: a proxy appends its own header after
// whatever the client sent.
std::string_view lastHeader(MHD_Connection* connection, const char* name) {
    struct Search {
        const char* name;
        std::string_view value;
    } search{name, {}};
    MHD_get_connection_values(
        connection, MHD_HEADER_KIND,
        [](void* context, MHD_ValueKind, const char* key, const char* value) {
            auto* found = static_cast<Search*>(context);
            if (key != nullptr && value != nullptr && ::strcasecmp(key, found->name) == 0) {
                found->value = value;
            }
            return MHD_YES;
        },
        &search);
    return search.value;
}

std::string_view headerValue(MHD_Connection* connection, const char* name) {
    const char* value = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, name);
    return value != nullptr ? value : "";
}

}  // namespace

FileBody::~FileBody() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool Responder::send(HttpReply reply) const {
    if (state_->answered.exchange(true, std::memory_order_acq_rel)) {
        return false;
    }
    std::function<void(HttpReply)> deliver = std::move(state_->deliver);
    deliver(std::move(reply));
    return true;
}

HttpReply textReply(unsigned status, std::string text, std::string contentType) {
    HttpReply reply;
    reply.status = status;
    reply.contentType = std::move(contentType);
    reply.body = std::make_shared<const std::string>(std::move(text));
    return reply;
}

// The library's callbacks, with access to the server's bookkeeping.
struct HttpCallbacks {
    static void* requestStarted(void* server, const char* uri, MHD_Connection* connection) {
        static_cast<HttpServer*>(server)->markBetweenRequests(connection, false);
        return new (std::nothrow) RequestState{uri, {}, false, false, {}};
    }

    // The library's own messages; only its refusals of connections over the
    // limits are of use, as a count.
    static void logged(void* server, const char* format, va_list) {
        if (std::string_view(format).starts_with("Server reached connection limit")) {
            static_cast<HttpServer*>(server)->refusedConnections_.fetch_add(1, std::memory_order_relaxed);
        }
    }

    static void requestEnded(void* server, MHD_Connection* connection, void** context, MHD_RequestTerminationCode) {
        delete static_cast<RequestState*>(*context);
        *context = nullptr;
        // A kept-alive connection now owes its next request.
        static_cast<HttpServer*>(server)->track(connection, Clock::now() + kRequestDeadline);
        static_cast<HttpServer*>(server)->markBetweenRequests(connection, true);
    }

    static void connectionChanged(void* server, MHD_Connection* connection, void**,
                                  MHD_ConnectionNotificationCode code) {
        auto* self = static_cast<HttpServer*>(server);
        if (code == MHD_CONNECTION_NOTIFY_STARTED) {
            self->adopt(connection);
        } else {
            self->forget(connection);
        }
    }

    static MHD_Result answer(void* server, MHD_Connection* connection, const char*, const char* method,
                             const char* version, const char*, size_t* uploadSize, void** context) {
        auto* self = static_cast<HttpServer*>(server);
        auto* state = static_cast<RequestState*>(*context);
        if (state == nullptr) {
            return MHD_NO;  // no memory for the request: drop the connection
        }
        if (!state->headSeen) {
            // The head has arrived. A reply queued now would make the library
            // close the connection, not knowing whether a body follows; so a
            // body is refused at once, anything else answered on the next
            // call, once the (empty) body has been read.
            state->headSeen = true;
            if (std::optional<HttpReply> refused = refuseBody(connection, method)) {
                state->answered = true;
                return queueReply(connection, std::move(*refused));
            }
            return MHD_YES;
        }
        if (state->pending) {
            return answerLater(connection, *state);
        }
        if (*uploadSize != 0 || state->answered) {
            *uploadSize = 0;  // a small body nobody asked for is dropped
            return MHD_YES;
        }
        state->answered = true;
        self->track(connection, std::nullopt);  // in time: the deadline no longer applies
        std::string_view target = originForm(state->target);
        size_t question = target.find('?');
        // Decoded here, whole: a %00 must not cut the path short.
        state->path = percentDecode(target.substr(0, question));
        HttpRequest request{method, state->path, question == std::string_view::npos ? "" : target.substr(question + 1)};
        std::string peer = peerAddress(connection);
        request.peer = peer;
        request.forwardedFor = lastHeader(connection, "X-Forwarded-For");
        request.target = state->target;
        request.version = version != nullptr ? version : "";
        request.userAgent = headerValue(connection, MHD_HTTP_HEADER_USER_AGENT);
        request.referer = headerValue(connection, MHD_HTTP_HEADER_REFERER);
        auto pending = std::make_shared<PendingReply>();
        state->pending = pending;
        Responder responder([self, pending](HttpReply reply) { self->deliver(*pending, std::move(reply)); });
        try {
            self->handler_(request, responder);
        } catch (const std::exception&) {
            responder.send(textReply(500, "server error\n"));
        }
        std::unique_lock lock(pending->mutex);
        if (!pending->reply && self->countSuspended()) {
            // Put aside until the handler answers, so that this thread serves
            // other connections meanwhile.
            pending->suspended = connection;
            MHD_suspend_connection(connection);
            return MHD_YES;
        }
        // Stopping: the library must not stop with a connection put aside,
        // so the reply (due within its deadline) is waited for here.
        pending->arrived.wait(lock, [&] { return pending->reply.has_value(); });
        return answerLater(connection, *state, false);
    }

    // Queues the reply the handler gave; `lock` false when the caller holds
    // the pending reply's mutex.
    static MHD_Result answerLater(MHD_Connection* connection, RequestState& state, bool lock = true) {
        std::unique_lock guard(state.pending->mutex, std::defer_lock);
        if (lock) {
            guard.lock();
        }
        std::optional<HttpReply> reply = std::exchange(state.pending->reply, std::nullopt);
        if (guard.owns_lock()) {
            guard.unlock();
        }
        if (!reply) {
            return MHD_NO;
        }
        return queueReply(connection, std::move(*reply));
    }
};

HttpServer::HttpServer(const std::string& host, uint16_t port, unsigned threads, HttpHandler handler)
    : handler_(std::move(handler)) {
    int listener = listenOn(host, port, port_);
    daemon_ = MHD_start_daemon(
        MHD_USE_EPOLL_INTERNAL_THREAD | MHD_ALLOW_SUSPEND_RESUME | MHD_USE_ITC | MHD_USE_ERROR_LOG, 0, nullptr,
        nullptr, &HttpCallbacks::answer, this,
        MHD_OPTION_LISTEN_SOCKET, listener,
        MHD_OPTION_THREAD_POOL_SIZE, static_cast<unsigned>(threads < 1 ? 1 : threads),
        MHD_OPTION_CONNECTION_LIMIT, kMaxConnections + kAdmissionReserve,
        MHD_OPTION_PER_IP_CONNECTION_LIMIT, kMaxConnectionsPerAddress,
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, kConnectionMemory,
        MHD_OPTION_CONNECTION_TIMEOUT, kIdleSeconds,
        MHD_OPTION_URI_LOG_CALLBACK, &HttpCallbacks::requestStarted, this,
        MHD_OPTION_NOTIFY_COMPLETED, &HttpCallbacks::requestEnded, this,
        MHD_OPTION_NOTIFY_CONNECTION, &HttpCallbacks::connectionChanged, this,
        MHD_OPTION_EXTERNAL_LOGGER, &HttpCallbacks::logged, this,
        MHD_OPTION_END);
    if (daemon_ == nullptr) {
        ::close(listener);
        throw std::runtime_error("cannot start the HTTP server");
    }
    reaper_ = std::thread([this] {
        std::unique_lock lock(trackedMutex_);
        while (!reaperWake_.wait_for(lock, kReaperInterval, [this] { return stopping_; })) {
            cutLateRequests();
        }
    });
}

HttpServer::~HttpServer() {
    {
        // The library must not stop with connections put aside.
        std::unique_lock lock(suspendedMutex_);
        closing_ = true;
        suspendedDone_.wait(lock, [this] { return suspended_ == 0; });
    }
    {
        std::lock_guard lock(trackedMutex_);
        stopping_ = true;
    }
    reaperWake_.notify_all();
    reaper_.join();
    MHD_stop_daemon(daemon_);
}

void HttpServer::adopt(MHD_Connection* connection) {
    openConnections_.fetch_add(1, std::memory_order_relaxed);
    const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
    if (info != nullptr) {
        std::lock_guard lock(trackedMutex_);
        tracked_[connection] = Tracked{info->connect_fd, Clock::now() + kRequestDeadline};
        if (tracked_.size() > kMaxConnections) {
            closeLongestIdle();
        }
    }
}

// Called with trackedMutex_ held. The connection that has waited longest for
// its next request (the earliest deadline) goes; those with a request being
// answered stay.
void HttpServer::closeLongestIdle() {
    auto longest = tracked_.end();
    for (auto at = tracked_.begin(); at != tracked_.end(); ++at) {
        if (at->second.deadline != Clock::time_point::max()
            && (longest == tracked_.end() || at->second.deadline < longest->second.deadline)) {
            longest = at;
        }
    }
    if (longest != tracked_.end()) {
        ::shutdown(longest->second.fd, SHUT_RDWR);
        longest->second.deadline = Clock::time_point::max();
    }
}

bool HttpServer::countSuspended() {
    std::lock_guard lock(suspendedMutex_);
    if (closing_) {
        return false;
    }
    ++suspended_;
    return true;
}

void HttpServer::deliver(PendingReply& pending, HttpReply reply) {
    std::lock_guard lock(pending.mutex);
    pending.reply = std::move(reply);
    pending.arrived.notify_all();
    if (pending.suspended != nullptr) {
        MHD_resume_connection(std::exchange(pending.suspended, nullptr));
        {
            std::lock_guard count(suspendedMutex_);
            --suspended_;
        }
        suspendedDone_.notify_all();
    }
}

void HttpServer::track(MHD_Connection* connection, std::optional<Clock::time_point> deadline) {
    std::lock_guard lock(trackedMutex_);
    // Only connections still open: a closed one must not come back.
    if (auto at = tracked_.find(connection); at != tracked_.end()) {
        at->second.deadline = deadline.value_or(Clock::time_point::max());
    }
}

void HttpServer::forget(MHD_Connection* connection) {
    openConnections_.fetch_sub(1, std::memory_order_relaxed);
    {
        std::lock_guard lock(trackedMutex_);
        tracked_.erase(connection);
    }
    requestsSettled_.notify_all();
}

void HttpServer::markBetweenRequests(MHD_Connection* connection, bool between) {
    {
        std::lock_guard lock(trackedMutex_);
        if (auto at = tracked_.find(connection); at != tracked_.end()) {
            at->second.betweenRequests = between;
        }
    }
    if (between) {
        requestsSettled_.notify_all();
    }
}

// Called with trackedMutex_ held.
bool HttpServer::requestsUnderWay() const {
    return std::any_of(tracked_.begin(), tracked_.end(),
                       [](const auto& entry) { return !entry.second.betweenRequests; });
}

void HttpServer::drain(std::chrono::milliseconds limit) {
    MHD_socket listener = MHD_quiesce_daemon(daemon_);
    if (listener != MHD_INVALID_SOCKET) {
        ::close(listener);
    }
    std::unique_lock lock(trackedMutex_);
    requestsSettled_.wait_for(lock, limit, [this] { return !requestsUnderWay(); });
}

// Called with trackedMutex_ held. The library reports a connection closed
// before it closes the socket, so every socket here is still the one tracked.
void HttpServer::cutLateRequests() {
    Clock::time_point now = Clock::now();
    for (auto& [connection, tracked] : tracked_) {
        if (tracked.deadline <= now) {
            // The library sees the end of the stream and closes the connection.
            ::shutdown(tracked.fd, SHUT_RDWR);
            tracked.deadline = Clock::time_point::max();
        }
    }
}

}  // namespace velmora::server
