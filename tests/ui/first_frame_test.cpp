// SPDX-License-Identifier: GPL-3.0-or-later
// The step after the first frame: not before the window has painted, after
// it once, and anyway when no paint comes.

#include "ui/first_frame.h"

#include <gtest/gtest.h>

#include <QPaintEvent>
#include <QTest>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace velmora {
namespace {

using namespace std::chrono_literals;

// Records the order of its own paints and of the step.
class RecordingWindow : public QWidget {
  public:
    explicit RecordingWindow(std::vector<std::string>& log) : log_(log) { resize(120, 80); }

  protected:
    void paintEvent(QPaintEvent*) override { log_.push_back("paint"); }

  private:
    std::vector<std::string>& log_;
};

TEST(AfterFirstFrame, RunsOnceRightAfterTheFirstPaintAndNeverBeforeIt) {
    std::vector<std::string> log;
    RecordingWindow window(log);
    afterFirstFrame(&window, [&] { log.push_back("step"); }, 60s);
    QCoreApplication::processEvents();
    EXPECT_TRUE(log.empty()) << "a hidden window has no frame yet";

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTRY_COMPARE_WITH_TIMEOUT(std::count(log.begin(), log.end(), "step"), 1, 5000);
    EXPECT_EQ(log.front(), "paint") << "the first frame comes first";

    window.repaint();
    window.hide();
    window.show();
    window.repaint();
    QTest::qWait(50);
    EXPECT_EQ(std::count(log.begin(), log.end(), "step"), 1) << "later frames run nothing";
}

TEST(AfterFirstFrame, RunsAfterTheLatestTimeWhenTheWindowIsNeverPainted) {
    QWidget window;
    int runs = 0;
    afterFirstFrame(&window, [&] { ++runs; }, 30ms);
    QTest::qWait(10);
    EXPECT_EQ(runs, 0);
    QTRY_COMPARE_WITH_TIMEOUT(runs, 1, 5000);
    window.show();
    QTest::qWait(100);
    EXPECT_EQ(runs, 1) << "a paint after the time limit runs it no second time";
}

TEST(AfterFirstFrame, AWindowDestroyedBeforeItsFrameRunsNothing) {
    int runs = 0;
    auto window = std::make_unique<QWidget>();
    afterFirstFrame(window.get(), [&] { ++runs; }, 20ms);
    window.reset();
    QTest::qWait(80);
    EXPECT_EQ(runs, 0);
}

}  // namespace
}  // namespace velmora
