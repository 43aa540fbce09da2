// SPDX-License-Identifier: GPL-3.0-or-later
// The high score window with the main window offscreen, as the program wires
// them: posting through SEND SCORE to a real velmora-server, the wait strip
// and its time-out against a silent server, a late reply, cancel, a second
// opening while the first fetch runs, and links from the page.

#include "app/highscoreform.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <atomic>
#include <memory>

#include "app/mainform.h"
#include "controls/TFlatPanelUnit.h"
#include "controls/htmlview.h"
#include "controls/limited_edit.h"
#include "controls/picture_button.h"
#include "online/HTTPGet.h"
#include "platform/dates.h"
#include "platform/dialogs.h"
#include "platform/qt_dispatcher.h"
#include "platform/shell.h"
#include "tests/online/script_server.h"
#include "tests/platform/recording_shell.h"
#include "tests/platform/temp_folder.h"
#include "tests/server/server_process.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;

using testing::RecordingShell;

class HighScoreWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previousMessage_ = platform::setMessageHandler([this](const std::string& text) {
            messages_.push_back(text);
            if (onMessage_) {
                onMessage_();
            }
        });
    }

    void TearDown() override {
        highscore_.reset();
        main_.reset();
        platform::setMessageHandler(previousMessage_);
    }

    // Creates both windows as the program does, talking to `server`.
    void startProgram(const std::string& server) {
        MainEnvironment environment;
        environment.filesFolder = temp_.path().string() + "/";
        environment.seedFromClock = false;
        main_ = std::make_unique<Tmain>(environment);
        main_->game().seedRandom(99);
        HighScoreEnvironment scores;
        scores.serverAddress = server;
        scores.appname = main_->appname;
        scores.dispatcher = dispatcher_;
        scores.shell = &shell_;
        highscore_ = std::make_unique<Thighscore>(scores);
        main_->setHighScoreList(highscore_.get());
        highscore_->setPostTarget(main_.get());
        main_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main_.get()));
        main_->button_namedoneClick();
    }

    // Plays a game to its end: the game-over panel shows.
    void playToTheEnd() {
        main_->StartGame1->trigger();
        for (int ticks = 0; main_->game().gamerunning() && ticks < 100000; ++ticks) {
            main_->game().downtimerTimer();
        }
        ASSERT_TRUE(main_->panel_cleared->isVisible());
    }

    bool listShows(const QString& text, int milliseconds = 10000) {
        return QTest::qWaitFor(
            [&] {
                return highscore_->isVisible() &&
                       highscore_->displayhtml->toPlainText().contains(text);
            },
            milliseconds);
    }

    std::unique_ptr<testing::ServerProcess> startServer() {
        return std::make_unique<testing::ServerProcess>(
            std::vector<std::string>{"--db", temp_.file("scores.db")});
    }

    testing::TempFolder temp_;
    std::shared_ptr<platform::QtDispatcher> dispatcher_ =
        std::make_shared<platform::QtDispatcher>();
    RecordingShell shell_;
    std::vector<std::string> messages_;
    std::function<void()> onMessage_;
    platform::MessageHandler previousMessage_;
    std::unique_ptr<Tmain> main_;
    std::unique_ptr<Thighscore> highscore_;
};

TEST_F(HighScoreWindowTest, TheWindowIsLaidOutAndCreatedHidden) {
    startProgram("http://127.0.0.1:9");
    Thighscore& window = *highscore_;
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), "Velmora - High Scores");
    EXPECT_EQ(window.size(), QSize(603, 561));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.Image1->size(), QSize(110, 116));
    EXPECT_EQ(window.Image1->geometry().topLeft().x() < 20, true);
    EXPECT_EQ(window.Label1->text(), "Nivolt Software");
    EXPECT_GT(window.Label1->y(), 500);
    EXPECT_EQ(window.panel_main->size(), QSize(481, 507));
    EXPECT_GT(window.panel_main->x(), window.Image1->geometry().right());
    EXPECT_EQ(window.panel_main->color(), QColor(64, 36, 174));
    EXPECT_EQ(window.panel_main->colorHighLight(), QColor(Qt::white));
    EXPECT_EQ(window.displayhtml->parentWidget(), window.panel_main);
    EXPECT_EQ(window.button_done->size(), QSize(126, 40));
    EXPECT_GT(window.button_done->y(), window.panel_main->geometry().bottom());
    EXPECT_EQ(window.pageUrl(), "http://127.0.0.1:9/counter/velmora.shtml");
    EXPECT_EQ(window.getit->Agent, "Velmora HTTPGet");
    EXPECT_EQ(window.sendit->AcceptTypes, "*/*");
    EXPECT_FALSE(window.sendit->UseCache);
}

TEST_F(HighScoreWindowTest, APostedScoreIsInTheListTheWindowThenShows) {
    auto server = startServer();
    startProgram(server->url(""));
    playToTheEnd();
    int score = main_->game().reportedScore();
    main_->edit_name->setText("Ann Lee");

    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(main_->button_sendscore, Qt::LeftButton);
    EXPECT_TRUE(main_->panel_wait->isVisible());
    EXPECT_TRUE(main_->Timer1->isActive());
    ASSERT_TRUE(listShows("Ann Lee"));
    std::printf("[ measured ] click to list shown: %lld ms\n",
                static_cast<long long>(clock.elapsed()));

    QString list = highscore_->displayhtml->toPlainText();
    EXPECT_TRUE(list.contains(QString::number(score)));
    std::string today = platform::formatMdyy(platform::today(),
                                             platform::dateSeparator(platform::shortDateFormat()));
    EXPECT_TRUE(list.contains(QString::fromStdString(today))) << today;
    EXPECT_TRUE(list.contains("1 score posted in all"));
    EXPECT_FALSE(main_->panel_cleared->isVisible());
    EXPECT_FALSE(main_->Timer1->isActive());
    EXPECT_TRUE(messages_.empty());

    // DONE hides it; the menu opens it again with a fresh fetch.
    QTest::mouseClick(highscore_->button_done, Qt::LeftButton);
    EXPECT_FALSE(highscore_->isVisible());
    ASSERT_EQ(
        testing::get(server->port(), "/cgi-bin/velmora.cgi?name=Bo&date=1/5/09&score=3").status,
        200);
    main_->ViewHighScoreList1->trigger();
    EXPECT_TRUE(highscore_->isVisible());
    EXPECT_TRUE(listShows("2 scores posted in all"));
}

TEST_F(HighScoreWindowTest, AnEmptyNameIsPostedAsGuestAndOddNamesArriveExactlyAsTyped) {
    auto server = startServer();
    startProgram(server->url(""));
    playToTheEnd();
    main_->edit_name->clear();
    main_->button_sendscoreClick();
    EXPECT_EQ(main_->edit_name->text(), "Guest");
    ASSERT_TRUE(listShows("Guest"));

    const QString names[] = {"a b",
                             "x&score=99999",
                             "k=v",
                             "#cut",
                             "100%",
                             "%41",
                             "Zo\u00eb \u0141uk",
                             "\u00c5se+\u00f8"};
    for (const QString& name : names) {
        main_->edit_name->setText(name);
        main_->button_sendscoreClick();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !main_->Timer1->isActive(); }, 10000))
            << name.toStdString();
    }
    std::string page = testing::get(server->port(), "/counter/velmora.shtml").body;
    for (const QString& name : names) {
        std::string escaped = name.toStdString();
        for (auto [from, to] : {std::pair{"&", "&amp;"}}) {
            for (size_t at = escaped.find(from); at != std::string::npos;
                 at = escaped.find(from, at + 4)) {
                escaped.replace(at, 1, to);
            }
        }
        EXPECT_NE(page.find(">" + escaped + "<"), std::string::npos) << name.toStdString();
    }
    // No name forged a score of its own.
    EXPECT_EQ(page.find(">99999<"), std::string::npos);
    EXPECT_NE(page.find(std::to_string(std::size(names) + 1) + " scores posted in all"),
              std::string::npos);
}

// A server that takes score posts and says nothing until released; the list
// page comes at once. Counts the requests for each.
class SilentServer {
  public:
    SilentServer()
        : server_([](testing::Peer& peer) {
              if (peer.target().rfind("/cgi-bin/", 0) == 0) {
                  peer.stall();
                  peer.reply(200, "OK", "score received");
              } else {
                  peer.reply(200, "OK", "<p>the list</p>");
              }
          }) {}
    std::string url() const { return server_.url(""); }
    size_t count(const std::string& prefix) const {
        size_t n = 0;
        for (const std::string& request : server_.requests()) {
            n += request.find(" " + prefix) != std::string::npos ? 1 : 0;
        }
        return n;
    }
    void release() { server_.release(); }

  private:
    testing::ScriptServer server_;
};

TEST_F(HighScoreWindowTest,
       ASilentServerEndsInPostingFailedAfterFortyTicksAndALateReplyStillOpensTheList) {
    SilentServer server;
    startProgram(server.url());
    playToTheEnd();
    main_->button_sendscoreClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.count("/cgi-bin/") == 1; }, 10000));
    EXPECT_EQ(main_->Timer1->interval(), 1000);
    EXPECT_EQ(main_->panel_wait->caption(), "Posting Score, Please Wait......");
    // The strip covers SEND SCORE and VIEW SCORES but not the name or CANCEL.
    QRect strip = main_->panel_wait->geometry();
    EXPECT_TRUE(strip.contains(main_->button_sendscore->geometry()));
    EXPECT_TRUE(strip.contains(main_->button_highscores->geometry()));
    EXPECT_FALSE(strip.intersects(main_->button_cancel->geometry()));
    EXPECT_FALSE(strip.intersects(main_->edit_name->geometry()));
    EXPECT_EQ(main_->panel_cleared->childAt(main_->button_sendscore->geometry().center()),
              main_->panel_wait);

    const char* dots[] = {".", "..", "...", "....", ".....", "."};
    for (int tick = 1; tick <= 39; ++tick) {
        main_->Timer1Timer();
        if (tick <= 6) {
            EXPECT_EQ(main_->panel_wait->caption(),
                      QString("Posting Score, Please Wait") + dots[tick - 1]);
        }
    }
    EXPECT_TRUE(messages_.empty());
    EXPECT_TRUE(main_->Timer1->isActive());
    // The box is modal; ticks go on while it is open, with no second box.
    onMessage_ = [&] {
        for (int i = 0; i < 3; ++i) {
            main_->Timer1Timer();
        }
        EXPECT_TRUE(main_->Timer1->isActive());
    };
    main_->Timer1Timer();
    EXPECT_EQ(messages_, std::vector<std::string>{"Posting Failed."});
    EXPECT_EQ(main_->postcount, -3);
    EXPECT_FALSE(main_->Timer1->isActive());
    EXPECT_TRUE(main_->panel_wait->isVisible());  // this game's score cannot go again
    EXPECT_FALSE(highscore_->isVisible());

    // The post was never cancelled: its late reply still opens the list.
    server.release();
    ASSERT_TRUE(listShows("the list"));
    EXPECT_FALSE(main_->panel_cleared->isVisible());
    EXPECT_EQ(server.count("/cgi-bin/"), 1u);
    EXPECT_EQ(messages_.size(), 1u);
}

TEST_F(HighScoreWindowTest, CancelWhileWaitingHidesThePanelButThePostGoesOn) {
    SilentServer server;
    startProgram(server.url());
    playToTheEnd();
    QTest::mouseClick(main_->button_sendscore, Qt::LeftButton);
    QTest::mouseClick(main_->button_cancel, Qt::LeftButton);
    EXPECT_FALSE(main_->panel_cleared->isVisible());
    EXPECT_TRUE(main_->Timer1->isActive());
    for (int tick = 0; tick < 40; ++tick) {
        main_->Timer1Timer();
    }
    EXPECT_EQ(messages_, std::vector<std::string>{"Posting Failed."});
    server.release();
    EXPECT_TRUE(listShows("the list"));
}

TEST_F(HighScoreWindowTest, ASecondOpeningWhileTheFirstFetchRunsMakesNoSecondRequest) {
    testing::ScriptServer server([](testing::Peer& peer) {
        peer.stall();
        peer.reply(200, "OK", "<p>the slow list</p>");
    });
    startProgram(server.url(""));
    main_->ViewHighScoreList1->trigger();
    EXPECT_TRUE(highscore_->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests().size() == 1; }, 10000));
    highscore_->button_doneClick();
    main_->ViewHighScoreList1->trigger();  // while the first fetch still runs
    EXPECT_TRUE(highscore_->isVisible());
    server.release();
    ASSERT_TRUE(listShows("the slow list"));
    QTest::qWait(100);
    EXPECT_EQ(server.requests().size(), 1u);
    EXPECT_NE(server.requests()[0].find("GET /counter/velmora.shtml "), std::string::npos);
    // The game goes on while the window is open.
    main_->StartGame1->trigger();
    main_->ViewHighScoreList1->trigger();
    EXPECT_TRUE(main_->game().gamerunning());
    EXPECT_FALSE(main_->game().gamepaused());
}

// A fetch that brings nothing says so while there is no list; a list that
// came once stays when a later fetch fails.
TEST_F(HighScoreWindowTest, AnUnreachableListSaysSoUntilAListArrives) {
    std::atomic<int> requests = 0;
    testing::ScriptServer server([&](testing::Peer& peer) {
        int n = ++requests;
        peer.reply(200, "OK", n == 2 ? "<p>the list</p>" : "");
    });
    startProgram(server.url(""));
    const QString line = "The high score list could not be reached.";
    main_->ViewHighScoreList1->trigger();
    ASSERT_TRUE(listShows(line));
    EXPECT_EQ(highscore_->displayhtml->toPlainText(), line);
    main_->ViewHighScoreList1->trigger();
    ASSERT_TRUE(listShows("the list"));
    main_->ViewHighScoreList1->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return requests == 3 && !highscore_->getit->busy(); }, 10000));
    EXPECT_EQ(highscore_->displayhtml->toPlainText(), "the list");

    // No server at all.
    highscore_.reset();
    main_.reset();
    startProgram("http://127.0.0.1:1");
    main_->ViewHighScoreList1->trigger();
    EXPECT_TRUE(listShows(line));
}

TEST_F(HighScoreWindowTest, OnlyWebLinksReachTheDesktopAndVisitedLinksTurnGrey) {
    startProgram("http://127.0.0.1:9");
    highscore_->showList();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(highscore_.get()));
    online::THTTPGet& getit = *highscore_->getit;
    highscore_->getitDoneString(
        getit,
        "<p><a href=\"HTTPS://Example.com/a very/long path?q=1&amp;r=2#top\">web</a></p>"
        "<p><a href=\"http://example.org/\">plain</a></p>"
        "<p><a href=\"file:///etc/passwd\">file</a></p>"
        "<p><a href=\"javascript:alert(1)\">script</a></p>"
        "<p><a href=\"/counter/velmora.shtml\">relative</a></p>"
        "<p><a href=\"mailto:x@y\">mail</a></p>"
        "<p><a href=\" http://spaced/\">spaced</a></p>");
    online::THtmlView& view = *highscore_->displayhtml;
    auto click = [&](const QString& text) {
        QTextCursor found = view.document()->find(text);
        ASSERT_FALSE(found.isNull());
        QTextCursor at(view.document());
        at.setPosition(found.selectionStart() + 1);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                          view.cursorRect(at).center() - QPoint(3, 0));
    };
    for (const char* text : {"web", "file", "script", "relative", "mail", "spaced", "plain"}) {
        click(text);
    }
    EXPECT_EQ(shell_.opened,
              (std::vector<std::string>{"HTTPS://Example.com/a very/long path?q=1&r=2#top",
                                        "http://example.org/"}));
    EXPECT_TRUE(highscore_->isVisible());
    EXPECT_TRUE(view.isVisited("file:///etc/passwd"));
    QTextCursor web = view.document()->find("web");
    EXPECT_EQ(web.charFormat().foreground().color(), QColor(128, 128, 128));

    const std::pair<const char*, bool> targets[] = {
        {"http://a", true},   {"HtTp://a", true}, {"https:x", true},
        {"httpx://a", false}, {"ftp://a", false}, {"file:/a", false},
        {"a/b", false},       {"", false},        {"javascript:http://a", false}};
    for (auto [target, web] : targets) {
        EXPECT_EQ(isWebLink(target), web) << target;
    }
}

}  // namespace
}  // namespace velmora
