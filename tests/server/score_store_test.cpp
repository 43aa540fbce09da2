// SPDX-License-Identifier: GPL-3.0-or-later
// The SQLite store: its journal is written back, under load and at rest.
#include "server/score_store.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "tests/platform/temp_folder.h"

namespace velmora::server {
namespace {

using namespace std::chrono_literals;

// Fewer posts under the sanitizers, which slow every one of them tenfold;
// still dozens of forced write-backs.
#ifdef VELMORA_SLOW_BUILD
constexpr int kManyPosts = 20'000;
#else
constexpr int kManyPosts = 100'000;
#endif

uintmax_t journalSize(const std::string& database) {
    std::error_code missing;
    uintmax_t size = std::filesystem::file_size(database + "-wal", missing);
    return missing ? 0 : size;
}

bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

ScoreEntry entry(int i) { return {"player" + std::to_string(i % 977), "1/5/09", static_cast<uint32_t>(i % 65536)}; }

TEST(ScoreStoreTest, JournalStaysSmallThroughManyPostsAndShrinksAtRest) {
    testing::TempFolder folder;
    std::string database = folder.file("scores.db");
    ScoreStore store(database);
    uintmax_t largest = 0;
    uint64_t generation = store.generation();
    // In batches, as the server commits them: each commit waits for the disk.
    constexpr int kBatch = 50;
    std::vector<ScoreEntry> batch;
    for (int i = 0; i < kManyPosts; ++i) {
        batch.push_back(entry(i));
        if (batch.size() == kBatch) {
            store.addAll(batch);
            batch.clear();
        }
        if (i % 250 == 0) {
            largest = std::max(largest, journalSize(database));
        }
    }
    EXPECT_NE(store.generation(), generation);
    EXPECT_EQ(store.count(), static_cast<uint64_t>(kManyPosts));
    EXPECT_LT(largest, 2u << 20) << "the journal grew to " << largest << " bytes";
    EXPECT_TRUE(waitFor([&] { return journalSize(database) == 0; }, 5s))
        << "still " << journalSize(database) << " bytes at rest";
    EXPECT_EQ(store.best(3).size(), 3u);
}

TEST(ScoreStoreTest, AJournalLeftByAKilledServerIsWrittenBackAndKeptAtOpen) {
    testing::TempFolder folder;
    std::string database = folder.file("scores.db");
    constexpr int kPosts = 300;
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Ends without closing anything, as a killed process does.
        ScoreStore store(database);
        for (int i = 0; i < kPosts; ++i) {
            store.add(entry(i));
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_GT(journalSize(database), 0u);

    ScoreStore store(database);
    EXPECT_EQ(store.count(), static_cast<uint64_t>(kPosts));
    EXPECT_EQ(journalSize(database), 0u);
    std::vector<ScoreEntry> best = store.best(1);
    ASSERT_EQ(best.size(), 1u);
    EXPECT_EQ(best[0].score, static_cast<uint32_t>(kPosts - 1));
}

// The message names the file, says why and what to do about it.
TEST(ScoreStoreTest, RefusesADatabaseItCannotOpen) {
    testing::TempFolder folder;
    std::string notADatabase = folder.file("scores.db");
    testing::writeFile(notADatabase, std::string(8192, 'x'));
    // A folder on a file system mounted read-only (where mounting is allowed).
    std::filesystem::path readOnly = folder.path() / "read-only";
    std::filesystem::create_directories(readOnly);
    bool mounted = ::mount("tmpfs", readOnly.c_str(), "tmpfs", 0, "size=1m") == 0;
    if (mounted) {
        { ScoreStore store((readOnly / "scores.db").string()); }
        mounted = ::mount(nullptr, readOnly.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }
    struct Case {
        std::string path;
        std::string advice;
    };
    std::vector<Case> cases = {
        {notADatabase, "not an SQLite database: name another file, or move this one aside"},
        {folder.path().string(), "it is a folder"},
        {"/proc/velmora/scores.db", "the folder /proc/velmora is missing and could not be made"},
    };
    if (mounted) {
        cases.push_back({(readOnly / "scores.db").string(), "mounted read-only"});
    }
    for (const Case& c : cases) {
        try {
            ScoreStore store(c.path);
            ADD_FAILURE() << "opened " << c.path;
        } catch (const StoreError& error) {
            std::string message = error.what();
            EXPECT_NE(message.find("cannot open the score database " + c.path + ": "), std::string::npos) << message;
            EXPECT_NE(message.find(c.advice), std::string::npos) << message;
        }
    }
    if (mounted) {
        ::umount2(readOnly.c_str(), MNT_DETACH);
    }
}

}  // namespace
}  // namespace velmora::server
