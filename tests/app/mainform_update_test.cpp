// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's update against a real velmora-server: which version
// texts offer the update, the option that turns the check off, and DONE:
// the program moved aside, the download, the signature check, the start of
// the installer and the immediate end, and every way that can fail.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "app/game_timer.h"
#include "app/mainform.h"
#include "app/update_signature.h"
#include "controls/TFlatPanelUnit.h"
#include "controls/picture_button.h"
#include "online/HTTPGet.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "tests/online/script_server.h"
#include "tests/platform/temp_folder.h"
#include "tests/server/server_process.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::writeFile;

const std::vector<std::string> kInstallerArguments = {"/SP-", "/silent", "/noicons"};
constexpr const char* kOldProgram = "#!/bin/sh\necho old velmora\n";
constexpr const char* kInstaller = "#!/bin/sh\necho the new velmora goes here\n";

class StartingShell : public platform::Shell {
  public:
    bool openUrl(const std::string&) override { return false; }
    bool runProgram(const std::string& path, const std::vector<std::string>& arguments) override {
        started.push_back({path, arguments});
        return startSucceeds;
    }
    struct Start {
        std::string path;
        std::vector<std::string> arguments;
    };
    std::vector<Start> started;
    bool startSucceeds = true;
};

class UpdateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previousHandler_ = platform::setErrorBoxHandler(
            [this](const std::string& text) { errors_.push_back(text); });
        writeFile(program(), kOldProgram);
    }

    void TearDown() override {
        window_.reset();
        platform::setErrorBoxHandler(previousHandler_);
        ::chmod(temp_.path().c_str(), 0700);
    }

    std::string program() const { return temp_.file("velmora"); }
    std::string backup() const { return temp_.file("velmora.BAK"); }
    std::string installer() const { return temp_.file("velmorasetup.exe"); }
    std::string settingsFile() const { return temp_.file("velmora.ini"); }

    // A server announcing `version`, serving `installerFile` when given.
    std::unique_ptr<testing::ServerProcess> startServer(const std::string& version,
                                                        const std::string& installerFile = {}) {
        std::vector<std::string> arguments = {"--db", serverFolder_.file("scores.db"),
                                              "--version-text", version};
        if (!installerFile.empty()) {
            arguments.insert(arguments.end(), {"--installer", installerFile});
        }
        return std::make_unique<testing::ServerProcess>(arguments);
    }

    // The installer the server serves, signed with `key` (none: unsigned).
    std::string publish(const std::optional<update::SecretKey>& key,
                        const std::string& content = kInstaller) {
        std::string path = serverFolder_.file("velmorasetup.exe");
        writeFile(path, content);
        fs::remove(path + ".sig");
        if (key) {
            update::Signature signature = update::signFile(path, *key);
            writeFile(path + ".sig", std::string(signature.begin(), signature.end()));
        }
        return path;
    }

    Tmain& open(const std::string& serverAddress, const std::string& extraSettings = {},
                std::optional<bool> selfUpdate = std::nullopt) {
        writeFile(settingsFile(), "[velmora]\nServer=" + serverAddress + "\n" + extraSettings);
        settingsBefore_ = readFile(settingsFile());
        MainEnvironment environment;
        environment.filesFolder = temp_.path().string() + "/";
        environment.shell = &shell_;
        environment.seedFromClock = false;
        environment.programPath = program();
        environment.exitProcess = [this](int code) { exitCodes_.push_back(code); };
        environment.updateKey = keys_.publicKey;
        environment.selfUpdate = selfUpdate;
        window_ = std::make_unique<Tmain>(environment);
        window_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        return *window_;
    }

    // Waits for the version check's event to have come and gone.
    static void waitForCheck(Tmain& window) {
        QTRY_VERIFY_WITH_TIMEOUT(!window.checkupdate->busy(), 10000);
    }

    // Opens the window against `server`, expects the offer and presses DONE.
    Tmain& acceptOffer(const testing::ServerProcess& server) {
        Tmain& window = open(server.url(""));
        waitForCheck(window);
        EXPECT_TRUE(window.panel_update->isVisible());
        QTest::mouseClick(window.button_updateyes, Qt::LeftButton);
        return window;
    }

    // After a failed update: the player can start the program as before.
    void expectProgramBack() const {
        EXPECT_EQ(readFile(program()), kOldProgram);
        EXPECT_FALSE(fs::exists(backup()));
        EXPECT_TRUE(shell_.started.empty());
        EXPECT_TRUE(exitCodes_.empty());
    }

    testing::TempFolder temp_;
    testing::TempFolder serverFolder_;
    update::KeyPair keys_ = update::makeKeyPair();
    StartingShell shell_;
    std::vector<std::string> errors_;
    std::vector<int> exitCodes_;
    std::string settingsBefore_;
    platform::ErrorBoxHandler previousHandler_;
    std::unique_ptr<Tmain> window_;
};

TEST_F(UpdateTest, OnlyTheExactOwnVersionTextKeepsThePanelHidden) {
    struct Case {
        std::string version;
        bool offered;
    };
    const Case cases[] = {
        {"1.0.0", false},
        {"1.0.0\n", true},
        {"1.0.0 ", true},
        {"1.0.1", true},
        {"0.9", true},
        {"1.0.0.0", true},
        {"V1.0.0", true},
        {"<html><head><title>404 Not Found</title></head><body>Not Found</body></html>", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("version text \"" + c.version + "\"");
        auto server = startServer(c.version);
        Tmain& window = open(server->url(""));
        EXPECT_EQ(window.checkupdate->URL, server->url("/velmora/velmoraversion.txt"));
        waitForCheck(window);
        EXPECT_EQ(window.panel_update->isVisible(), c.offered);
        if (c.offered) {
            EXPECT_EQ(window.panel_board1->children().last(), window.panel_update);
            EXPECT_TRUE(window.button_updateyes->isVisible());
            EXPECT_TRUE(window.button_updatecancel->isVisible());
            EXPECT_EQ(window.label_update->text(), "");
        }
    }
}

TEST_F(UpdateTest, AnErrorPageCountsAsAnotherVersionAndNoServerAsNone) {
    auto server = startServer("1.0.0");
    // A folder the server does not have: its error page is the body.
    Tmain& window = open(server->url("/no/such/folder"));
    waitForCheck(window);
    EXPECT_TRUE(window.panel_update->isVisible());

    uint16_t closedPort = server->port();
    server->stop(SIGTERM);
    Tmain& quiet = open("http://127.0.0.1:" + std::to_string(closedPort));
    waitForCheck(quiet);
    EXPECT_FALSE(quiet.panel_update->isVisible());
    EXPECT_TRUE(errors_.empty());
}

TEST_F(UpdateTest, CancelHidesTheOfferAndChangesNothing) {
    auto server = startServer("1.0.1", publish(keys_.secretKey));
    Tmain& window = open(server->url(""));
    waitForCheck(window);
    QTest::mouseClick(window.button_updatecancel, Qt::LeftButton);
    EXPECT_FALSE(window.panel_update->isVisible());
    EXPECT_FALSE(fs::exists(installer()));
    expectProgramBack();
}

TEST_F(UpdateTest, NoRequestAtAllWhenTheCheckIsOffOrTheBuildDoesNotUpdateItself) {
    testing::ScriptServer server([](testing::Peer& peer) { peer.reply(200, "OK", "9.9.9"); });
    {
        Tmain& window = open(server.url(""), "Update=false\n");
        EXPECT_FALSE(window.updatecheck->isChecked());
        EXPECT_TRUE(window.updatecheck->isEnabled());
    }
    {
        // A build without self-update greys the option out but keeps the
        // player's choice in the file for a build that has it.
        Tmain& window = open(server.url(""), "Update=true\n", false);
        EXPECT_FALSE(window.updatecheck->isChecked());
        EXPECT_FALSE(window.updatecheck->isEnabled());
        window.saveinifile();
        EXPECT_NE(readFile(settingsFile()).find("Update=true"), std::string::npos);
    }
    QTest::qWait(300);
    EXPECT_TRUE(server.requests().empty());
    EXPECT_FALSE(window_->panel_update->isVisible());
}

TEST_F(UpdateTest, ASignedInstallerIsStartedWithTheThreeSwitchesAndTheProcessEndsUnsaved) {
    writeFile(backup(), "a backup from an earlier update");
    auto server = startServer("1.0.1", publish(keys_.secretKey));
    Tmain& window = acceptOffer(*server);

    ASSERT_EQ(shell_.started.size(), 1u);
    EXPECT_EQ(shell_.started[0].path, installer());
    EXPECT_EQ(shell_.started[0].arguments, kInstallerArguments);
    EXPECT_EQ(exitCodes_, std::vector<int>{0});
    EXPECT_EQ(readFile(installer()), kInstaller);
    EXPECT_NE(fs::status(installer()).permissions() & fs::perms::owner_exec, fs::perms::none);
    // The old backup made way for the program, whose own name is free.
    EXPECT_EQ(readFile(backup()), kOldProgram);
    EXPECT_FALSE(fs::exists(program()));
    EXPECT_FALSE(window.button_updateyes->isVisible());
    EXPECT_FALSE(window.button_updatecancel->isVisible());
    EXPECT_EQ(window.label_update->text(), "Installing");
    EXPECT_EQ(readFile(settingsFile()), settingsBefore_);
    EXPECT_TRUE(errors_.empty());
}

TEST_F(UpdateTest, AMissingInstallerAbortsAndPutsTheProgramBack) {
    auto server = startServer("1.0.1");  // no installer: 404
    Tmain& window = acceptOffer(*server);
    EXPECT_EQ(window.label_update->text(), "Download Aborted");
    EXPECT_FALSE(window.button_updateyes->isVisible());
    EXPECT_TRUE(window.panel_update->isVisible());
    expectProgramBack();
    EXPECT_TRUE(errors_.empty());
}

TEST_F(UpdateTest, AnInstallerWithoutAValidSignatureIsDeletedAndNeverStarted) {
    update::KeyPair stranger = update::makeKeyPair();
    struct Case {
        const char* what;
        std::optional<update::SecretKey> key;
        bool tamper;
    };
    const Case cases[] = {
        {"unsigned", std::nullopt, false},
        {"signed with another key", stranger.secretKey, false},
        {"changed after signing", keys_.secretKey, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string served = publish(c.key);
        if (c.tamper) {
            writeFile(served, std::string(kInstaller) + "rm -rf \"$HOME\"\n");
        }
        auto server = startServer("1.0.1", served);
        Tmain& window = acceptOffer(*server);
        EXPECT_EQ(window.label_update->text(), "Download Aborted");
        EXPECT_FALSE(fs::exists(installer()));
        expectProgramBack();
    }
    EXPECT_TRUE(errors_.empty());
}

TEST_F(UpdateTest, AnOversizedSignatureIsRefused) {
    std::string served = publish(keys_.secretKey);
    std::string signature = readFile(served + ".sig");
    testing::ScriptServer server([&](testing::Peer& peer) {
        std::string target = peer.target();
        if (target == "/velmora/velmoraversion.txt") {
            peer.reply(200, "OK", "1.0.1");
        } else if (target == "/velmora/velmorasetup.exe") {
            peer.reply(200, "OK", kInstaller);
        } else {
            peer.reply(200, "OK", signature + std::string(1 << 20, 'x'));
        }
    });
    Tmain& window = open(server.url(""));
    waitForCheck(window);
    QTest::mouseClick(window.button_updateyes, Qt::LeftButton);
    EXPECT_EQ(window.label_update->text(), "Download Aborted");
    expectProgramBack();
}

TEST_F(UpdateTest, AnInstallerTheShellCannotStartGivesTheMessageAndPutsTheProgramBack) {
    shell_.startSucceeds = false;
    auto server = startServer("1.0.1", publish(keys_.secretKey));
    Tmain& window = acceptOffer(*server);
    ASSERT_EQ(shell_.started.size(), 1u);
    EXPECT_TRUE(exitCodes_.empty());
    EXPECT_EQ(window.label_update->text(), "Installing");
    EXPECT_EQ(errors_, std::vector<std::string>{
                           "There was an error in the update process. Please download VELMORA "
                           "manually from http://www.nivoltsoftware.com."});
    EXPECT_EQ(readFile(program()), kOldProgram);
    EXPECT_FALSE(fs::exists(backup()));
}

// Enter accepts the offer as DONE does; whatever then stops the update short
// brings CANCEL back with the status as it stands, and Escape closes the panel.
TEST_F(UpdateTest, AnUpdateThatStopsShortCanBeDismissedAndTheKeysWorkThePanel) {
    struct Case {
        const char* what;
        bool published;
        bool shellStarts;
        const char* status;
    };
    const Case cases[] = {
        {"no installer on the server", false, true, "Download Aborted"},
        {"an installer with no signature", true, true, "Download Aborted"},
        {"a shell that cannot start it", true, false, "Installing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        shell_.startSucceeds = c.shellStarts;
        std::string served = c.published ? publish(c.shellStarts ? std::nullopt
                                                                 : std::optional(keys_.secretKey))
                                         : std::string();
        auto server = startServer("1.0.1", served);
        Tmain& window = open(server->url(""));
        waitForCheck(window);
        ASSERT_TRUE(window.button_updateyes->isVisible());
        QTest::keyClick(&window, Qt::Key_Return);
        EXPECT_EQ(window.label_update->text(), c.status);
        EXPECT_FALSE(window.button_updateyes->isVisible());
        EXPECT_TRUE(window.button_updatecancel->isVisible());
        // Enter does nothing more once DONE is gone.
        QTest::keyClick(&window, Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_TRUE(window.panel_update->isVisible());
        QTest::keyClick(&window, Qt::Key_Escape);
        EXPECT_FALSE(window.panel_update->isVisible());
        EXPECT_TRUE(exitCodes_.empty());
        window_.reset();
        fs::remove(installer());
    }
}

TEST_F(UpdateTest, AnInstallerFileThatCannotBeCreatedDownloadsNothing) {
    testing::ScriptServer server([](testing::Peer& peer) {
        peer.reply(200, "OK",
                   peer.target() == "/velmora/velmoraversion.txt" ? "1.0.1" : kInstaller);
    });
    // A folder in the way stops even the superuser; a read-only folder
    // stops everyone else.
    bool readOnly = ::geteuid() != 0;
    if (readOnly) {
        ::chmod(temp_.path().c_str(), 0500);
    } else {
        fs::create_directory(installer());
    }
    Tmain& window = open(server.url(""));
    waitForCheck(window);
    ASSERT_TRUE(window.panel_update->isVisible());
    QTest::mouseClick(window.button_updateyes, Qt::LeftButton);

    EXPECT_EQ(errors_, std::vector<std::string>{"Cannot create file " + installer() + "."});
    ASSERT_EQ(server.requests().size(), 1u);  // the version text only
    EXPECT_EQ(window.label_update->text(), "Updating. Please Wait...");
    expectProgramBack();
}

TEST_F(UpdateTest, TheGameKeepsRunningDuringTheDownload) {
    std::string served = publish(keys_.secretKey);
    testing::ScriptServer server([&](testing::Peer& peer) {
        std::string target = peer.target();
        if (target == "/velmora/velmoraversion.txt") {
            peer.reply(200, "OK", "1.0.1");
            return;
        }
        if (target == "/velmora/velmorasetup.exe") {
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        }
        peer.reply(200, "OK",
                   readFile(target == "/velmora/velmorasetup.exe" ? served : served + ".sig"));
    });
    Tmain& window = open(server.url(""));
    waitForCheck(window);
    window.button_startClick();
    int ticks = 0;
    QObject::connect(window.downtimer, &WindowTimer::timeout, [&ticks] { ++ticks; });
    QTest::mouseClick(window.button_updateyes, Qt::LeftButton);
    EXPECT_GT(ticks, 0);  // gravity went on while the installer came in
    EXPECT_EQ(exitCodes_, std::vector<int>{0});
}

TEST_F(UpdateTest, ClosingTheWindowDuringTheDownloadAbortsItAndPutsTheProgramBack) {
    testing::ScriptServer server([](testing::Peer& peer) {
        if (peer.target() == "/velmora/velmoraversion.txt") {
            peer.reply(200, "OK", "1.0.1");
        } else {
            peer.stall();  // the installer never comes
        }
    });
    Tmain& window = open(server.url(""));
    waitForCheck(window);
    QTimer::singleShot(300, &window, [&window] { window.hide(); });
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(window.button_updateyes, Qt::LeftButton);
    // Well before the client's own 30 s stall limit would end it.
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(window.label_update->text(), "Download Aborted");
    expectProgramBack();
}

}  // namespace
}  // namespace velmora
