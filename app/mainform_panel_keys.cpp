// SPDX-License-Identifier: GPL-3.0-or-later
// Enter and Escape on the main window's dialog-like panels: Enter is DONE and
// Escape is CANCEL on the name panel, and on the update panel while its
// buttons show. They reach the window from the name field, which passes
// both on, or from the game area, which has the focus otherwise.

#include <QKeyEvent>

#include "app/mainform.h"
#include "controls/TFlatPanelUnit.h"
#include "controls/picture_button.h"
#include "platform/dialogs.h"

namespace velmora {

namespace {

enum class PanelKey { None, Done, Cancel };

PanelKey panelKeyOf(const QKeyEvent& event) {
    if (event.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) {
        return PanelKey::None;
    }
    switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return PanelKey::Done;
        case Qt::Key_Escape:
            return PanelKey::Cancel;
        default:
            return PanelKey::None;
    }
}

// The later sibling is drawn over the earlier one.
bool inFrontOf(const QWidget* widget, const QWidget* other) {
    const QObjectList& siblings = widget->parentWidget()->children();
    return siblings.indexOf(widget) > siblings.indexOf(other);
}

}  // namespace

bool Tmain::panelKeyPressed(const QKeyEvent& event) {
    const PanelKey key = panelKeyOf(event);
    if (key == PanelKey::None) {
        return false;
    }
    const bool name = panel_name->isVisible();
    const bool update = panel_update->isVisible();
    if (name && !(update && inFrontOf(panel_update, panel_name))) {
        platform::runGuarded([&] {
            key == PanelKey::Done ? button_namedoneClick() : button_namecancelClick();
        });
        return true;
    }
    if (!update) {
        return false;
    }
    PictureButton* button = key == PanelKey::Done ? button_updateyes : button_updatecancel;
    if (!button->isVisible()) {
        return false;
    }
    platform::runGuarded([&] {
        key == PanelKey::Done ? button_updateyesClick() : button_updatecancelClick();
    });
    return true;
}

}  // namespace velmora
