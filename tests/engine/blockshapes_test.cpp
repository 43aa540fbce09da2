// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/blockshapes.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora::engine {
namespace {

// The shapes as the player sees them, row by row, top row first.
struct ShapePicture {
    int type;
    int turn;
    const char* rows;  // four rows of four, '/' between rows
};

std::string picture(const Mask& mask) {
    std::string text;
    for (int k = 0; k < 16; ++k) {
        if (k > 0 && k % 4 == 0) {
            text += '/';
        }
        text += mask[k] ? 'X' : '.';
    }
    return text;
}

class BlockShapes : public ::testing::TestWithParam<ShapePicture> {};

TEST_P(BlockShapes, UnpackToTheShapeDrawnOnScreen) {
    const ShapePicture& expected = GetParam();
    EXPECT_EQ(picture(shapeMask(expected.type, expected.turn)), expected.rows)
        << "type " << expected.type << " rotation " << expected.turn;
}

INSTANTIATE_TEST_SUITE_P(
    AllRotations, BlockShapes,
    ::testing::Values(
        ShapePicture{0, 0, "XX../XX../..../...."}, ShapePicture{0, 3, "XX../XX../..../...."},
        ShapePicture{1, 0, "XX../.X../.X../...."}, ShapePicture{1, 1, "XXX./X.../..../...."},
        ShapePicture{1, 2, "X.../X.../XX../...."}, ShapePicture{1, 3, "..X./XXX./..../...."},
        ShapePicture{2, 0, "XX../X.../X.../...."}, ShapePicture{2, 1, "X.../XXX./..../...."},
        ShapePicture{2, 2, ".X../.X../XX../...."}, ShapePicture{2, 3, "XXX./..X./..../...."},
        ShapePicture{3, 0, "X.../XX../.X../...."}, ShapePicture{3, 1, ".XX./XX../..../...."},
        ShapePicture{3, 2, "X.../XX../.X../...."}, ShapePicture{3, 3, ".XX./XX../..../...."},
        ShapePicture{4, 0, ".X../XX../X.../...."}, ShapePicture{4, 1, "XX../.XX./..../...."},
        ShapePicture{4, 2, ".X../XX../X.../...."}, ShapePicture{4, 3, "XX../.XX./..../...."},
        ShapePicture{5, 0, ".X../XXX./..../...."}, ShapePicture{5, 1, ".X../XX../.X../...."},
        ShapePicture{5, 2, "..../XXX./.X../...."}, ShapePicture{5, 3, ".X../.XX./.X../...."},
        ShapePicture{6, 0, ".X../.X../.X../.X.."}, ShapePicture{6, 1, "XXXX/..../..../...."},
        ShapePicture{6, 2, ".X../.X../.X../.X.."}, ShapePicture{6, 3, "XXXX/..../..../...."}));

TEST(BlockShapes, RotationCounterUsesItsValueModuloFour) {
    for (uint8_t type = 0; type < kPieceTypes; ++type) {
        EXPECT_EQ(shapeMask(type, 255), shapeMask(type, 3));
        EXPECT_EQ(shapeMask(type, 6), shapeMask(type, 2));
    }
    EXPECT_EQ(shapeMask(7, 0), Mask{});
}

}  // namespace
}  // namespace velmora::engine
