// SPDX-License-Identifier: GPL-3.0-or-later
// velmora-server on an operator's worst night: its database deleted, replaced
// or overwritten, locked by another process, its disk full, every connection
// slot held; and the order of the flush to disk and the reply to a post.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <sstream>
#include <thread>

#include "tests/server/pg_cluster.h"
#include "tests/server/server_process.h"

namespace velmora::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

class FaultTest : public ::testing::Test {
  public:
    static std::string post(int score) {
        return "/cgi-bin/velmora.cgi?name=P" + std::to_string(score) +
               "&date=1/5/09&score=" + std::to_string(score);
    }

  protected:
    void SetUp() override {
        std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder = fs::temp_directory_path() /
                 ("velmora_fault_test_" + std::to_string(::getpid()) + "_" + test);
        fs::remove_all(folder);
        fs::create_directories(folder);
        database = (folder / "scores.db").string();
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path folder;
    std::string database;
};

bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    auto end = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

std::chrono::milliseconds since(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

void writeBytes(const std::string& path, const std::string& bytes, int flags) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | flags, 0644);
    ASSERT_GE(fd, 0) << path;
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
}

TEST_F(FaultTest, ADeletedReplacedOrOverwrittenDatabaseRefusesPostsAndFailsHealth) {
    struct Fault {
        const char* what;
        std::function<void(const std::string&)> apply;
    };
    const Fault faults[] = {
        {"deleted",
         [](const std::string& db) {
             for (const char* suffix : {"", "-wal", "-shm"}) {
                 fs::remove(db + suffix);
             }
         }},
        {"replaced",
         [](const std::string& db) {
             fs::copy_file(db, db + ".copy");
             fs::rename(db + ".copy", db);
         }},
        {"overwritten", [](const std::string& db) { writeBytes(db, std::string(16384, 'x'), 0); }},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.what);
        fs::remove_all(folder);
        fs::create_directories(folder);
        ServerProcess server({"--db", database});
        ASSERT_EQ(get(server.port(), post(1)).status, 200);
        ASSERT_EQ(get(server.port(), "/healthz").status, 200);
        fault.apply(database);
        EXPECT_TRUE(waitFor([&] { return get(server.port(), "/healthz").status == 503; }, 2s));
        HttpReply health = get(server.port(), "/healthz");
        EXPECT_NE(health.body.find(database), std::string::npos) << health.body;
        EXPECT_EQ(std::count(health.body.begin(), health.body.end(), '\n'), 1) << health.body;
        for (int i = 0; i < 3; ++i) {
            HttpReply refused = get(server.port(), post(10 + i));
            EXPECT_EQ(refused.status, 500);
            EXPECT_EQ(refused.body, "");
        }
    }
}

// While the store hangs, posts wait a bounded time and get 503, while
// everything that does not need the store answers at once.
void expectOnlyPostsWait(const ServerProcess& server, const std::function<void()>& hang,
                         const std::function<void()>& release) {
    ASSERT_EQ(get(server.port(), FaultTest::post(1)).status, 200);
    ASSERT_EQ(get(server.port(), "/counter/velmora.shtml").status, 200);  // rendered and cached
    hang();
    HttpReply waited;
    std::chrono::milliseconds postTook{};
    std::thread poster([&] {
        auto start = Clock::now();
        waited = get(server.port(), FaultTest::post(2));
        postTook = since(start);
    });
    std::this_thread::sleep_for(300ms);  // the post now waits for the store
    for (const char* target : {"/velmora/velmoraversion.txt", "/counter/velmora.shtml", "/"}) {
        auto start = Clock::now();
        HttpReply reply = get(server.port(), target);
        EXPECT_EQ(reply.status, 200) << target;
        EXPECT_LT(since(start), 1000ms) << target;
    }
    EXPECT_TRUE(waitFor([&] { return get(server.port(), "/healthz").status == 503; }, 3s));
    poster.join();
    EXPECT_EQ(waited.status, 503);
    EXPECT_EQ(waited.body, "");
    EXPECT_LT(postTook, 4500ms);
    release();
    EXPECT_TRUE(waitFor([&] { return get(server.port(), FaultTest::post(3)).status == 200; }, 8s));
    EXPECT_TRUE(waitFor([&] { return get(server.port(), "/healthz").status == 200; }, 3s));
}

// Another process holds the database's write lock. One serving thread, so
// that any wait for the store on it would show.
TEST_F(FaultTest, ALockedDatabaseDelaysOnlyThePosts) {
    ServerProcess server({"--db", database, "--threads", "1"});
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(database.c_str(), &holder), SQLITE_OK);
    expectOnlyPostsWait(
        server,
        [&] {
            ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr),
                      SQLITE_OK);
        },
        [&] { sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr); });
    sqlite3_close(holder);
}

// Every process of the PostgreSQL server stopped: it takes connections and
// queries and answers nothing.
TEST_F(FaultTest, AStoppedPostgresDelaysOnlyThePosts) {
    PgCluster& cluster = sharedPgCluster();
    ServerProcess server({"--db", cluster.createDatabase(), "--threads", "1"});
    expectOnlyPostsWait(
        server, [&] { cluster.freeze(); }, [&] { cluster.thaw(); });
}

// The pid of the only child of `parent` (the server under a tracer).
pid_t childOf(pid_t parent) {
    std::ifstream children("/proc/" + std::to_string(parent) + "/task/" + std::to_string(parent) +
                           "/children");
    pid_t child = -1;
    children >> child;
    return child;
}

// Read from a trace of every thread (strace -f -y): each reply to a post
// must leave after a flush of the journal that began after the journal's
// last write.
TEST_F(FaultTest, EveryPostReplyLeavesAfterTheFlushThatCoversIt) {
    if (::system("strace -V >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "strace is not installed";
    }
    std::string trace = (folder / "trace").string();
    {
        ServerProcess server({"--db", database},
                             {"strace", "-f", "-y", "-qq", "-e",
                              "trace=pwrite64,fdatasync,fsync,sendmsg,sendto,writev", "-o", trace});
        constexpr int kPosts = 20;
        for (int i = 0; i < kPosts; ++i) {
            ASSERT_EQ(get(server.port(), post(i)).status, 200);
        }
        pid_t traced = childOf(server.pid());
        ASSERT_GT(traced, 0);
        ::kill(traced, SIGKILL);
        server.stop(SIGTERM);
    }
    std::ifstream lines(trace);
    std::string line;
    std::map<std::string, size_t> syncStarts;  // per thread, a flush not yet ended
    size_t index = 0;
    size_t lastWrite = 0;
    size_t coveredUpTo = 0;  // the last write a finished flush covers
    int replies = 0;
    std::regex threadOf("^(\\d+) ");
    while (std::getline(lines, line)) {
        ++index;
        std::smatch match;
        std::string thread = std::regex_search(line, match, threadOf) ? match[1].str() : "";
        bool journal = line.find("scores.db-wal>") != std::string::npos;
        bool flush =
            line.find("fdatasync") != std::string::npos || line.find("fsync") != std::string::npos;
        if (line.find("pwrite64(") != std::string::npos && journal) {
            lastWrite = index;
        } else if (flush && line.find("<unfinished") != std::string::npos) {
            if (journal) {
                syncStarts[thread] = index;
            }
        } else if (flush && line.find("resumed>") != std::string::npos) {
            if (auto start = syncStarts.find(thread); start != syncStarts.end()) {
                if (line.find("= 0") != std::string::npos && lastWrite < start->second) {
                    coveredUpTo = std::max(coveredUpTo, lastWrite);
                }
                syncStarts.erase(start);
            }
        } else if (flush && journal && line.find("= 0") != std::string::npos) {
            coveredUpTo = std::max(coveredUpTo, lastWrite);
        } else if (line.find("score received") != std::string::npos) {
            ++replies;
            EXPECT_EQ(coveredUpTo, lastWrite) << "reply before its flush at line " << index;
        }
    }
    EXPECT_EQ(replies, 20);
}

// A file system of a few MB, mounted for the test; skipped where mounting
// is not allowed.
class SmallDisk {
  public:
    explicit SmallDisk(const fs::path& where) : where_(where) {
        fs::create_directories(where);
        mounted_ = ::mount("tmpfs", where.c_str(), "tmpfs", 0, "size=3m") == 0;
    }
    ~SmallDisk() {
        if (mounted_) {
            ::umount2(where_.c_str(), MNT_DETACH);
        }
    }
    bool mounted() const { return mounted_; }

    // Writes a file until the disk is full.
    void fill(const std::string& path) {
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        std::string block(4096, 'f');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        ::close(fd);
    }

  private:
    fs::path where_;
    bool mounted_ = false;
};

TEST_F(FaultTest, AFullDiskRecoversWhileThePostsKeepComing) {
    SmallDisk disk(folder / "disk");
    if (!disk.mounted()) {
        GTEST_SKIP() << "cannot mount a small file system here";
    }
    std::string small = (folder / "disk" / "scores.db").string();
    std::string filler = (folder / "disk" / "filler").string();
    std::atomic<int> acknowledged = 0;
    std::atomic<int> lastStatus = 0;
    std::atomic<bool> stop = false;
    {
        ServerProcess server({"--db", small});
        std::vector<std::thread> posters;
        for (int t = 0; t < 4; ++t) {
            posters.emplace_back([&, t] {
                for (int i = 0; !stop; ++i) {
                    int status = get(server.port(), post(t * 1'000'000 + i)).status;
                    acknowledged += status == 200;
                    lastStatus = status;
                }
            });
        }
        std::this_thread::sleep_for(300ms);
        disk.fill(filler);
        EXPECT_TRUE(waitFor([&] { return lastStatus == 500; }, 5s));
        EXPECT_TRUE(waitFor([&] { return get(server.port(), "/healthz").status == 503; }, 2s));

        fs::remove(filler);
        auto freed = Clock::now();
        int before = acknowledged;
        EXPECT_TRUE(waitFor([&] { return acknowledged > before + 50; }, 2s))
            << "nothing stored " << since(freed).count()
            << " ms after the space returned; last status " << lastStatus
            << ", health: " << get(server.port(), "/healthz").body;
        EXPECT_TRUE(waitFor([&] { return get(server.port(), "/healthz").status == 200; }, 2s));
        stop = true;
        for (std::thread& poster : posters) {
            poster.join();
        }
        server.stop(SIGTERM);
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(small.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* counting = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT count(*) FROM scores", -1, &counting, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(counting), SQLITE_ROW);
    EXPECT_GE(sqlite3_column_int(counting, 0),
              acknowledged.load());  // every acknowledged score kept
    sqlite3_finalize(counting);
    sqlite3_close(db);
}

// The status of a GET of `target` on `fd`, waiting at most `limit`; 0 when
// nothing came.
int statusOn(int fd, const std::string& target, std::chrono::milliseconds limit) {
    std::string request = "GET " + target + " HTTP/1.0\r\n\r\n";
    if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(request.size())) {
        return 0;
    }
    timeval timeout{static_cast<time_t>(limit.count() / 1000),
                    static_cast<suseconds_t>(limit.count() % 1000 * 1000)};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    char head[64] = {};
    ssize_t got = ::recv(fd, head, sizeof head - 1, 0);
    return got > 12 ? std::atoi(head + 9) : 0;
}

// Every slot held by idle connections from many addresses: a new client is
// still served at once, at the cost of the connection idle longest.
TEST_F(FaultTest, ANewClientIsServedWhileEverySlotIsHeldIdle) {
    rlimit files{};
    ::getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = files.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &files);
    constexpr int kAddresses = 84;
    constexpr int kPerAddress = 100;  // 8,400 in all, under each address's own limit
    if (files.rlim_cur < kAddresses * kPerAddress + 100) {
        GTEST_SKIP() << "too few descriptors allowed";
    }
    ServerProcess server({"--db", database});
    std::vector<int> idle;
    for (int a = 0; a < kAddresses; ++a) {
        std::string source = "127.0.0." + std::to_string(2 + a);
        for (int c = 0; c < kPerAddress; ++c) {
            int fd = connectFromLoopback(source, server.port());
            ASSERT_GE(fd, 0) << source;
            idle.push_back(fd);
        }
    }
    // Time for the server to take what still waits in the listen backlog,
    // well within the idle time after which it closes connections itself.
    std::this_thread::sleep_for(1000ms);
    int fresh = connectFromLoopback("127.0.1.1", server.port());
    ASSERT_GE(fresh, 0);
    EXPECT_EQ(statusOn(fresh, "/velmora/velmoraversion.txt", 1000ms), 200);
    ::close(fresh);
    // The server is still whole: an idle connection it kept answers as well.
    int answered = 0;
    for (auto fd = idle.rbegin(); fd != idle.rend() && answered == 0; ++fd) {
        answered = statusOn(*fd, "/velmora/velmoraversion.txt", 100ms) == 200;
    }
    EXPECT_EQ(answered, 1);
    for (int fd : idle) {
        ::close(fd);
    }
}

TEST_F(FaultTest, TargetsAreReadWholeAndInAbsoluteForm) {
    ServerProcess server({"--db", database});
    struct Case {
        std::string target;
        int status;
    };
    const Case cases[] = {
        {"http://scores.example.org/velmora/velmoraversion.txt", 200},
        {"HTTP://scores.example.org:8080/counter/velmora.shtml", 200},
        {"http://scores.example.org", 200},
        {"/cgi-bin/velmora.cgi%00x?name=Ann&date=1/5/09&score=10", 404},
        {"/cgi-bin/velmora.cgi%00?name=Ann&date=1/5/09&score=10", 404},
        {"/velmora/velmoraversion.txt%00.html", 404},
    };
    for (const Case& c : cases) {
        HttpReply reply = rawRequest(
            server.port(), "GET " + c.target + " HTTP/1.1\r\nHost: h\r\nConnection: close\r\n\r\n");
        EXPECT_EQ(reply.status, c.status) << c.target;
    }
    HttpReply page = get(server.port(), "/counter/velmora.shtml");
    EXPECT_EQ(page.body.find(">Ann<"), std::string::npos) << "a refused path stored a score";
}

}  // namespace
}  // namespace velmora::testing
