// SPDX-License-Identifier: GPL-3.0-or-later
// velmora-gen-art <folder>: writes the program's pictures as PNG files.

#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <functional>

#include "tools/gen-art/icon.h"
#include "tools/gen-art/pictures.h"

namespace {

// The screen densities the pictures are drawn for; the program's picture
// loader (controls/density_picture) looks for the same ones.
constexpr double kScales[] = {1, 1.25, 1.5, 2, 3};

}  // namespace

int main(int argc, char** argv) {
    using namespace velmora::tools;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
    const struct {
        const char* name;
        std::function<QImage(double scale)> draw;
    } pictures[] = {
        {"button_start_game", [](double s) { return pictureButton("START GAME", s); }},
        {"button_done", [](double s) { return pictureButton("DONE", s); }},
        {"button_cancel", [](double s) { return pictureButton("CANCEL", s); }},
        {"button_send_score", [](double s) { return pictureButton("SEND SCORE", s); }},
        {"button_view_scores", [](double s) { return pictureButton("VIEW SCORES", s); }},
        {"button_reset_tally", [](double s) { return pictureButton("RESET TALLY", s); }},
        {"key_legend", keyLegend},
        {"maker_logo", makerLogo},
        {"product_logo", productLogo},
        {"high_scores", highScorePicture},
    };
    // Each picture at 1x, and drawn anew for each denser screen the program
    // picks from (name@2x.png and so on).
    for (const auto& picture : pictures) {
        for (const double scale : kScales) {
            const QString path = folder + QLatin1String(picture.name) +
                                 (scale == 1.0 ? QString() : QStringLiteral("@%1x").arg(scale)) +
                                 QStringLiteral(".png");
            if (!picture.draw(scale).save(path, "PNG")) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                return 1;
            }
        }
    }
    // The desktop icons: one PNG per size and the scalable original.
    for (const int size : kIconSizes) {
        const QString path = folder + QStringLiteral("icon_%1.png").arg(size);
        if (!renderIcon(size).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    QFile svg(folder + QStringLiteral("icon.svg"));
    if (!svg.open(QIODevice::WriteOnly) || svg.write(iconSvg().toUtf8()) < 0 || !svg.flush()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(svg.fileName()));
        return 1;
    }
    return 0;
}
