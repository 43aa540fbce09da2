// SPDX-License-Identifier: GPL-3.0-or-later
// The pure platform pieces the fetch components stand on: the dispatcher's
// rules, starting programs, and the server address.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "online/server_address.h"
#include "platform/shell.h"
#include "tests/online/queue_dispatcher.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;

TEST(DispatcherTest, WorkerWaitsUntilTheUiThreadRanItsTask) {
    testing::QueueDispatcher dispatcher;
    std::thread::id ranOn;
    bool ran = false;
    auto worker = std::async(std::launch::async, [&] {
        bool delivered = dispatcher.runOnUiThread([&] {
            ranOn = std::this_thread::get_id();
            ran = true;
        });
        return delivered && ran;  // the task has run by the time the call returns
    });
    EXPECT_EQ(worker.wait_for(50ms), std::future_status::timeout);  // nobody pumped yet
    ASSERT_TRUE(dispatcher.pumpUntil([&] { return ran; }));
    EXPECT_TRUE(worker.get());
    EXPECT_EQ(ranOn, std::this_thread::get_id());

    bool inline_ = false;
    EXPECT_TRUE(dispatcher.runOnUiThread([&] { inline_ = true; }));  // on the UI thread: at once
    EXPECT_TRUE(inline_);
}

TEST(DispatcherTest, ShutdownReleasesWaitersAndRefusesLaterTasks) {
    testing::QueueDispatcher dispatcher;
    bool ran = false;
    auto waiting = std::async(std::launch::async, [&] { return dispatcher.runOnUiThread([&] { ran = true; }); });
    std::this_thread::sleep_for(50ms);
    dispatcher.shutdown();
    EXPECT_EQ(waiting.wait_for(2s), std::future_status::ready);
    EXPECT_FALSE(waiting.get());
    auto late = std::async(std::launch::async, [&] { return dispatcher.runOnUiThread([&] { ran = true; }); });
    EXPECT_FALSE(late.get());
    dispatcher.pumpFor(50ms);  // the posted call of the first task is stale now
    EXPECT_FALSE(ran);
}

TEST(DispatcherTest, TaskThatThrowsStillReleasesItsWorker) {
    testing::QueueDispatcher dispatcher;
    auto worker = std::async(std::launch::async,
                             [&] { return dispatcher.runOnUiThread([] { throw std::runtime_error("handler"); }); });
    EXPECT_THROW(dispatcher.pumpUntil([] { return false; }, 500ms), std::runtime_error);
    EXPECT_EQ(worker.wait_for(2s), std::future_status::ready);
    EXPECT_TRUE(worker.get());
}

TEST(ShellTest, SpawnStartsAProgramWithItsArgumentsAndReportsMissingOnes) {
    auto marker = std::filesystem::temp_directory_path() / ("velmora_spawn_" + std::to_string(::getpid()));
    std::filesystem::remove(marker);
    ASSERT_TRUE(platform::spawnProgram("/bin/sh", {"-c", "printf '%s' \"$1\" > \"$2\"", "sh", "/SP- /silent", marker}));
    // The shell creates the file before it writes to it: wait for the words.
    std::string written;
    for (int i = 0; i < 500 && written.size() < std::string("/SP- /silent").size(); ++i) {
        std::this_thread::sleep_for(10ms);
        std::ifstream in(marker);
        written.assign(std::istreambuf_iterator<char>(in), {});
    }
    EXPECT_EQ(written, "/SP- /silent");
    std::filesystem::remove(marker);
    EXPECT_FALSE(platform::spawnProgram("/nonexistent/velmorasetup.exe", {}));
}

TEST(ServerAddressTest, SettingsKeyWinsWhenSetAndTrailingSlashesGo) {
    EXPECT_FALSE(online::buildServerAddress().empty());
    EXPECT_NE(online::buildServerAddress().back(), '/');
    EXPECT_EQ(online::serverAddress(""), online::buildServerAddress());
    EXPECT_EQ(online::serverAddress("http://scores.example.org:81/"), "http://scores.example.org:81");
}

}  // namespace
}  // namespace velmora
