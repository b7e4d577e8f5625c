// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QSlider>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>
#include <string>
#include <vector>

#include "../../device/TraceCapture.h"
#include "LayoutCheck.h"
#include "MainWindowFixture.h"
#include "PointerReach.h"
#include "ui/main/MainWindowTemplate.h"

namespace varnoth::test {
namespace {

using namespace mainwin;

// The register writes sent so far (report ID 2, opcode 9); the level poll's reads do not count.
int WritesIn(const TraceCapture& trace) {
    const std::vector<std::string> lines = trace.Lines();
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.rfind(">Write: 2 9 ", 0) == 0;
    }));
}

// The mouse as a hand holds it: every event goes to the widget Qt's hit-testing finds at the point, and
// from there, as Qt does, to its parents when that widget lets it pass.
class MainWindowPointer : public MainWindowTest {
  protected:
    QPoint CentreOf(int id) {
        QWidget& control = Ctl<QWidget>(id);
        ScrollIntoView(control);
        return control.mapTo(&Window(), control.rect().center());
    }

    // The widget under the point and the point in its own coordinates.
    std::pair<QWidget*, QPoint> Hit(QPoint inWindow) {
        QWidget* hit = WidgetUnderPointer(Window(), inWindow);
        return {hit, hit->mapFrom(&Window(), inWindow)};
    }

    void ClickAt(QPoint inWindow) {
        const auto [widget, at] = Hit(inWindow);
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
        Drain();
    }

    void DragAt(QPoint from, QPoint to) {
        const auto [widget, at] = Hit(from);
        QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, at);
        const QPoint end = widget->mapFrom(&Window(), to);
        for (int step = 1; step <= 8; ++step) {
            QTest::mouseMove(widget, at + (end - at) * step / 8);
        }
        QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, end);
        Drain();
    }

    void WheelAt(QPoint inWindow, int notches) {
        const auto [widget, at] = Hit(inWindow);
        QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(widget, &wheel);
        Drain();
    }

    // Waits until the trace holds more register writes than before.
    bool WritesAfter(const TraceCapture& trace, int before) {
        return QTest::qWaitFor([&] { return WritesIn(trace) > before; }, kDeadlineMs);
    }
};

// Every visible, enabled control takes the mouse at its centre: nothing drawn or undrawn lies over it, in
// either view, on every graphic EQ page and in either language.
TEST_F(MainWindowPointer, EveryControlIsReachedByThePointerInEveryViewAndLanguage) {
    for (const int language : {0, 1}) {
        OpenShown(language);
        for (const int view : {kMicViewButton, kMusicViewButton}) {
            Ctl<QAbstractButton>(view).click();
            for (const int page : {kMicPageButton, kMusicPageButton, kCenterPageButton, kSubPageButton}) {
                Ctl<QAbstractButton>(page).click();
                Drain();
                SCOPED_TRACE(testing::Message() << (language == 0 ? "Chinese" : "English") << ", view "
                                                << view << ", EQ page " << page);
                const std::vector<std::string> problems = ControlsOutOfReach(Window());
                EXPECT_TRUE(problems.empty()) << Lines(problems);
            }
        }
        Close();
    }
}

// The effects and the compressor, which lie in groups of their own inside a shared frame, take clicks,
// drags and the wheel as any other control: each gesture sends a write to the amplifier.
TEST_F(MainWindowPointer, ClicksDragsAndTheWheelReachTheEffectsAndTheCompressor) {
    OpenShown(1);
    TraceCapture trace;

    auto& list = Ctl<QComboBox>(kEffect1List);
    const int chosenBefore = list.currentIndex();
    ClickAt(CentreOf(kEffect1List));
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.view()->isVisible(); }, kDeadlineMs))
        << "a click on the effect's preset list opened no list";
    const QModelIndex entry = list.model()->index(chosenBefore == 0 ? 1 : 0, 0);
    QWidget* viewport = list.view()->viewport();
    int writes = WritesIn(trace);
    // An open list takes no release within a double click's time after it opened: the hand comes later.
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, list.view()->visualRect(entry).center());
    Drain();
    EXPECT_EQ(list.currentIndex(), entry.row()) << "the clicked entry was not chosen";
    EXPECT_TRUE(WritesAfter(trace, writes)) << "choosing an effect preset sent nothing";

    struct Gesture {
        const char* what;
        int slider;
        bool wheel;
    };
    // The compressor's sliders take edits while it is on.
    auto& compressor = Ctl<QCheckBox>(kCompressOnBox);
    const int clicks = compressor.isChecked() ? 2 : 1;
    for (int click = 0; click < clicks; ++click) {
        const bool wasOn = compressor.isChecked();
        writes = WritesIn(trace);
        ClickAt(CentreOf(kCompressOnBox));
        EXPECT_NE(compressor.isChecked(), wasOn) << "a click on the compressor's ON did not switch it";
        EXPECT_TRUE(WritesAfter(trace, writes)) << "switching the compressor sent nothing";
    }

    const Gesture gestures[] = {
        {"a wheel turn over effect 1's send", kEffect1SendSlider, true},
        {"a drag of effect 2's HPF", kEffect2SendSlider + 1, false},
        {"a wheel turn over effect 2's delay", kEffect2SendSlider + 4, true},
        {"a drag of the compressor's threshold", kThresholdSlider, false},
        {"a wheel turn over the compressor's ratio", kRatioSlider, true},
    };
    for (const Gesture& gesture : gestures) {
        SCOPED_TRACE(gesture.what);
        auto& slider = Ctl<QSlider>(gesture.slider);
        const int before = slider.value();
        writes = WritesIn(trace);
        const QPoint centre = CentreOf(gesture.slider);
        if (gesture.wheel) {
            // Towards the other end when the first turn found the slider at one.
            WheelAt(centre, -2);
            if (slider.value() == before) {
                WheelAt(centre, 2);
            }
        } else {
            const bool vertical = slider.orientation() == Qt::Vertical;
            const int reach = (vertical ? slider.height() : slider.width()) / 3;
            DragAt(centre, centre + (vertical ? QPoint(0, reach) : QPoint(reach, 0)));
        }
        EXPECT_NE(slider.value(), before) << "the slider did not move";
        EXPECT_TRUE(WritesAfter(trace, writes)) << "nothing was sent";
    }
}

}  // namespace
}  // namespace varnoth::test
