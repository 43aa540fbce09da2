// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/html_values.h"

#include <QRegularExpression>
#include <QStringList>

namespace velmora::online {

namespace {

constexpr qsizetype kMaxValueChars = 64;

bool matches(const QRegularExpression& pattern, QStringView value) {
    return value.size() <= kMaxValueChars && pattern.match(value).hasMatch();
}

QString oneOf(QStringView value, std::initializer_list<const char*> accepted) {
    QString lower = value.trimmed().toString().toLower();
    for (const char* word : accepted) {
        if (lower == QLatin1String(word)) {
            return lower;
        }
    }
    return {};
}

// "12px" or "10pt" within bounds, or a size keyword.
QString fontSizeProperty(QStringView value) {
    static const QRegularExpression size(R"(^(\d{1,3})(px|pt)$)");
    QRegularExpressionMatch match = size.match(value);
    if (match.hasMatch()) {
        int number = match.captured(1).toInt();
        bool points = match.captured(2) == "pt";
        return number <= (points ? 36 : 48) ? value.toString() : QString();
    }
    return oneOf(value, {"xx-small", "x-small", "small", "medium", "large", "x-large", "xx-large"});
}

QString styleProperty(const QString& name, QStringView value) {
    if (name == "color" || name == "background-color") {
        return colourValue(value);
    }
    if (name == "text-align") {
        return alignValue(value);
    }
    if (name == "font-size") {
        return fontSizeProperty(value);
    }
    if (name == "font-weight") {
        return oneOf(value, {"normal", "bold", "100", "200", "300", "400", "500", "600", "700",
                             "800", "900"});
    }
    return {};
}

}  // namespace

QString colourValue(QStringView value) {
    static const QRegularExpression colour("^(#[0-9a-fA-F]{3}|#[0-9a-fA-F]{6}|[a-zA-Z]{1,20})$");
    QStringView trimmed = value.trimmed();
    return matches(colour, trimmed) ? trimmed.toString() : QString();
}

QString lengthValue(QStringView value, int maxPixels) {
    static const QRegularExpression length(R"(^(\d{1,9})(%?)$)");
    QRegularExpressionMatch match = length.match(value.trimmed());
    if (value.size() > kMaxValueChars || !match.hasMatch()) {
        return {};
    }
    bool percent = !match.captured(2).isEmpty();
    int number = std::min(match.captured(1).toInt(), percent ? 100 : maxPixels);
    return QString::number(number) + (percent ? "%" : "");
}

QString countValue(QStringView value, int min, int max) {
    static const QRegularExpression count(R"(^\d+$)");
    QStringView trimmed = value.trimmed();
    if (!matches(count, trimmed)) {
        return {};
    }
    bool small = false;
    long long number = trimmed.toLongLong(&small);
    return QString::number(small ? std::clamp<long long>(number, min, max) : max);
}

QString alignValue(QStringView value) {
    return oneOf(value, {"left", "right", "center", "justify"});
}

QString verticalAlignValue(QStringView value) {
    return oneOf(value, {"top", "middle", "bottom", "baseline"});
}

QString fontSizeValue(QStringView value) {
    static const QRegularExpression size("^[+-]?[1-7]$");
    QStringView trimmed = value.trimmed();
    return matches(size, trimmed) ? trimmed.toString() : QString();
}

QString fontFaceValue(QStringView value) {
    static const QRegularExpression face("^[A-Za-z0-9 ,-]{1,64}$");
    QStringView trimmed = value.trimmed();
    return matches(face, trimmed) ? trimmed.toString() : QString();
}

QString listTypeValue(QStringView value) {
    QStringView trimmed = value.trimmed();
    for (const char* type : {"1", "a", "A", "i", "I"}) {
        if (trimmed == QLatin1String(type)) {
            return trimmed.toString();
        }
    }
    return oneOf(value, {"disc", "circle", "square"});
}

QString plainStyle(QStringView declarations) {
    if (declarations.size() > 4 * kMaxValueChars) {
        return {};
    }
    QStringList kept;
    for (QStringView declaration : declarations.split(u';')) {
        qsizetype colon = declaration.indexOf(u':');
        if (colon < 0) {
            continue;
        }
        QString name = declaration.left(colon).trimmed().toString().toLower();
        QString value = styleProperty(name, declaration.mid(colon + 1).trimmed());
        if (!value.isNull()) {
            kept << name + ": " + value;
        }
    }
    return kept.isEmpty() ? QString() : kept.join("; ");
}

}  // namespace velmora::online
