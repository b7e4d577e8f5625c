#include <gtest/gtest.h>

#include <QTest>
#include <QWheelEvent>
#include <vector>

#include "ui/controls/StepSlider.h"

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
    QTest::qWait(600);
    EXPECT_EQ(slider->value(), released) << "repeat stops with the button";
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

TEST_F(StepSliderTest, PressOnTheThumbCentreDoesNotMoveButNotifiesAndDrags) {
    Make(Qt::Vertical);
    const QRect thumb = slider->ThumbRect();
    const QPoint centre(thumb.center().x(), thumb.top() + (thumb.bottom() + 1 - thumb.top()) / 2);
    QTest::mousePress(slider.get(), Qt::LeftButton, Qt::NoModifier, centre);
    EXPECT_EQ(slider->value(), 64);
    EXPECT_EQ(messages.size(), 1u);
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

}  // namespace
}  // namespace varnoth
