// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <cstdlib>
#include <vector>

#include "ui/controls/StepSlider.h"
#include "ui/controls/TrackSlider.h"

namespace varnoth {
namespace {

class StepSliderTest : public ::testing::Test {
  protected:
    void Make(Qt::Orientation orientation) {
        slider = std::make_unique<StepSlider>(orientation);
        slider->setRange(0, 127);
        slider->setValue(64);
        slider->resize(orientation == Qt::Vertical ? QSize(30, 300) : QSize(300, 30));
        slider->show();
        QObject::connect(slider.get(), &StepSlider::scrolled,
                         [this](StepSlider* s, StepSlider::ScrollMessage m) {
                             EXPECT_EQ(s, slider.get());
                             messages.push_back(m);
                         });
    }
    QPoint ThumbCentre() const { return slider->ThumbRect().center(); }
    // The auto-repeat's timer: its ticks are what a held button does over time.
    QTimer& Repeat() const {
        auto* timer = slider->findChild<QTimer*>(QStringLiteral("repeat"));
        EXPECT_NE(timer, nullptr) << "the slider has no repeat timer";
        return *timer;
    }

    std::unique_ptr<StepSlider> slider;
    std::vector<StepSlider::ScrollMessage> messages;
};

TEST_F(StepSliderTest, VerticalPressAboveStepsUpAtOnceAndRepeatsWhileHeld) {
    Make(Qt::Vertical);
    const QPoint above(15, 4);
    QTest::mousePress(slider.get(), Qt::LeftButton, Qt::NoModifier, above);
    EXPECT_EQ(slider->value(), 63) << "minimum at the top: one step up is one less";
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], StepSlider::VScroll);
    EXPECT_FALSE(slider->isSliderDown());
    EXPECT_TRUE(QTest::qWaitFor([&] { return slider->value() <= 60; }, 10000)) << "auto-repeat while held";
    QTest::mouseRelease(slider.get(), Qt::LeftButton, Qt::NoModifier, above);
    const int released = slider->value();
    EXPECT_FALSE(Repeat().isActive()) << "repeat stops with the button";
    QCoreApplication::processEvents();
    EXPECT_EQ(slider->value(), released) << "the slider moved after the release";
}

TEST_F(StepSliderTest, SingleClicksStepTowardThePointerOnBothAxes) {
    struct Case {
        Qt::Orientation orientation;
        QPoint offset;
        int expected;
        StepSlider::ScrollMessage message;
    };
    const Case cases[] = {
        {Qt::Vertical, QPoint(0, 60), 65, StepSlider::VScroll},
        {Qt::Vertical, QPoint(0, -60), 63, StepSlider::VScroll},
        {Qt::Horizontal, QPoint(60, 0), 65, StepSlider::HScroll},
        {Qt::Horizontal, QPoint(-60, 0), 63, StepSlider::HScroll},
    };
    for (const Case& c : cases) {
        Make(c.orientation);
        messages.clear();
        const QPoint at = ThumbCentre() + c.offset;
        QTest::mouseClick(slider.get(), Qt::LeftButton, Qt::NoModifier, at);
        EXPECT_EQ(slider->value(), c.expected) << "offset " << c.offset.x() << "," << c.offset.y();
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages.front(), c.message);
    }
}

TEST_F(StepSliderTest, PressOnTheThumbCentreNeitherMovesNorReportsButDrags) {
    Make(Qt::Vertical);
    const QRect thumb = slider->ThumbRect();
    const QPoint centre(thumb.center().x(), thumb.top() + (thumb.bottom() + 1 - thumb.top()) / 2);
    QTest::mousePress(slider.get(), Qt::LeftButton, Qt::NoModifier, centre);
    EXPECT_EQ(slider->value(), 64);
    EXPECT_TRUE(messages.empty()) << "nothing moved, so nothing is reported";
    EXPECT_TRUE(slider->isSliderDown()) << "a normal thumb drag";
    QTest::mouseRelease(slider.get(), Qt::LeftButton, Qt::NoModifier, centre);
}

TEST_F(StepSliderTest, WheelStepsOnceAndAlwaysReportsVertical) {
    Make(Qt::Horizontal);
    const QPoint at = ThumbCentre();
    const auto wheel = [&](int delta) {
        QWheelEvent event(at, slider->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(slider.get(), &event);
    };
    wheel(-120);
    EXPECT_EQ(slider->value(), 65) << "towards the user is one step up";
    wheel(120);
    wheel(120);
    EXPECT_EQ(slider->value(), 63);
    ASSERT_EQ(messages.size(), 3u);
    for (auto m : messages) {
        EXPECT_EQ(m, StepSlider::VScroll);
    }
}

TEST_F(StepSliderTest, ProgrammaticMovesAreNotReported) {
    Make(Qt::Horizontal);
    slider->setValue(10);
    EXPECT_TRUE(messages.empty());
}

// A key or a thumb press that cannot move the slider must not leave a report behind for the next value
// the program sets (a refresh, a narrower range).
TEST_F(StepSliderTest, AnActionThatMovesNothingLeavesNoReportForTheNextProgrammaticChange) {
    Make(Qt::Horizontal);
    slider->setValue(127);
    slider->setFocus();
    QTest::keyClick(slider.get(), Qt::Key_Right);
    QTest::keyClick(slider.get(), Qt::Key_End);
    const QPoint thumb = ThumbCentre();
    QTest::mousePress(slider.get(), Qt::LeftButton, Qt::NoModifier, thumb);
    QTest::mouseRelease(slider.get(), Qt::LeftButton, Qt::NoModifier, thumb);
    EXPECT_TRUE(messages.empty());
    slider->setValue(5);
    slider->setRange(0, 3);
    EXPECT_TRUE(messages.empty()) << "programmatic changes after a futile action were reported as user moves";
    QTest::keyClick(slider.get(), Qt::Key_Left);
    EXPECT_EQ(slider->value(), 2);
    EXPECT_EQ(messages.size(), 1u) << "a key that moves the slider is reported once";
}

TEST_F(StepSliderTest, OnlyTheLeftButtonActsOnStepAndPlainSliders) {
    Make(Qt::Horizontal);
    TrackSlider plain(Qt::Horizontal);
    plain.setRange(0, 36);
    plain.resize(300, 30);
    plain.show();
    int plainMoves = 0;
    QObject::connect(&plain, &TrackSlider::userMoved, [&] { ++plainMoves; });
    for (QSlider* s : {static_cast<QSlider*>(slider.get()), static_cast<QSlider*>(&plain)}) {
        const int before = s->value();
        for (const Qt::MouseButton button : {Qt::MiddleButton, Qt::RightButton}) {
            QTest::mouseClick(s, button, Qt::NoModifier, QPoint(s->width() - 3, s->height() / 2));
        }
        EXPECT_EQ(s->value(), before) << "a middle or right click moved the slider";
    }
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(plainMoves, 0);
}

TEST_F(StepSliderTest, HoldingOnTheGrooveStopsWhereTheThumbReachesThePointer) {
    Make(Qt::Horizontal);
    slider->setRange(0, 10);
    slider->setValue(0);
    // Far enough that the thumb's centre passes the pointer between two positions.
    const int pitch = (slider->width() - slider->ThumbRect().width()) / 10;
    const QPoint at = ThumbCentre() + QPoint(3 * pitch + pitch / 3, 0);
    QTest::mousePress(slider.get(), Qt::LeftButton, Qt::NoModifier, at);
    std::vector<int> seen{slider->value()};
    // Connected after the slider's own tick, so each sample follows a tick's step.
    const QMetaObject::Connection sampling =
        QObject::connect(&Repeat(), &QTimer::timeout, [&] { seen.push_back(slider->value()); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.size() > 10; }, 10000)) << "the repeat stopped ticking";
    QObject::disconnect(sampling);
    QTest::mouseRelease(slider.get(), Qt::LeftButton, Qt::NoModifier, at);
    for (std::size_t i = 1; i < seen.size(); ++i) {
        EXPECT_GE(seen[i], seen[i - 1]) << "the thumb went back at tick " << i;
    }
    EXPECT_TRUE(slider->ThumbRect().contains(at)) << "stopped at " << seen.back();
}

// Vertical sliders have their minimum position at the top but stand for values growing upwards: the groove
// fills from the bottom up to the thumb, like a fader.
TEST_F(StepSliderTest, TheGrooveFillsFromTheEndOfTheLowestValue) {
    for (const Qt::Orientation orientation : {Qt::Vertical, Qt::Horizontal}) {
        Make(orientation);
        const bool vertical = orientation == Qt::Vertical;
        slider->setValue(vertical ? 100 : 27);  // a low value: a short fill
        const QImage image = slider->grab().toImage();
        const QRect thumb = slider->ThumbRect();
        const QPoint low =
            vertical ? QPoint(thumb.center().x(), slider->height() - 8) : QPoint(8, thumb.center().y());
        const QPoint high =
            vertical ? QPoint(thumb.center().x(), 8) : QPoint(slider->width() - 8, thumb.center().y());
        const QColor highlight = slider->palette().color(QPalette::Highlight);
        const auto distance = [&](QPoint p) {
            const QColor c = image.pixelColor(p);
            return std::abs(c.red() - highlight.red()) + std::abs(c.green() - highlight.green()) +
                   std::abs(c.blue() - highlight.blue());
        };
        EXPECT_LT(distance(low), distance(high))
            << (vertical ? "vertical" : "horizontal") << ": the fill is not at the low end";
    }
}

}  // namespace
}  // namespace varnoth
