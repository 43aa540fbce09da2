// SPDX-License-Identifier: GPL-3.0-or-later
// Property: any bytes shown as a page load and paint without a crash and
// show no more text than the limits allow, and any bytes read as a picture
// address give nothing or a picture within the size bounds. Pages of several
// megabytes matter (the view cuts them), so run with -max_len=4194304; the
// seeds are the hostile pages of tests/controls/hostile_pages.cpp, smaller.
#include <QApplication>
#include <QImage>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "controls/html_limits.h"
#include "controls/html_pictures.h"
#include "controls/htmlview.h"

namespace {

velmora::online::THtmlView& view() {
    static int argc = 1;
    static char name[] = "htmlview_fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication* application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    static auto* shown = [] {
        auto* view = new velmora::online::THtmlView();
        view->resize(481, 507);
        view->show();
        return view;
    }();
    (void)application;
    return *shown;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string page(reinterpret_cast<const char*>(data), size);
    velmora::online::THtmlView& shown = view();
    shown.LoadFromString(page);
    shown.viewport()->grab();
    // Breaks added to long runs, and separators of the cells and blocks.
    const velmora::online::HtmlLimits limits;
    if (shown.toPlainText().size() >
        2 * limits.maxTextChars + limits.maxElements * limits.maxSpan * limits.maxSpan) {
        std::abort();
    }
    QImage picture = velmora::online::decodeDataPicture(
        QString::fromUtf8(page.data(), static_cast<qsizetype>(size)));
    if (picture.width() > velmora::online::kMaxPictureSide ||
        picture.height() > velmora::online::kMaxPictureSide) {
        std::abort();
    }
    return 0;
}
