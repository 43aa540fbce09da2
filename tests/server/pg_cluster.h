// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A throwaway PostgreSQL server for tests: a new cluster in a temporary
// folder, run as an unprivileged user (the "postgres" system user when the
// tests run as root), reachable only through a Unix socket in that folder.

#include <sys/types.h>

#include <string>
#include <vector>

namespace velmora::testing {

class PgCluster {
  public:
    // The role the stores log in as, with a password, as in production.
    static constexpr const char* kUser = "velmora";
    static constexpr const char* kPassword = "Vm-pass-5a8e1c";
    static constexpr const char* kDatabase = "velmora";

    // Creates the cluster and starts it. Throws std::runtime_error when it
    // cannot (no PostgreSQL installed, no unprivileged user to run it).
    PgCluster();
    // Stops the server and removes the folder.
    ~PgCluster();
    PgCluster(const PgCluster&) = delete;
    PgCluster& operator=(const PgCluster&) = delete;

    // A new, empty place for scores; returns its connection URI. It is a
    // schema of its own in kDatabase, chosen through the URI's search path:
    // far quicker to make than a database, and as separate for a store.
    std::string createDatabase();

    // The connection URI of `database` for kUser with `password`.
    std::string uri(const std::string& database, const std::string& password = kPassword) const;

    // Stops the server as an administrator would (fast shutdown: sessions
    // are cut), and starts it again on the same data.
    void stop();
    void start();

    // Stops every process of the server (SIGSTOP) or lets them go on
    // (SIGCONT): a database that hangs, answering nothing.
    void freeze();
    void thaw();

  private:
    // Runs `words` as the unprivileged user, output appended to `log`.
    pid_t spawn(std::vector<std::string> words, const std::string& log) const;
    void waitUntilReady();
    void admin(const std::string& database, const std::string& sql);

    std::string folder_;
    std::string bin_;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
    bool switchUser_ = false;
    pid_t pid_ = -1;
    int databases_ = 0;
};

// One cluster for the whole test program, started on first use and stopped
// when the program ends.
PgCluster& sharedPgCluster();

}  // namespace velmora::testing
