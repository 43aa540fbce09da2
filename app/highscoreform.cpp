// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/highscoreform.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QShowEvent>

#include "controls/TFlatPanelUnit.h"
#include "controls/htmlview.h"
#include "controls/picture_button.h"
#include "controls/picture_label.h"
#include "online/HTTPGet.h"
#include "online/URL.h"
#include "online/query_encoding.h"
#include "ui/guarded.h"
#include "ui/ui_style.h"

namespace velmora {

Thighscore* highscore = nullptr;

namespace {

constexpr int kClientWidth = 603;
constexpr int kClientHeight = 561;

// Both fetches as the window uses them: every one goes to the server.
std::unique_ptr<online::THTTPGet> fetcher(const std::shared_ptr<platform::Dispatcher>& dispatcher) {
    auto get = std::make_unique<online::THTTPGet>(dispatcher);
    get->AcceptTypes = "*/*";
    get->Agent = "Velmora HTTPGet";
    get->BinaryData = false;
    get->UseCache = false;
    get->WaitThread = false;
    return get;
}

}  // namespace

bool isWebLink(const QString& target) {
    qsizetype colon = target.indexOf(':');
    if (colon < 0) {
        return false;
    }
    QString scheme = target.left(colon);
    return scheme.compare("http", Qt::CaseInsensitive) == 0 ||
           scheme.compare("https", Qt::CaseInsensitive) == 0;
}

Thighscore::Thighscore(HighScoreEnvironment environment, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      environment_(std::move(environment)) {
    highscore = this;
    setWindowTitle("Velmora - High Scores");
    setFixedSize(kClientWidth, kClientHeight);
    style::paintWindowColour(this);

    getit = fetcher(environment_.dispatcher);
    getit->OnDoneString = [this](online::THTTPGet& sender, const std::string& result) {
        platform::runGuarded([&] { getitDoneString(sender, result); });
    };
    getit->OnError = [this](online::THTTPGet& sender) {
        platform::runGuarded([&] { getitError(sender); });
    };
    sendit = fetcher(environment_.dispatcher);
    sendit->OnDoneString = [this](online::THTTPGet& sender, const std::string& result) {
        platform::runGuarded([&] { senditDoneString(sender, result); });
    };
    URL1 = std::make_unique<online::TURL>(*environment_.shell);
    URL1->URLType = online::TURLType::utnone;
    buildLayout();
}

Thighscore::~Thighscore() {
    if (highscore == this) {
        highscore = nullptr;
    }
}

void Thighscore::buildLayout() {
    Image1 = new controls::PictureLabel(":/pictures/high_scores.png", this);
    Image1->setAccessibleName("High Scores");
    Image1->setGeometry(3, 4, 110, 116);

    Label1 = style::label(this, 6, 538, "Nivolt Software", style::font("MS Sans Serif", 13, true),
                          style::kPale);

    panel_main = new controls::TFlatPanel(this);
    panel_main->setGeometry(kClientWidth - 481 - 6, 6, 481, 507);
    panel_main->setCaption(QString());
    panel_main->setColor(QColor(64, 36, 174));
    panel_main->setColorHighLight(Qt::white);
    panel_main->setColorShadow(Qt::white);

    displayhtml = new online::THtmlView(online::THtmlViewSettings(), panel_main);
    displayhtml->setGeometry(1, 1, 479, 505);
    displayhtml->OnHotSpotClick = [this](online::THtmlView& sender, const QString& src,
                                         bool& handled) {
        platform::runGuarded([&] { displayhtmlHotSpotClick(sender, src, handled); });
    };

    button_done = new controls::PictureButton(":/pictures/button_done.png", this);
    button_done->setTransparent(true);
    button_done->move(kClientWidth - 126 - 6, kClientHeight - 40 - 6);
    connect(button_done, &controls::PictureButton::clicked, this,
            guarded(this, &Thighscore::button_doneClick));
}

std::string Thighscore::pageUrl() const {
    return environment_.serverAddress + "/counter/" + environment_.appname + ".shtml";
}

std::string Thighscore::postUrl(const std::string& name, const std::string& date,
                                const std::string& score) const {
    return environment_.serverAddress + "/cgi-bin/" + environment_.appname +
           ".cgi?name=" + online::percentEncode(name) +
           "&date=" + online::percentEncode(date, "/") + "&score=" + online::percentEncode(score);
}

void Thighscore::loadit() {
    getit->PostQuery.clear();
    getit->URL = pageUrl();
    // Ignored while the previous fetch runs: its page is the one that comes.
    getit->FetchString();
}

void Thighscore::sendscore(const std::string& name, const std::string& date,
                           const std::string& score) {
    sendit->URL = postUrl(name, date, score);
    sendit->FetchString();
}

void Thighscore::showList() {
    show();
    raise();
    activateWindow();
}

void Thighscore::getitDoneString(online::THTTPGet&, const std::string& result) {
    displayhtml->LoadFromString(result);
    listArrived_ = true;
}

// A list shown earlier stays; an empty view would look like a list without
// a single score.
void Thighscore::getitError(online::THTTPGet&) {
    if (!listArrived_) {
        displayhtml->setPlainText(kUnreachableLine);
    }
}

void Thighscore::senditDoneString(online::THTTPGet&, const std::string&) {
    // The reply's text means nothing: that it came is what counts.
    if (postTarget_ != nullptr) {
        postTarget_->scorePosted();
    }
    loadit();
    showList();
}

void Thighscore::displayhtmlHotSpotClick(online::THtmlView&, const QString& src, bool&) {
    // The page travels over plain HTTP: only web addresses reach the desktop,
    // never files, scripts or other handlers.
    if (!isWebLink(src)) {
        return;
    }
    URL1->URL = src.toStdString();
    URL1->OpenURL();
}

void Thighscore::button_doneClick() {
    close();
}

void Thighscore::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Centred on the desktop the first time it shows.
    if (!placed_) {
        placed_ = true;
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect area = screen->availableGeometry();
            move(area.center() - QPoint(width() / 2, height() / 2));
        }
    }
}

}  // namespace velmora
