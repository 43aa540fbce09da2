// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/limited_edit.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <algorithm>
#include <memory>

namespace velmora::controls {

namespace {

QString clipboardLine() {
    // A one-line field takes a pasted text up to its first line break.
    QString text = QGuiApplication::clipboard()->text();
    return text.left(text.indexOf(QLatin1Char('\n'))).remove(QLatin1Char('\r'));
}

}  // namespace

LimitedEdit::LimitedEdit(QWidget* parent) : QLineEdit(parent) {
    // Dropped text would bypass the limit; a name field has no use for it.
    setAcceptDrops(false);
}

int LimitedEdit::room() const {
    return std::max(0, typedLimit_ - static_cast<int>(text().size() - selectedText().size()));
}

void LimitedEdit::pasteLimited(const QString& text) {
    if (isReadOnly()) {
        return;
    }
    QString fitting = text.left(room());
    if (!fitting.isEmpty() || hasSelectedText()) {
        insert(fitting);
    }
}

void LimitedEdit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        pasteLimited(clipboardLine());
        event->accept();
        return;
    }
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint();
    const bool commands = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    if (printable && !commands && typed.size() > room()) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void LimitedEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (event->commitString().size() > room()) {
        QInputMethodEvent cut(event->preeditString(), event->attributes());
        cut.setCommitString(event->commitString().left(room()), event->replacementStart(),
                            event->replacementLength());
        QLineEdit::inputMethodEvent(&cut);
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

QMenu* LimitedEdit::createLimitedContextMenu() {
    QMenu* menu = createStandardContextMenu();
    // The standard menu's Paste would insert the whole clipboard. Qt names
    // that action "edit-paste" in newer versions; older ones only show its
    // shortcut after a tab in its text.
    const QString shortcut =
        QLatin1Char('\t') + QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
    for (QAction* action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-paste") || action->text().endsWith(shortcut)) {
            disconnect(action, nullptr, this, nullptr);
            connect(action, &QAction::triggered, this, [this] { pasteLimited(clipboardLine()); });
        }
    }
    return menu;
}

void LimitedEdit::contextMenuEvent(QContextMenuEvent* event) {
    std::unique_ptr<QMenu> menu(createLimitedContextMenu());
    menu->exec(event->globalPos());
}

}  // namespace velmora::controls
