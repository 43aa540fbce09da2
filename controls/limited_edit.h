// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A one-line text field that limits what the user types and pastes, but not
// what the program puts into it: a name loaded from the settings keeps all of
// its characters, while the player cannot type past the limit.

#include <QLineEdit>

class QMenu;

namespace velmora::controls {

class LimitedEdit : public QLineEdit {
    Q_OBJECT

public:
    // Accepts at most 10 typed characters.
    explicit LimitedEdit(QWidget* parent = nullptr);

    // Most characters the user may bring the text to by typing or pasting.
    int typedLimit() const { return typedLimit_; }
    void setTypedLimit(int limit) { typedLimit_ = limit; }

    // How many more characters the user may enter in place of the selection.
    int room() const;

    // Inserts as much of `text` as fits, in place of the selection, as a
    // user's paste does.
    void pasteLimited(const QString& text);

    // The standard edit menu, its Paste going through pasteLimited; the
    // caller owns it.
    QMenu* createLimitedContextMenu();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    int typedLimit_ = 10;
};

}  // namespace velmora::controls
