// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// THtmlView: shows one HTML page given as a string, on Qt's rich-text
// engine. It never navigates and never fetches anything: a click on a link
// is reported to its owner, and pictures come only from data: addresses
// inside the page.

#include <QColor>
#include <QSet>
#include <QString>
#include <QTextBrowser>
#include <functional>
#include <string>

namespace velmora::online {

enum class THtmlBorderStyle {
    htNone,     // never a border
    htFocused,  // a border while the view has the keyboard focus
};

// How the view shows a page that does not say otherwise.
struct THtmlViewSettings {
    QColor DefBackground{230, 227, 196};
    QString DefFontName = "Times New Roman";
    QString DefPreFontName = "Arial";
    int DefFontPixels = 16;
    QColor DefFontColor = Qt::black;
    QColor DefHotSpotColor{0, 128, 128};        // teal
    QColor DefVisitedLinkColor{128, 128, 128};  // grey
    QColor DefOverLinkColor{0, 128, 128};       // teal
    int HistoryMaxCount = 0;                    // the view keeps no history whatever this says
    bool NoSelect = false;
    THtmlBorderStyle BorderStyle = THtmlBorderStyle::htFocused;
};

class THtmlView : public QTextBrowser {
    Q_OBJECT
  public:
    // Sender, the link's target as the page gives it, and an in-out flag:
    // the view itself does nothing more with a click either way.
    using HotSpotClickEvent =
        std::function<void(THtmlView& sender, const QString& src, bool& handled)>;

    explicit THtmlView(const THtmlViewSettings& settings = {}, QWidget* parent = nullptr);

    const THtmlViewSettings& settings() const { return settings_; }

    // Replaces whatever was shown by the page in `html` (UTF-8), as far as
    // sanitizeHtml() lets it through: only its first part, within bounds,
    // or the one line "The high score list could not be shown.".
    void LoadFromString(const std::string& html);

    // Runs first on every link click, before the view marks it visited.
    HotSpotClickEvent OnHotSpotClick;

    // Targets clicked during this run; they show in the visited colour, and
    // in the over colour while under the mouse. Other links keep the link
    // colour, which is also the over colour.
    bool isVisited(const QString& target) const { return visited_.contains(target); }

    // Whether the focus border shows now.
    bool showsBorder() const;

  protected:
    QVariant loadResource(int type, const QUrl& name) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void linkActivated();
    void colourVisitedLinks();
    void setHoveredLink(const QString& target);
    void updateBorder();
    QString anchorAtCursor() const;

    THtmlViewSettings settings_;
    QSet<QString> visited_;
    QString releasedAnchor_;
    QString hovered_;  // the link under the mouse
    bool focused_ = false;
    qint64 picturePixels_ = 0;  // decoded for the page shown
};

}  // namespace velmora::online
