// SPDX-License-Identifier: GPL-3.0-or-later
// GoogleTest entry point for tests that need a QApplication.

#include <gtest/gtest.h>

#include "controls/fonts.h"
#include "ui/application.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    velmora::Application application(argc, argv);
    velmora::controls::installFontSubstitutions();
    return RUN_ALL_TESTS();
}
