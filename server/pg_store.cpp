// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/pg_store.h"

#include <libpq-fe.h>
#include <poll.h>

#include <chrono>
#include <memory>

#include "server/ban_rules.h"
#include "server/schema_migration.h"

namespace velmora::server {

namespace {

// Taken while the table is created, so that instances starting together do
// not trip over each other's CREATE.
constexpr const char* kSchema =
    "BEGIN;"
    "SELECT pg_advisory_xact_lock(7318245690);"
    "CREATE TABLE IF NOT EXISTS scores ("
    " id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,"
    " name text NOT NULL,"
    " date text NOT NULL,"
    " score bigint NOT NULL,"
    " posted timestamptz NOT NULL DEFAULT now());"
    "CREATE INDEX IF NOT EXISTS scores_best ON scores (score DESC, id DESC);"
    "COMMIT";

struct Statement {
    const char* name;
    const char* sql;
};

// A banned post is not stored: the insert then reports no row.
const std::string kAddSql = "INSERT INTO scores (name, date, score, poster)"
                            " SELECT $1::text, $2::text, $3::bigint, NULLIF($4::text, '') WHERE NOT "
                            + bannedCondition(SqlEngine::postgres, "$1::text", "NULLIF($4::text, '')");
const std::string kBestSql = "SELECT name, date, score FROM scores WHERE NOT "
                             + bannedCondition(SqlEngine::postgres, "scores.name", "scores.poster")
                             + " ORDER BY score DESC, id DESC LIMIT $1";
const Statement kAdd{"velmora_add", kAddSql.c_str()};
const Statement kBest{"velmora_best", kBestSql.c_str()};
constexpr Statement kCount{"velmora_count", "SELECT count(*) FROM scores"};
// Changes with every transaction that ends anywhere on the database server,
// ours or another instance's, and reads no table: the cheap question the
// watcher asks. A change that is not a post only costs one page rendering.
constexpr Statement kSnapshot{"velmora_snapshot", "SELECT pg_current_snapshot()::text"};

struct ResultFree {
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultFree>;

std::string trimmed(const char* message) {
    std::string text = message != nullptr ? message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text.empty() ? "unknown database error" : text;
}

// The value of the "password" field of a connection string, or "" when it
// has none. Throws when libpq cannot read the string: its message would
// quote the offending part, which may be the password.
std::string passwordOf(const std::string& uri) {
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(uri.c_str(), &error);
    PQfreemem(error);
    if (options == nullptr) {
        throw StoreError("cannot read the connection URI " + redactUri(uri));
    }
    std::string password;
    for (PQconninfoOption* option = options; option->keyword != nullptr; ++option) {
        if (std::string_view(option->keyword) == "password" && option->val != nullptr) {
            password = option->val;
        }
    }
    PQconninfoFree(options);
    return password;
}

// True when nothing has arrived on an idle connection. A server that shut
// down or restarted has said goodbye on each of its connections, and a post
// must not be sent down one known to be dead; anything else arriving while
// idle is rare enough that dropping the connection costs nothing.
bool quiet(PGconn* connection) {
    if (PQstatus(connection) != CONNECTION_OK) {
        return false;
    }
    pollfd socket{PQsocket(connection), POLLIN, 0};
    return ::poll(&socket, 1, 0) == 0;
}

}  // namespace

bool isPostgresUri(const std::string& text) {
    return text.starts_with("postgresql://") || text.starts_with("postgres://");
}

std::string redactUri(const std::string& uri) {
    std::string text = uri;
    size_t scheme = text.find("://");
    size_t query = text.find('?');
    if (scheme != std::string::npos && (query == std::string::npos || scheme < query)) {
        size_t start = scheme + 3;
        // The last "@" before the parameters ends the user part, even when an
        // unencoded password holds "/" or "@".
        size_t at = text.rfind('@', query == std::string::npos ? std::string::npos : query);
        if (at != std::string::npos && at > start) {
            size_t colon = text.find(':', start);
            if (colon != std::string::npos && colon < at) {
                text.replace(colon + 1, at - colon - 1, "***");
            }
        }
    }
    for (size_t at = text.find("password="); at != std::string::npos;
         at = text.find("password=", at + 1)) {
        if (at > 0 && text[at - 1] != '?' && text[at - 1] != '&' && text[at - 1] != ' ') {
            continue;
        }
        size_t value = at + 9;
        size_t end = text.find_first_of("& ", value);
        text.replace(value, (end == std::string::npos ? text.size() : end) - value, "***");
    }
    return text;
}

// A connection borrowed from the pool for one call, given back however the
// call ends.
class PgStore::Lease {
  public:
    explicit Lease(PgStore& store) : store_(store), connection_(store.acquire()) {}
    ~Lease() { store_.release(connection_); }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;

    // Runs a prepared statement; throws StoreError unless it ends as `expected`.
    Result run(const Statement& statement, const std::vector<std::string>& values,
               ExecStatusType expected) {
        std::vector<const char*> pointers;
        std::vector<int> lengths;
        for (const std::string& value : values) {
            pointers.push_back(value.c_str());
            lengths.push_back(static_cast<int>(value.size()));
        }
        Result result(PQexecPrepared(connection_, statement.name, static_cast<int>(values.size()),
                                     pointers.data(), lengths.data(), nullptr, 0));
        if (!result || PQresultStatus(result.get()) != expected) {
            throw StoreError(store_.scrub(trimmed(PQerrorMessage(connection_))));
        }
        return result;
    }

    // Runs a statement without parameters, such as BEGIN or COMMIT.
    void command(const char* sql) {
        Result result(PQexec(connection_, sql));
        if (!result || PQresultStatus(result.get()) != PGRES_COMMAND_OK) {
            throw StoreError(store_.scrub(trimmed(PQerrorMessage(connection_))));
        }
    }

    bool broken() const { return PQstatus(connection_) != CONNECTION_OK; }

  private:
    PgStore& store_;
    pg_conn* connection_;
};

PgStore::PgStore(const std::string& uri, size_t maxConnections)
    : uri_(uri),
      password_(passwordOf(uri)),
      maxConnections_(maxConnections == 0 ? 1 : maxConnections) {
    // The first connection checks the address and sets up the table; it
    // then stays in the pool.
    PGconn* first = openConnection();
    try {
        Result result(PQexec(first, kSchema));
        if (!result || PQresultStatus(result.get()) != PGRES_COMMAND_OK) {
            throw StoreError("cannot set up the scores table in " + redactUri(uri_) + ": " +
                             scrub(trimmed(PQerrorMessage(first))));
        }
        Result migrated(PQexec(first, kPgMigration));
        if (!migrated || PQresultStatus(migrated.get()) != PGRES_COMMAND_OK) {
            throw StoreError("cannot bring the scores table in " + redactUri(uri_) + " up to date: " +
                             scrub(trimmed(PQerrorMessage(first))));
        }
        prepareStatements(first);
    } catch (...) {
        PQfinish(first);
        throw;
    }
    idle_.push_back(first);
    open_ = 1;
    watcher_ = std::thread([this] { watchLoop(); });
}

PgStore::~PgStore() {
    {
        std::lock_guard lock(watchMutex_);
        closing_ = true;
    }
    watchWake_.notify_all();
    watcher_.join();
    for (PGconn* connection : idle_) {
        PQfinish(connection);
    }
}

std::string PgStore::scrub(std::string message) const {
    if (password_.empty()) {
        return message;
    }
    for (size_t at = message.find(password_); at != std::string::npos;
         at = message.find(password_, at + 3)) {
        message.replace(at, password_.size(), "***");
    }
    return message;
}

PGconn* PgStore::connect() {
    PGconn* connection = openConnection();
    try {
        prepareStatements(connection);
    } catch (...) {
        PQfinish(connection);
        throw;
    }
    return connection;
}

PGconn* PgStore::openConnection() {
    // Entries before the URI are defaults it may override; the one after is
    // what the store relies on: names travel as UTF-8.
    // A database host that vanishes without a word must not hold a post
    // for the quarter of an hour TCP would wait by itself.
    const char* keywords[] = {"connect_timeout",
                              "application_name",
                              "keepalives_idle",
                              "keepalives_interval",
                              "keepalives_count",
                              "tcp_user_timeout",
                              "dbname",
                              "client_encoding",
                              nullptr};
    const char* values[] = {"10",    "velmora-server", "10",   "3",    "3",
                            "20000", uri_.c_str(),     "UTF8", nullptr};
    PGconn* connection = PQconnectdbParams(keywords, values, 1);
    if (connection == nullptr) {
        throw StoreError("cannot connect to " + redactUri(uri_) + ": out of memory");
    }
    if (PQstatus(connection) != CONNECTION_OK) {
        std::string reason = scrub(trimmed(PQerrorMessage(connection)));
        PQfinish(connection);
        throw StoreError("cannot connect to " + redactUri(uri_) + ": " + reason);
    }
    // Notices ("already exists, skipping", a server saying goodbye) would go
    // to stderr; failures reach the caller as StoreError instead.
    PQsetNoticeProcessor(
        connection, [](void*, const char*) {}, nullptr);
    return connection;
}

void PgStore::prepareStatements(PGconn* connection) {
    for (const Statement& statement : {kAdd, kBest, kCount, kSnapshot}) {
        Result prepared(PQprepare(connection, statement.name, statement.sql, 0, nullptr));
        if (!prepared || PQresultStatus(prepared.get()) != PGRES_COMMAND_OK) {
            throw StoreError("cannot prepare " + std::string(statement.name) + ": " +
                             scrub(trimmed(PQerrorMessage(connection))));
        }
    }
}

PGconn* PgStore::acquire() {
    std::unique_lock lock(poolMutex_);
    for (;;) {
        while (!idle_.empty()) {
            PGconn* connection = idle_.back();
            idle_.pop_back();
            if (quiet(connection)) {
                return connection;
            }
            --open_;
            lock.unlock();
            PQfinish(connection);
            lock.lock();
        }
        if (open_ < maxConnections_) {
            break;
        }
        poolFreed_.wait(lock);
    }
    ++open_;
    lock.unlock();
    try {
        return connect();
    } catch (...) {
        lock.lock();
        --open_;
        poolFreed_.notify_one();
        throw;
    }
}

void PgStore::release(PGconn* connection) {
    bool healthy =
        PQstatus(connection) == CONNECTION_OK && PQtransactionStatus(connection) == PQTRANS_IDLE;
    {
        std::lock_guard lock(poolMutex_);
        if (healthy) {
            idle_.push_back(connection);
        } else {
            --open_;
        }
    }
    poolFreed_.notify_one();
    if (!healthy) {
        PQfinish(connection);
        // Connections opened beside this one most likely went down with it.
        dropIdle();
    }
}

void PgStore::dropIdle() {
    std::vector<PGconn*> stale;
    {
        std::lock_guard lock(poolMutex_);
        stale.swap(idle_);
        open_ -= stale.size();
    }
    poolFreed_.notify_all();
    for (PGconn* connection : stale) {
        PQfinish(connection);
    }
}

void PgStore::add(const ScoreEntry& entry) {
    // Parameters travel as C strings: a NUL byte would cut the name short
    // without a word, so such an entry is refused instead.
    if (entry.name.find('\0') != std::string::npos || entry.date.find('\0') != std::string::npos) {
        throw StoreError("a name or date holds a NUL byte");
    }
    {
        Lease lease(*this);
        // Never sent again on a fresh connection: a post whose connection
        // broke may have been stored, and a second copy would be worse than
        // an error the player can retry.
        Result added = lease.run(kAdd, {entry.name, entry.date, std::to_string(entry.score), entry.poster},
                                 PGRES_COMMAND_OK);
        if (std::string_view(PQcmdTuples(added.get())) == "0") {
            throw BannedEntry();
        }
    }
    ownChanges_.fetch_add(1, std::memory_order_release);
}

std::vector<bool> PgStore::addAll(const std::vector<ScoreEntry>& entries) {
    if (entries.size() == 1) {
        try {
            add(entries.front());
        } catch (const BannedEntry&) {
            return {false};
        }
        return {true};
    }
    for (const ScoreEntry& entry : entries) {
        if (entry.name.find('\0') != std::string::npos || entry.date.find('\0') != std::string::npos) {
            throw StoreError("a name or date holds a NUL byte");
        }
    }
    std::vector<bool> stored;
    stored.reserve(entries.size());
    {
        // One transaction: its commit is the one wait for the disk.
        Lease lease(*this);
        lease.command("BEGIN");
        try {
            for (const ScoreEntry& entry : entries) {
                // A banned post is not stored: the insert then changes no row.
                Result added = lease.run(kAdd, {entry.name, entry.date, std::to_string(entry.score), entry.poster},
                                         PGRES_COMMAND_OK);
                stored.push_back(std::string_view(PQcmdTuples(added.get())) != "0");
            }
        } catch (const StoreError&) {
            if (!lease.broken()) {
                lease.command("ROLLBACK");
            }
            throw;
        }
        lease.command("COMMIT");
    }
    ownChanges_.fetch_add(1, std::memory_order_release);
    return stored;
}

void PgStore::check() {
    Lease lease(*this);
    lease.run(kSnapshot, {}, PGRES_TUPLES_OK);
}

std::vector<ScoreEntry> PgStore::best(size_t limit) {
    // A read may be repeated once on a new connection when the first one was
    // lost, as after a restart of the database.
    for (int attempt = 0;; ++attempt) {
        Lease lease(*this);
        try {
            Result result = lease.run(kBest, {std::to_string(limit)}, PGRES_TUPLES_OK);
            std::vector<ScoreEntry> entries;
            int rows = PQntuples(result.get());
            entries.reserve(static_cast<size_t>(rows));
            for (int row = 0; row < rows; ++row) {
                entries.push_back(
                    {std::string(PQgetvalue(result.get(), row, 0),
                                 static_cast<size_t>(PQgetlength(result.get(), row, 0))),
                     std::string(PQgetvalue(result.get(), row, 1),
                                 static_cast<size_t>(PQgetlength(result.get(), row, 1))),
                     static_cast<uint32_t>(std::stoull(PQgetvalue(result.get(), row, 2)))});
            }
            return entries;
        } catch (const StoreError&) {
            if (attempt > 0 || !lease.broken()) {
                throw;
            }
        }
    }
}

uint64_t PgStore::count() {
    for (int attempt = 0;; ++attempt) {
        Lease lease(*this);
        try {
            Result result = lease.run(kCount, {}, PGRES_TUPLES_OK);
            return std::stoull(PQgetvalue(result.get(), 0, 0));
        } catch (const StoreError&) {
            if (attempt > 0 || !lease.broken()) {
                throw;
            }
        }
    }
}

uint64_t PgStore::generation() {
    return ownChanges_.load(std::memory_order_acquire) +
           seenChanges_.load(std::memory_order_acquire);
}

void PgStore::watchLoop() {
    PGconn* connection = nullptr;
    std::string lastSnapshot;
    std::unique_lock lock(watchMutex_);
    while (!closing_) {
        lock.unlock();
        if (!watchOnce(connection, lastSnapshot)) {
            // Whatever happened while we could not look may have changed the
            // scores.
            seenChanges_.fetch_add(1, std::memory_order_release);
        }
        lock.lock();
        watchWake_.wait_for(lock, std::chrono::milliseconds(kPgWatchIntervalMs),
                            [this] { return closing_; });
    }
    lock.unlock();
    PQfinish(connection);
}

bool PgStore::watchOnce(PGconn*& connection, std::string& lastSnapshot) {
    if (connection == nullptr) {
        try {
            connection = connect();
        } catch (const StoreError&) {
            return false;
        }
        lastSnapshot.clear();
    }
    Result result(PQexecPrepared(connection, kSnapshot.name, 0, nullptr, nullptr, nullptr, 0));
    if (!result || PQresultStatus(result.get()) != PGRES_TUPLES_OK ||
        PQntuples(result.get()) != 1) {
        PQfinish(connection);
        connection = nullptr;
        return false;
    }
    std::string snapshot = PQgetvalue(result.get(), 0, 0);
    // The first look on a new connection counts as a change too: nothing
    // tells what happened before it.
    if (snapshot != lastSnapshot) {
        seenChanges_.fetch_add(1, std::memory_order_release);
        lastSnapshot = snapshot;
    }
    return true;
}

}  // namespace velmora::server
