// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's show step held back at the program's first show, so the
// update check comes after the rest of the start-up, and run by later shows
// as before.

#include <gtest/gtest.h>

#include <QTest>

#include "app/mainform.h"
#include "online/HTTPGet.h"
#include "tests/platform/temp_folder.h"

namespace velmora {
namespace {

using testing::writeFile;

// Nothing listens there: the check fails at once, silently.
constexpr const char* kServer = "http://127.0.0.1:9";
constexpr const char* kVersionUrl = "http://127.0.0.1:9/velmora/velmoraversion.txt";

TEST(MainWindowStart, TheHeldShowStepChecksForUpdatesOnlyWhenRunAndLaterShowsCheckThemselves) {
    testing::TempFolder temp;
    writeFile(temp.file("velmora.ini"), std::string("[velmora]\nServer=") + kServer + "\n");
    MainEnvironment environment;
    environment.filesFolder = temp.path().string() + "/";
    environment.seedFromClock = false;
    environment.programPath = temp.file("velmora");
    environment.selfUpdate = true;
    environment.holdFirstShowStep = true;
    Tmain window(environment);

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(window.checkupdate->URL.empty()) << "the first show checked at once";
    window.runHeldShowStep();
    EXPECT_EQ(window.checkupdate->URL, kVersionUrl);
    QTRY_VERIFY_WITH_TIMEOUT(!window.checkupdate->busy(), 10000);

    window.checkupdate->URL.clear();
    window.hide();
    window.show();
    EXPECT_EQ(window.checkupdate->URL, kVersionUrl);
    QTRY_VERIFY_WITH_TIMEOUT(!window.checkupdate->busy(), 10000);
}

}  // namespace
}  // namespace velmora
