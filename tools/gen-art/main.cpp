// SPDX-License-Identifier: GPL-3.0-or-later
// velmora-gen-art <folder>: writes the program's pictures as PNG files.

#include <QFile>
#include <QGuiApplication>
#include <cstdio>

#include "tools/gen-art/icon.h"
#include "tools/gen-art/pictures.h"

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
        const char* file;
        QImage image;
    } pictures[] = {
        {"button_start_game.png", pictureButton("START GAME")},
        {"button_done.png", pictureButton("DONE")},
        {"button_cancel.png", pictureButton("CANCEL")},
        {"button_send_score.png", pictureButton("SEND SCORE")},
        {"button_view_scores.png", pictureButton("VIEW SCORES")},
        {"button_reset_tally.png", pictureButton("RESET TALLY")},
        {"key_legend.png", keyLegend()},
        {"maker_logo.png", makerLogo()},
        {"product_logo.png", productLogo()},
        {"high_scores.png", highScorePicture()},
    };
    for (const auto& picture : pictures) {
        const QString path = folder + QLatin1String(picture.file);
        if (!picture.image.save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
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
