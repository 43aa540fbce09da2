// SPDX-License-Identifier: GPL-3.0-or-later
// The program's dispatcher in a real Qt event loop.
#include "platform/qt_dispatcher.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <future>
#include <thread>

namespace velmora::platform {
namespace {

using namespace std::chrono_literals;

TEST(QtDispatcherTest, DeliversOnTheUiThreadAndLetsWaitersGoWhenTheProgramQuits) {
    int argc = 1;
    char name[] = "qt_dispatcher_test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    auto dispatcher = std::make_shared<QtDispatcher>();

    std::thread::id ranOn;
    auto delivered = std::async(std::launch::async, [&] {
        return dispatcher->runOnUiThread([&] { ranOn = std::this_thread::get_id(); });
    });
    // A second worker whose task is still queued when the loop ends.
    std::atomic<bool> lateRan{false};
    std::future<bool> late;
    // Polled from the loop rather than waited for inside a handler: the
    // worker's task needs this thread, and a handler must return first.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (delivered.wait_for(0ms) != std::future_status::ready) {
            return;
        }
        poll.stop();
        ASSERT_TRUE(delivered.get());
        late = std::async(std::launch::async,
                          [&] { return dispatcher->runOnUiThread([&] { lateRan = true; }); });
        std::this_thread::sleep_for(50ms);  // its task is posted behind the quit
        QCoreApplication::quit();
    });
    poll.start(5);
    app.exec();

    EXPECT_EQ(ranOn, std::this_thread::get_id());
    ASSERT_EQ(late.wait_for(2s), std::future_status::ready);
    EXPECT_FALSE(late.get());
    EXPECT_FALSE(lateRan);
}

}  // namespace
}  // namespace velmora::platform
