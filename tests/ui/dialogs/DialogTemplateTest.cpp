// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/DialogTemplate.h"

#include <gtest/gtest.h>

namespace varnoth {
namespace {

TEST(DialogTemplate, DialogUnitsScaleWithTheFontAndRoundToTheNearestPixel) {
    const DialogBaseUnits base{7, 15};
    const DialogRect pixels = DialogUnitsToPixels({4, 8, 579, 378}, base);
    EXPECT_EQ(pixels.x, 7);
    EXPECT_EQ(pixels.y, 15);
    EXPECT_EQ(pixels.width, 1013) << "579 * 7 / 4 = 1013.25";
    EXPECT_EQ(pixels.height, 709) << "378 * 15 / 8 = 708.75";
    EXPECT_EQ(DialogUnitsToPixels({-2, 0, 0, 0}, base).x, -4) << "-3.5 rounds away from zero";
}

TEST(DialogTemplate, AverageCharacterWidthRoundsUpHalfTheMeanLetterWidth) {
    EXPECT_EQ(AverageCharWidth(364), 7) << "364 / 26 = 14";
    EXPECT_EQ(AverageCharWidth(338), 7) << "338 / 26 = 13";
    EXPECT_EQ(AverageCharWidth(312), 6) << "312 / 26 = 12";
}

}  // namespace
}  // namespace varnoth
