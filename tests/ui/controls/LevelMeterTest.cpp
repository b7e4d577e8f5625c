// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QImage>
#include <QTest>
#include <memory>

#include "ui/controls/LevelMeter.h"

namespace varnoth {
namespace {

// One band of 14 segments, 7 pixels each, as in the main window.
class PeakMeterTest : public ::testing::Test {
  protected:
    PeakMeterTest() {
        meter.resize(7, 98);
        meter.SetBands(1);
        meter.SetLedCount(14);
        meter.ResetControl();
    }
    QRgb Segment(const QImage& image, int i) { return image.pixel(3, 98 - i * 7 - 4); }
    int LitOnScreen() {
        const QImage image = meter.grab().toImage();
        int lit = 0;
        for (int i = 0; i < 14; ++i) {
            const QRgb p = Segment(image, i);
            if (qRed(p) == 255 || qGreen(p) == 255) {
                ++lit;
            }
        }
        return lit;
    }

    LevelMeter meter;
};

TEST_F(PeakMeterTest, LitSegmentsFollowTheValue) {
    struct Case {
        int value, lit;
    };
    const Case cases[] = {{255, 14}, {70, 14}, {69, 13}, {35, 7}, {5, 1}, {4, 0}, {0, 0}};
    for (const Case& c : cases) {
        meter.ResetControl();  // no peak held and no clip mark from the case before
        meter.SetData(0, static_cast<std::uint8_t>(c.value));
        EXPECT_EQ(LitOnScreen(), c.lit) << "value " << c.value;
    }
}

TEST_F(PeakMeterTest, ZonesAreElevenGreenTwoYellowOneRed) {
    meter.SetData(0, 255);
    const QImage lit = meter.grab().toImage();
    meter.ResetControl();
    meter.SetData(0, 0);
    const QImage unlit = meter.grab().toImage();
    for (int i = 0; i < 14; ++i) {
        const QRgb expectedLit = i < 11 ? qRgb(0, 255, 0) : i < 13 ? qRgb(255, 255, 0) : qRgb(255, 0, 0);
        const QRgb expectedUnlit = i < 11 ? qRgb(2, 128, 2) : i < 13 ? qRgb(128, 128, 2) : qRgb(128, 2, 2);
        EXPECT_EQ(Segment(lit, i), expectedLit) << "segment " << i;
        EXPECT_EQ(Segment(unlit, i), expectedUnlit) << "segment " << i;
    }
    EXPECT_EQ(lit.pixel(3, 0), qRgb(236, 236, 216)) << "rows above the top segment stay background";
}

TEST_F(PeakMeterTest, StartsFullAndSinksOneSegmentPerTick) {
    EXPECT_EQ(meter.Value(0), 70);
    for (int tick = 1; tick <= 14; ++tick) {
        meter.Tick();
        EXPECT_EQ(meter.Value(0), 70 - 5 * tick);
    }
    meter.Tick();
    EXPECT_EQ(meter.Value(0), 0);
    meter.SetData(0, 12);
    meter.Tick();
    meter.Tick();
    meter.Tick();
    EXPECT_EQ(meter.Value(0), 0) << "never below zero";
}

TEST_F(PeakMeterTest, SetDataOutsideTheBandListChangesNothing) {
    meter.SetData(0, 20);
    meter.SetData(1, 60);
    meter.SetData(-1, 60);
    EXPECT_EQ(meter.Value(0), 20);
}

TEST_F(PeakMeterTest, RunningMeterEmptiesByItselfAndStopsWhenDestroyed) {
    auto second = std::make_unique<LevelMeter>();
    second->SetBands(1);
    second->SetLedCount(14);
    second->ResetControl();
    meter.Start();
    second->Start();
    EXPECT_TRUE(meter.IsRunning());
    EXPECT_TRUE(QTest::qWaitFor([&] { return meter.Value(0) == 0; }, 10000));
    second.reset();
    EXPECT_TRUE(meter.IsRunning()) << "one meter going away leaves the others running";
    meter.SetData(0, 70);
    EXPECT_TRUE(QTest::qWaitFor([&] { return meter.Value(0) == 0; }, 10000));
}

TEST_F(PeakMeterTest, ThePeakSegmentIsHeldForItsTimeThenFallsLikeTheBar) {
    for (int tick = 0; tick < 15; ++tick) {
        meter.Tick();
    }
    EXPECT_EQ(meter.Peak(0), 0) << "the full bar of the start is no peak";
    meter.SetData(0, 50);
    meter.SetData(0, 30);
    EXPECT_EQ(meter.Peak(0), 50) << "a lower level keeps the peak";
    const int holdTicks = LevelMeter::kPeakHoldMs / LevelMeter::kDefaultRefreshPeriod;
    for (int tick = 0; tick < holdTicks; ++tick) {
        meter.Tick();
    }
    EXPECT_EQ(meter.Value(0), 0);
    EXPECT_EQ(meter.Peak(0), 50) << "held for 1.5 s";
    EXPECT_EQ(LitOnScreen(), 1) << "the held segment alone";
    EXPECT_EQ(qGreen(Segment(meter.grab().toImage(), 9)), 255) << "the tenth segment, lit";
    meter.Tick();
    EXPECT_EQ(meter.Peak(0), 45) << "then it falls a segment a tick";
    meter.SetData(0, 48);
    EXPECT_EQ(meter.Peak(0), 48) << "a level in the held segment holds it again";
    for (int tick = 0; tick < holdTicks + 10; ++tick) {
        meter.Tick();
    }
    EXPECT_EQ(meter.Peak(0), 0);
    EXPECT_EQ(LitOnScreen(), 0);
}

TEST_F(PeakMeterTest, AFullScaleLevelLatchesTheTopSegmentRedUntilClicked) {
    meter.SetData(0, 69);
    EXPECT_FALSE(meter.Clipped(0));
    meter.SetData(0, 200);
    EXPECT_TRUE(meter.Clipped(0));
    meter.SetData(0, 0);
    for (int tick = 0; tick < 100; ++tick) {
        meter.Tick();
    }
    EXPECT_EQ(meter.Peak(0), 0);
    const QRgb top = Segment(meter.grab().toImage(), 13);
    EXPECT_EQ(top, qRgb(255, 0, 0)) << "still latched";
    EXPECT_EQ(meter.ToolTipText(0), "Level 0 of 70\nReached full scale: click to clear the red mark");
    QTest::mouseClick(&meter, Qt::LeftButton);
    EXPECT_FALSE(meter.Clipped(0));
    EXPECT_EQ(Segment(meter.grab().toImage(), 13), qRgb(128, 2, 2)) << "unlit red again";
}

TEST_F(PeakMeterTest, TheTooltipTellsLevelAndPeakInTheMetersUnitsInBothLanguages) {
    meter.SetData(0, 40);
    meter.SetData(0, 20);
    EXPECT_EQ(meter.ToolTipText(0), "Level 20 of 70, peak 40");
    meter.SetLanguage(0);
    EXPECT_EQ(meter.ToolTipText(0), "电平 20 / 70，峰值 40");
}

}  // namespace
}  // namespace varnoth
