// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/server/pg_cluster.h"

#include <fcntl.h>
#include <grp.h>
#include <libpq-fe.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

namespace velmora::testing {

namespace {

constexpr const char* kPort = "5432";  // only names the socket file in our folder

// The newest PostgreSQL installed the Debian way.
std::string serverBinaries() {
    std::filesystem::path best;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/postgresql", error)) {
        std::filesystem::path bin = entry.path() / "bin";
        if (std::filesystem::exists(bin / "postgres") &&
            (best.empty() || entry.path().filename() > best.filename())) {
            best = entry.path();
        }
    }
    if (best.empty()) {
        throw std::runtime_error(
            "no PostgreSQL server in /usr/lib/postgresql (install postgresql)");
    }
    return (best / "bin").string();
}

std::string percentEncoded(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) != 0 || c == '-' || c == '_' || c == '.') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

}  // namespace

PgCluster::PgCluster() : bin_(serverBinaries()) {
    if (::geteuid() == 0) {
        // The server refuses to run as root.
        const passwd* user = ::getpwnam("postgres");
        if (user == nullptr) {
            throw std::runtime_error("no \"postgres\" system user to run the test database as");
        }
        uid_ = user->pw_uid;
        gid_ = user->pw_gid;
        switchUser_ = true;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora_pg_XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a folder for the test database");
    }
    folder_ = pattern;
    if (switchUser_ && ::chown(folder_.c_str(), uid_, gid_) != 0) {
        throw std::runtime_error("cannot hand " + folder_ + " to the postgres user");
    }
    pid_t initdb = spawn({bin_ + "/initdb", "-D", folder_ + "/data", "-U", "postgres", "-E", "UTF8",
                          "--locale=C", "-N", "--auth-local=trust", "--auth-host=reject"},
                         folder_ + "/initdb.log");
    int status = 0;
    if (::waitpid(initdb, &status, 0) != initdb || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("initdb failed; see " + folder_ + "/initdb.log");
    }
    // Superuser "postgres" without a password through the socket, for the
    // tests' own set-up; everyone else with a password.
    std::ofstream(folder_ + "/data/pg_hba.conf", std::ios::trunc)
        << "local all postgres trust\n"
           "local all all scram-sha-256\n";
    start();
    admin("postgres", "CREATE ROLE " + std::string(kUser) + " LOGIN PASSWORD '" + kPassword + "'");
    admin("postgres", "CREATE DATABASE " + std::string(kDatabase) + " OWNER " + kUser);
}

PgCluster::~PgCluster() {
    if (pid_ > 0) {
        stop();
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::string PgCluster::uri(const std::string& database, const std::string& password) const {
    return "postgresql://" + std::string(kUser) + ":" + percentEncoded(password) + "@" +
           percentEncoded(folder_) + ":" + kPort + "/" + database;
}

std::string PgCluster::createDatabase() {
    std::string name = "test_" + std::to_string(++databases_);
    admin(kDatabase, "CREATE SCHEMA " + name + " AUTHORIZATION " + kUser);
    return uri(kDatabase) + "?options=-c%20search_path%3D" + name;
}

void PgCluster::start() {
    // Small, and fsync off: the tests kill server instances, not the
    // machine, and a fast shutdown still writes everything out.
    pid_ = spawn({bin_ + "/postgres", "-D", folder_ + "/data", "-k", folder_, "-p", kPort, "-c",
                  "listen_addresses=", "-c", "max_connections=300", "-c", "shared_buffers=16MB",
                  "-c", "fsync=off", "-c", "full_page_writes=off"},
                 folder_ + "/server.log");
    waitUntilReady();
}

pid_t PgCluster::spawn(std::vector<std::string> words, const std::string& log) const {
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    pid_t child = ::fork();
    if (child == 0) {
        int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ::dup2(out, 1);
        ::dup2(out, 2);
        if (switchUser_ &&
            (::setgroups(0, nullptr) != 0 || ::setgid(gid_) != 0 || ::setuid(uid_) != 0)) {
            ::_exit(126);
        }
        // Set after the change of user, which would clear it: a test program
        // that dies leaves no database server behind.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (child < 0) {
        throw std::runtime_error("cannot start " + words[0]);
    }
    return child;
}

void PgCluster::stop() {
    ::kill(pid_, SIGINT);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
}

namespace {

// `parent` and all its descendants, parents first.
std::vector<pid_t> processTree(pid_t parent) {
    std::vector<pid_t> tree{parent};
    for (size_t at = 0; at < tree.size(); ++at) {
        std::string pid = std::to_string(tree[at]);
        std::ifstream children("/proc/" + pid + "/task/" + pid + "/children");
        for (pid_t child = 0; children >> child;) {
            tree.push_back(child);
        }
    }
    return tree;
}

}  // namespace

void PgCluster::freeze() {
    for (pid_t process : processTree(pid_)) {
        ::kill(process, SIGSTOP);
    }
}

void PgCluster::thaw() {
    for (pid_t process : processTree(pid_)) {
        ::kill(process, SIGCONT);
    }
}

void PgCluster::waitUntilReady() {
    std::string adminInfo = "host=" + folder_ + " port=" + kPort + " user=postgres dbname=postgres";
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (PQping(adminInfo.c_str()) != PQPING_OK) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error("the test database did not start; see " + folder_ +
                                     "/server.log");
        }
        if (std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error("the test database did not answer within 60 s");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void PgCluster::admin(const std::string& database, const std::string& sql) {
    std::string adminInfo =
        "host=" + folder_ + " port=" + kPort + " user=postgres dbname=" + database;
    std::unique_ptr<PGconn, void (*)(PGconn*)> connection(PQconnectdb(adminInfo.c_str()), PQfinish);
    std::unique_ptr<PGresult, void (*)(PGresult*)> result(PQexec(connection.get(), sql.c_str()),
                                                          PQclear);
    if (PQresultStatus(result.get()) != PGRES_COMMAND_OK) {
        throw std::runtime_error(sql + ": " + PQerrorMessage(connection.get()));
    }
}

PgCluster& sharedPgCluster() {
    static PgCluster cluster;
    return cluster;
}

}  // namespace velmora::testing
