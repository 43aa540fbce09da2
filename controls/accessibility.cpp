// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/accessibility.h"

#include <QAccessibleWidget>
#include <QVariant>
#include <functional>

#include "controls/ButtonComps.h"
#include "controls/TFlatPanelUnit.h"
#include "controls/picture_button.h"

namespace velmora::controls {

namespace {

constexpr const char* kRoleProperty = "velmoraAccessibleRole";

// A widget announced with a role, a name to fall back on when none is set,
// and a press action when it is a button.
class ControlAccessible : public QAccessibleWidget {
  public:
    ControlAccessible(QWidget* widget, QAccessible::Role role,
                      std::function<QString()> fallbackName = {},
                      std::function<void()> press = {})
        : QAccessibleWidget(widget, role),
          fallbackName_(std::move(fallbackName)),
          press_(std::move(press)) {}

    QString text(QAccessible::Text kind) const override {
        QString given = QAccessibleWidget::text(kind);
        if (kind == QAccessible::Name && given.isEmpty() && fallbackName_) {
            return fallbackName_();
        }
        return given;
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (press_ && widget()->isEnabled()) {
            names.prepend(pressAction());
        }
        return names;
    }

    void doAction(const QString& action) override {
        if (action == pressAction() && press_ && widget()->isEnabled()) {
            press_();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

  private:
    std::function<QString()> fallbackName_;
    std::function<void()> press_;
};

QAccessibleInterface* controlAccessible(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) {
        return nullptr;
    }
    if (auto* button = qobject_cast<PictureButton*>(widget)) {
        return new ControlAccessible(button, QAccessible::Button, {},
                                     [button] { emit button->clicked(); });
    }
    if (auto* button = qobject_cast<TSelButton*>(widget)) {
        return new ControlAccessible(button, QAccessible::Button,
                                     [button] { return button->caption(); },
                                     [button] { emit button->clicked(button); });
    }
    QVariant role = widget->property(kRoleProperty);
    if (role.isValid()) {
        return new ControlAccessible(widget, static_cast<QAccessible::Role>(role.toInt()));
    }
    if (auto* panel = qobject_cast<TFlatPanel*>(widget)) {
        return new ControlAccessible(panel, QAccessible::Grouping,
                                     [panel] { return panel->caption(); });
    }
    return nullptr;
}

}  // namespace

void installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(controlAccessible);
        return true;
    }();
    (void)installed;
}

void setAccessibleRole(QWidget* widget, QAccessible::Role role) {
    installAccessibility();
    widget->setProperty(kRoleProperty, static_cast<int>(role));
}

}  // namespace velmora::controls
