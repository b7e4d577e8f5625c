// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QImage>

#include "ui/controls/CompressorCurve.h"

namespace varnoth {
namespace {

bool IsCurve(QRgb p) {
    return qBlue(p) > 200 && qRed(p) < 120;
}

// The 2-pixel antialiased curve passes within a pixel or two of (x, y).
bool CurveNear(const QImage& image, int x, int y) {
    for (int dy = -2; dy <= 2; ++dy) {
        if (IsCurve(image.pixel(x, y + dy))) {
            return true;
        }
    }
    return false;
}

const QRgb kBackground = qRgb(236, 233, 216);

class CompressPanelTest : public ::testing::Test {
  protected:
    CompressPanelTest() {
        panel.resize(250, 174);
        panel.SetEnabledCurve(true);
        panel.SetThreshold(-15.0f);
    }
    QImage Picture() { return panel.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    CompressorCurve panel;
    const int w = 250 - 30;
    const int h = 174 - 15;
};

TEST_F(CompressPanelTest, SlopeOneIsTheDiagonalAndShadesTheWholeGrid) {
    panel.SetUpperSlope(1.0f);
    const QImage image = Picture();
    // Points on the diagonal from the bottom-left to the top-right grid corner, on both sides of the
    // threshold.
    for (double input : {-40.0, -27.0, -8.0, 2.0}) {
        const int x = panel.XOfInput(input);
        const int y = panel.YOfOutput(input);
        EXPECT_TRUE(CurveNear(image, x, y)) << "input " << input;
    }
    // Inside the grid's top-left cell, well above the threshold dot: shaded, not background.
    const QRgb top = image.pixel(35, 12);
    EXPECT_NE(top, kBackground);
    EXPECT_LT(qRed(top), 225);
    EXPECT_EQ(image.pixel(3, 3), kBackground) << "outside the grid";
}

TEST_F(CompressPanelTest, SlopeZeroIsFlatFromTheThresholdAndShadesBelowIt) {
    panel.SetUpperSlope(0.0f);
    const QImage image = Picture();
    const int yT = panel.YOfOutput(-15);
    for (double input : {-8.0, -2.0, 3.0}) {
        const int x = panel.XOfInput(input);
        EXPECT_TRUE(CurveNear(image, x, yT)) << "flat at the threshold, input " << input;
        EXPECT_FALSE(CurveNear(image, x, panel.YOfOutput(input))) << "no diagonal, input " << input;
    }
    EXPECT_EQ(image.pixel(35, 12), kBackground) << "above the threshold the band is gone";
    EXPECT_NE(image.pixel(35, yT + 7), kBackground) << "below the threshold it is shaded";
}

TEST_F(CompressPanelTest, ThresholdDotSitsOnTheCurve) {
    panel.SetThreshold(-50.0f);
    const QImage image = Picture();
    const QRgb dot = image.pixel(panel.XOfInput(-50) - 3, panel.YOfOutput(-50) + 1);
    EXPECT_GT(qRed(dot), 150) << "the red dot at the bottom-left corner";
    EXPECT_EQ(panel.XOfInput(-50), 25);
    EXPECT_EQ(panel.YOfOutput(-50), h + 5);
    EXPECT_EQ(panel.XOfInput(5), w + 25);
}

TEST_F(CompressPanelTest, OffStillDrawsTheCurveUnderTheWord) {
    panel.SetUpperSlope(1.0f);
    const QImage on = Picture();
    panel.SetEnabledCurve(false);
    const QImage off = Picture();
    EXPECT_NE(on, off);
    EXPECT_TRUE(CurveNear(off, panel.XOfInput(-40), panel.YOfOutput(-40)));
}

}  // namespace
}  // namespace varnoth
