// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/credit_lines.h"

#include <QLabel>
#include <QWidget>
#include <algorithm>

#include "platform/dates.h"
#include "ui/ui_style.h"

namespace velmora {

namespace {

constexpr int kLineHeight = 16;

}  // namespace

QString yearText(int year) {
    return QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0'));
}

CreditLines addCreditLines(QWidget* parent) {
    auto* block = new QWidget(parent);
    const QFont font = style::font("Times New Roman", 13, true);
    QLabel* product = style::label(block, 0, 0, "Velmora", font, style::kPale);
    QLabel* maker = style::label(block, 0, kLineHeight, "Nivolt Software", font, style::kPale);
    QLabel* range =
        style::label(block, 0, 2 * kLineHeight, QString::fromUtf8("© 2011 - "), font, style::kPale);
    QLabel* year = style::label(block, range->width(), 2 * kLineHeight,
                                yearText(platform::today().year), font, style::kPale);
    year->setObjectName("label_year");
    const int width = std::max({product->width(), maker->width(), year->x() + year->width()});
    block->resize(width, 2 * kLineHeight + year->height());
    return {block, year};
}

}  // namespace velmora
