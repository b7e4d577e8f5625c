// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>

#include "ui/controls/GroupBox.h"
#include "ui/controls/ImageButton.h"

namespace varnoth {
namespace {

QImage Solid(QRgb colour) {
    QImage image(30, 18, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

class GdipButtonTest : public ::testing::Test {
  protected:
    GdipButtonTest() {
        button.resize(30, 18);
        button.SetImages(Solid(kStandard), Solid(kAlternate));
    }
    QRgb Pixel(int x, int y) { return button.grab().toImage().pixel(x, y); }

    static constexpr QRgb kStandard = qRgb(100, 50, 20);
    static constexpr QRgb kAlternate = qRgb(20, 60, 200);
    ImageButton button;
};

TEST_F(GdipButtonTest, LooksSwitchWithAltStateHoverAndPress) {
    EXPECT_EQ(button.CurrentLook(), ImageButton::Standard);
    EXPECT_EQ(Pixel(10, 10), kStandard);
    button.setDown(true);
    EXPECT_EQ(button.CurrentLook(), ImageButton::Pressed);
    EXPECT_EQ(Pixel(0, 0), kStandard) << "pressing the standard look shows no change";
    button.setDown(false);

    button.SetAltState(true);
    EXPECT_EQ(Pixel(10, 10), kAlternate);
    button.setDown(true);
    EXPECT_EQ(button.CurrentLook(), ImageButton::AlternatePressed);
    const QImage pressed = button.grab().toImage();
    EXPECT_NE(pressed.pixel(0, 0), kAlternate) << "the alternate picture moves one pixel down-right";
    EXPECT_EQ(pressed.pixel(1, 1), kAlternate);
    button.setDown(false);

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&button, &enter);
    EXPECT_TRUE(button.IsHover());
    EXPECT_EQ(button.CurrentLook(), ImageButton::AlternateHover);
    EXPECT_EQ(Pixel(10, 10), qRgb(34, 76, 223)) << "x1.05 + 0.05 of full scale";
    button.SetAltState(false);
    EXPECT_EQ(Pixel(10, 10), qRgb(118, 65, 34));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    EXPECT_EQ(button.CurrentLook(), ImageButton::Standard);
}

TEST_F(GdipButtonTest, BrightenedClampsAndKeepsAlpha) {
    QImage image(1, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(250, 0, 128, 77));
    const QRgb p = ImageButton::Brightened(image).pixel(0, 0);
    EXPECT_EQ(qRed(p), 255);
    EXPECT_EQ(qGreen(p), 13);
    EXPECT_EQ(qBlue(p), 147);
    EXPECT_EQ(qAlpha(p), 77);
}

TEST_F(GdipButtonTest, DoubleClickActsAsASecondPress) {
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(10, 10), button.mapToGlobal(QPointF(10, 10)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&button, &dbl);
    QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(GdipButtonTest, MissingPicturesLeaveTheButtonAsItWas) {
    EXPECT_FALSE(button.LoadImages(221, 9999));
    EXPECT_EQ(Pixel(10, 10), kStandard);
    EXPECT_TRUE(button.LoadImages(221, 225));
}

TEST(XPGroupBox, FrameColourAndCaptionTakenOnce) {
    GroupBox box;
    box.resize(120, 60);
    box.SetBorderColor(QColor(255, 180, 0));
    const QImage plain = box.grab().toImage();
    EXPECT_EQ(plain.pixel(60, 1), qRgb(255, 180, 0)) << "empty caption: frame at the top plus one pixel";
    box.setTitle(QStringLiteral("Mic"));
    (void)box.grab();
    EXPECT_EQ(box.Caption(), QStringLiteral(" Mic "));
    box.setTitle(QStringLiteral("Music"));
    (void)box.grab();
    EXPECT_EQ(box.Caption(), QStringLiteral(" Mic ")) << "the drawn caption is kept";
}

}  // namespace
}  // namespace varnoth
