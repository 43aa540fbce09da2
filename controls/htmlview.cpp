// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/htmlview.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include "controls/html_pictures.h"
#include "controls/html_sanitizer.h"

namespace velmora::online {

namespace {

QFont pixelFont(const QString& family, int pixels) {
    QFont font(family);
    font.setPixelSize(pixels);
    return font;
}

// Stands in for any picture that is not shown: it takes no room and draws
// nothing, where Qt would otherwise draw a broken-file icon.
QImage blankPicture() {
    QImage blank(1, 1, QImage::Format_ARGB32);
    blank.fill(Qt::transparent);
    return blank;
}

}  // namespace

THtmlView::THtmlView(const THtmlViewSettings& settings, QWidget* parent)
    : QTextBrowser(parent), settings_(settings) {
    // Nothing is followed, opened or remembered: clicks go to OnHotSpotClick.
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setUndoRedoEnabled(false);
    document()->setUndoRedoEnabled(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setTextInteractionFlags(settings_.NoSelect
                                ? Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard
                                : Qt::TextBrowserInteraction);

    QPalette colours = palette();
    colours.setColor(QPalette::Base, settings_.DefBackground);
    colours.setColor(QPalette::Text, settings_.DefFontColor);
    colours.setColor(QPalette::Link, settings_.DefHotSpotColor);
    colours.setColor(QPalette::LinkVisited, settings_.DefVisitedLinkColor);
    setPalette(colours);
    document()->setDefaultFont(pixelFont(settings_.DefFontName, settings_.DefFontPixels));
    document()->setDefaultStyleSheet(
        QString("a[href] { color: %1; text-decoration: underline; } pre { font-family: \"%2\"; }")
            .arg(settings_.DefHotSpotColor.name(), settings_.DefPreFontName));

    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    updateBorder();

    connect(this, &QTextBrowser::anchorClicked, this, [this] { linkActivated(); });
}

void THtmlView::LoadFromString(const std::string& html) {
    QString page = sanitizeHtml(html);
    // A new page starts from nothing: no pictures, formats or scroll position
    // of the old one survive.
    document()->clear();
    picturePixels_ = 0;
    if (page.isNull()) {
        setPlainText(tr("The high score list could not be shown."));
    } else {
        setHtml(page);
    }
    colourVisitedLinks();
}

QVariant THtmlView::loadResource(int type, const QUrl& name) {
    if (type == QTextDocument::ImageResource) {
        QImage picture = decodeDataPicture(name.toString(QUrl::FullyEncoded));
        qint64 pixels = qint64(picture.width()) * picture.height();
        if (picture.isNull() || picturePixels_ + pixels > kMaxPagePicturePixels) {
            return blankPicture();
        }
        picturePixels_ += pixels;
        return picture;
    }
    // Style sheets and anything else a page links to are never read: an
    // empty, non-null answer keeps the document from looking elsewhere.
    return QByteArray(" ");
}

void THtmlView::mouseReleaseEvent(QMouseEvent* event) {
    releasedAnchor_ = anchorAt(event->position().toPoint());
    QTextBrowser::mouseReleaseEvent(event);
    releasedAnchor_.clear();
}

void THtmlView::mouseMoveEvent(QMouseEvent* event) {
    QTextBrowser::mouseMoveEvent(event);
    setHoveredLink(anchorAt(event->position().toPoint()));
}

bool THtmlView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Leave) {
        setHoveredLink(QString());
    }
    return QTextBrowser::viewportEvent(event);
}

void THtmlView::setHoveredLink(const QString& target) {
    if (target != hovered_) {
        bool recolour = visited_.contains(target) || visited_.contains(hovered_);
        hovered_ = target;
        if (recolour) {
            colourVisitedLinks();
        }
    }
}

void THtmlView::linkActivated() {
    // Qt reports the link as a resolved address; the owner wants the target
    // text exactly as the page wrote it.
    QString target = !releasedAnchor_.isEmpty() ? releasedAnchor_ : anchorAtCursor();
    if (target.isEmpty()) {
        return;
    }
    bool handled = false;
    if (OnHotSpotClick) {
        OnHotSpotClick(*this, target, handled);
    }
    if (!visited_.contains(target)) {
        visited_.insert(target);
        colourVisitedLinks();
    }
}

QString THtmlView::anchorAtCursor() const {
    // A link chosen with the keyboard is the cursor's selection.
    QTextCursor cursor = textCursor();
    QTextCursor probe(document());
    probe.setPosition(cursor.selectionStart() + (cursor.hasSelection() ? 1 : 0));
    return probe.charFormat().anchorHref();
}

void THtmlView::colourVisitedLinks() {
    if (visited_.isEmpty()) {
        return;
    }
    QTextCharFormat visited;
    visited.setForeground(settings_.DefVisitedLinkColor);
    QTextCharFormat over;
    over.setForeground(settings_.DefOverLinkColor);
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            QTextFragment fragment = it.fragment();
            QTextCharFormat format = fragment.charFormat();
            if (format.isAnchor() && visited_.contains(format.anchorHref())) {
                cursor.setPosition(fragment.position());
                cursor.setPosition(fragment.position() + fragment.length(),
                                   QTextCursor::KeepAnchor);
                cursor.mergeCharFormat(format.anchorHref() == hovered_ ? over : visited);
            }
        }
    }
    cursor.endEditBlock();
}

bool THtmlView::showsBorder() const {
    return settings_.BorderStyle == THtmlBorderStyle::htFocused && focused_;
}

void THtmlView::focusInEvent(QFocusEvent* event) {
    QTextBrowser::focusInEvent(event);
    focused_ = true;
    updateBorder();
}

void THtmlView::focusOutEvent(QFocusEvent* event) {
    QTextBrowser::focusOutEvent(event);
    focused_ = false;
    updateBorder();
}

void THtmlView::updateBorder() {
    // The frame is always one pixel wide, so the page never shifts; only its
    // colour says whether the view has the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText,
                     showsBorder() ? settings_.DefFontColor : settings_.DefBackground);
    setPalette(colours);
    update();
}

}  // namespace velmora::online
