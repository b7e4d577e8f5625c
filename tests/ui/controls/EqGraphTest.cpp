// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <cmath>
#include <limits>
#include <vector>

#include "ui/controls/EqGraph.h"

namespace varnoth {
namespace {

struct Notice {
    int index;
    float freq, gain, q;
};

// A panel at the graphic EQ's size, painted once so that the handles have their positions, with every
// notification recorded as the owner would read it.
class EqPanelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        panel.resize(787, 195);
        panel.SetWheelClock([this] { return now; });
        QObject::connect(&panel, &EqGraph::pointChanged, [this](const EqPoint& p, int id) {
            EXPECT_EQ(id, 1015);
            changed.push_back({p.index, p.freq, p.gain, p.q});
        });
        QObject::connect(&panel, &EqGraph::pointSelected, [this](const EqPoint& p, int) {
            selected.push_back({p.index, p.freq, p.gain, p.q});
        });
    }
    void Parametric() {
        panel.SetScaleMode(1);
        panel.SetSelected(-1);
        panel.SetPointCount(4);
    }
    // Client position of a band's handle as hit testing sees it.
    QPoint HandleOf(int i) {
        (void)panel.grab();
        return QPoint(panel.Point(i).x + 36, panel.Point(i).y + 16);
    }
    void Move(QPoint to, Qt::MouseButtons buttons) {
        QMouseEvent move(QEvent::MouseMove, to, panel.mapToGlobal(to), Qt::NoButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(&panel, &move);
    }

    // A wheel turn of delta (120 a notch) over a client position; whether the graph took it.
    bool Wheel(QPoint at, int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWheelEvent wheel(at, panel.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&panel, &wheel);
        return wheel.isAccepted();
    }

    EqGraph panel{nullptr, 1015};
    // The wheel's clock, in milliseconds: notches come only as fast as a test moves it on.
    qint64 now = 0;
    std::vector<Notice> changed;
    std::vector<Notice> selected;
};

TEST_F(EqPanelTest, LayoutsMatchTheGraphicAndParametricEqs) {
    EXPECT_EQ(panel.PointCount(), 10);
    EXPECT_EQ(panel.Selected(), -1);
    EXPECT_FLOAT_EQ(panel.Point(0).freq, 31.0f);
    EXPECT_FLOAT_EQ(panel.Point(9).minFreq, 12000.0f);
    EXPECT_FLOAT_EQ(panel.Point(9).maxGain, 14.0f);
    EXPECT_FLOAT_EQ(panel.Point(3).q, 1.414f);
    Parametric();
    const int types[] = {EQ_TYPE_LOWSHELF, EQ_TYPE_PEAK, EQ_TYPE_PEAK, EQ_TYPE_HIGHSHELF};
    const float freqs[] = {500, 900, 2300, 5000};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(panel.Point(i).type, types[i]) << "band " << i;
        EXPECT_FLOAT_EQ(panel.Point(i).freq, freqs[i]) << "band " << i;
        EXPECT_EQ(panel.Point(i).index, i);
    }
    EXPECT_FLOAT_EQ(panel.Point(3).maxFreq, 15000.0f);
}

TEST_F(EqPanelTest, GraphicDragChangesGainOnlyAndNotifiesEachStepAndTheEnd) {
    const QPoint start = HandleOf(5);
    QTest::mousePress(&panel, Qt::LeftButton, Qt::NoModifier, start);
    ASSERT_EQ(panel.Selected(), 5);
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0].index, 5);

    const QPoint to = start + QPoint(80, -35);
    Move(to, Qt::LeftButton);
    const double h = 195 - 20 - 14;
    const double expected = 15.0 - (panel.Point(5).y + (to.y() - start.y())) / h * 30.0;
    EXPECT_FLOAT_EQ(panel.Point(5).freq, 1000.0f);
    EXPECT_NEAR(panel.Point(5).gain, expected, 0.2);
    EXPECT_GT(panel.Point(5).gain, 5.0f);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_FLOAT_EQ(changed[0].gain, panel.Point(5).gain);

    Move(start + QPoint(0, -400), Qt::LeftButton);
    EXPECT_FLOAT_EQ(panel.Point(5).gain, 14.0f) << "held at maxGain";
    QTest::mouseRelease(&panel, Qt::LeftButton, Qt::NoModifier, start + QPoint(0, -400));
    EXPECT_EQ(changed.size(), 3u) << "two moves and the release";
    EXPECT_EQ(panel.Selected(), 5) << "the selection outlives the drag";
    EXPECT_NEAR(panel.Point(5).response[301], 14.0f, 1e-3) << "response follows the new gain";
}

TEST_F(EqPanelTest, ParametricDragMovesFrequencyWithinItsLimits) {
    Parametric();
    const QPoint start = HandleOf(1);
    QTest::mousePress(&panel, Qt::LeftButton, Qt::NoModifier, start);
    Move(start + QPoint(-500, 0), Qt::LeftButton);
    EXPECT_FLOAT_EQ(panel.Point(1).freq, 110.0f);
    Move(start + QPoint(30, 0), Qt::LeftButton);
    EXPECT_GT(panel.Point(1).freq, 900.0f);
    EXPECT_LT(panel.Point(1).freq, 1800.0f);
    QTest::mouseRelease(&panel, Qt::LeftButton, Qt::NoModifier, start);
}

TEST_F(EqPanelTest, RightDragEditsQOfPeakingBandsInScaleModeOneOnly) {
    Parametric();
    QPoint start = HandleOf(0);
    QTest::mousePress(&panel, Qt::RightButton, Qt::NoModifier, start);
    EXPECT_EQ(panel.Selected(), 0);
    Move(start + QPoint(80, 0), Qt::RightButton);
    EXPECT_FLOAT_EQ(panel.Point(0).q, 1.0f) << "a shelf's slope is not dragged";
    EXPECT_TRUE(changed.empty());
    QTest::mouseRelease(&panel, Qt::RightButton, Qt::NoModifier, start);

    changed.clear();
    start = HandleOf(2);
    QTest::mousePress(&panel, Qt::RightButton, Qt::NoModifier, start);
    Move(start + QPoint(40, 0), Qt::RightButton);
    Move(start + QPoint(60, 0), Qt::RightButton);
    EXPECT_NEAR(panel.Point(2).q, 2.5f, 1e-5);
    EXPECT_FLOAT_EQ(panel.Point(2).freq, 2300.0f) << "a right drag leaves the frequency";
    Move(start + QPoint(-2000, 0), Qt::RightButton);
    EXPECT_FLOAT_EQ(panel.Point(2).q, 1.0f);
    QTest::mouseRelease(&panel, Qt::RightButton, Qt::NoModifier, start);
    EXPECT_EQ(changed.size(), 4u);

    panel.SetScaleMode(0);
    changed.clear();
    start = HandleOf(2);
    QTest::mousePress(&panel, Qt::RightButton, Qt::NoModifier, start);
    Move(start + QPoint(80, 0), Qt::RightButton);
    EXPECT_FLOAT_EQ(panel.Point(2).q, 1.0f) << "scale mode 0 shows no Q";
    EXPECT_TRUE(changed.empty());
    QTest::mouseRelease(&panel, Qt::RightButton, Qt::NoModifier, start);
}

TEST_F(EqPanelTest, ArrowKeysStepTheSelectedGainAndNotifyEvenAtTheLimit) {
    QTest::keyClick(&panel, Qt::Key_Up);
    EXPECT_TRUE(changed.empty()) << "nothing selected";

    QTest::mousePress(&panel, Qt::LeftButton, Qt::NoModifier, HandleOf(2));
    QTest::mouseRelease(&panel, Qt::LeftButton, Qt::NoModifier, HandleOf(2));
    changed.clear();
    panel.Point(2).gain = 13.0f;
    QTest::keyClick(&panel, Qt::Key_Up);
    QTest::keyClick(&panel, Qt::Key_Up);
    ASSERT_EQ(changed.size(), 2u);
    EXPECT_FLOAT_EQ(changed[0].gain, 14.0f);
    EXPECT_FLOAT_EQ(changed[1].gain, 14.0f) << "Up at maxGain stays there but still notifies";
    QTest::keyClick(&panel, Qt::Key_Down);
    EXPECT_FLOAT_EQ(panel.Point(2).gain, 13.0f);
    QTest::keyClick(&panel, Qt::Key_A);
    EXPECT_EQ(changed.size(), 3u) << "other keys change nothing";
}

TEST_F(EqPanelTest, PressInEmptySpaceDeselectsWithoutNotifying) {
    QTest::mousePress(&panel, Qt::LeftButton, Qt::NoModifier, HandleOf(4));
    QTest::mouseRelease(&panel, Qt::LeftButton, Qt::NoModifier, HandleOf(4));
    ASSERT_EQ(panel.Selected(), 4);
    const std::size_t before = changed.size();
    QTest::mousePress(&panel, Qt::LeftButton, Qt::NoModifier, QPoint(760, 20));
    EXPECT_EQ(panel.Selected(), -1);
    EXPECT_EQ(selected.size(), 1u);
    QTest::mouseRelease(&panel, Qt::LeftButton, Qt::NoModifier, QPoint(760, 20));
    EXPECT_EQ(changed.size(), before) << "a release without a band sends nothing";
}

TEST_F(EqPanelTest, OffPanelStillPicksBandsAtTheirLastPositions) {
    const QPoint at = HandleOf(7);
    panel.SetOff(true);
    (void)panel.grab();
    QTest::mousePress(&panel, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(panel.Selected(), 7);
    EXPECT_EQ(selected.size(), 1u);
    QTest::mouseRelease(&panel, Qt::LeftButton, Qt::NoModifier, at);
}

TEST_F(EqPanelTest, ValuesBeyondTheAxesStillPaintAndPlaceTheCurve) {
    panel.Point(0).freq = 1.0e30f;
    panel.Point(0).gain = std::numeric_limits<float>::quiet_NaN();
    panel.Point(1).freq = 2.0f;
    panel.Point(1).gain = 40.0f;
    panel.CalcResponse(panel.Point(1));
    panel.SetSelected(1);
    EXPECT_FALSE(panel.grab().isNull());
    EXPECT_NEAR(panel.Point(1).response[0], 40.0f, 1e-3) << "centre clamped onto the first column";
}

TEST(EqPanelInfo, InfoLineTextsInBothLanguages) {
    EqPoint p;
    p.index = 1;
    p.freq = 900.4f;
    p.q = 2.3f;
    p.gain = -6.5f;
    struct Case {
        int scaleMode, language, index;
        const char* text;
    };
    const Case cases[] = {
        {0, 1, 1, "Index=2 Frequency=900Hz Gain="},
        {0, 0, 1, "控制号=2    频率=900Hz     增益="},
        {1, 1, 1, "Index=2 Frequency=900Hz Q=2.300  Gain="},
        {1, 0, 2, "控制号=3 频率=900Hz Q值=2.3(右键选中左右移动)  增益="},
        {1, 1, 0, "Index=1 Frequency=900Hz  Gain="},
        {1, 0, 3, "控制号=4 频率=900Hz 增益="},
    };
    for (const Case& c : cases) {
        p.index = c.index;
        EXPECT_EQ(EqGraph::InfoText(p, c.scaleMode, c.language).toStdString(), c.text);
    }
    EXPECT_EQ(EqGraph::InfoGainText(p, 0).toStdString(), "-6dB ");
    EXPECT_EQ(EqGraph::InfoGainText(p, 1).toStdString(), "-6.5dB ");
}

TEST(EqPanelInfo, GainColoursFollowTheTruncatedGain) {
    struct Case {
        float gain;
        QColor colour;
    };
    const Case cases[] = {
        {6.9f, QColor(123, 209, 0)},   {-6.0f, QColor(123, 209, 0)}, {7.0f, QColor(200, 160, 0)},
        {-10.5f, QColor(200, 160, 0)}, {11.0f, QColor(255, 0, 0)},   {-14.0f, QColor(255, 0, 0)},
        {-15.0f, QColor(0, 0, 0, 0)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EqGraph::InfoGainColor(c.gain), c.colour) << "gain " << c.gain;
    }
}

// The wheel over a handle and the keys on the selected band: which band, which field, what value.
TEST_F(EqPanelTest, WheelAndKeysStepTheAddressedBandsField) {
    enum Field { Gain, Freq, Q, Nothing };
    struct Case {
        const char* what;
        bool parametric;
        int band;
        int wheel;  // a wheel turn over the band, or 0 for a key on the band selected
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        Field field;
        float value;
    };
    const float upSemitone = 900.0f * static_cast<float>(std::pow(2.0, 1.0 / 12));
    const float downFine = 900.0f * static_cast<float>(std::pow(2.0, -1.0 / 48));
    const Case cases[] = {
        {"wheel up", false, 3, 120, {}, Qt::NoModifier, Gain, 1.0f},
        {"wheel down two notches", false, 3, -240, {}, Qt::NoModifier, Gain, -2.0f},
        {"Ctrl+wheel on whole dB", false, 3, 120, {}, Qt::ControlModifier, Gain, 1.0f},
        {"Shift+wheel: no Q here", false, 3, 120, {}, Qt::ShiftModifier, Nothing, 0},
        {"PEQ wheel up", true, 1, 120, {}, Qt::NoModifier, Gain, 1.0f},
        {"PEQ Ctrl+wheel", true, 1, 120, {}, Qt::ControlModifier, Gain, 0.2f},
        {"PEQ Shift+wheel", true, 2, 120, {}, Qt::ShiftModifier, Q, 1.5f},
        {"PEQ Ctrl+Shift+wheel", true, 2, 120, {}, Qt::ShiftModifier | Qt::ControlModifier, Q, 1.15f},
        {"PEQ Shift+wheel on a shelf", true, 0, 120, {}, Qt::ShiftModifier, Nothing, 0},
        {"PEQ Down", true, 1, 0, Qt::Key_Down, Qt::NoModifier, Gain, -1.0f},
        {"PEQ Ctrl+Up", true, 1, 0, Qt::Key_Up, Qt::ControlModifier, Gain, 0.2f},
        {"PEQ Shift+Right", true, 1, 0, Qt::Key_Right, Qt::ShiftModifier, Freq, upSemitone},
        {"PEQ Ctrl+Shift+Left", true, 1, 0, Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier, Freq,
         downFine},
        {"Shift+Right on a fixed band", false, 4, 0, Qt::Key_Right, Qt::ShiftModifier, Freq, 500.0f},
    };
    for (const Case& c : cases) {
        if (c.parametric) {
            Parametric();
        } else {
            panel.SetScaleMode(0);
            panel.SetPointCount(10);
        }
        panel.SetSelected(c.wheel != 0 ? -1 : c.band);
        const QPoint at = HandleOf(c.band);
        changed.clear();
        selected.clear();
        if (c.wheel != 0) {
            EXPECT_TRUE(Wheel(at, c.wheel, c.modifiers)) << c.what;
            EXPECT_EQ(panel.Selected(), c.band) << c.what << ": the wheel picks the band it turns";
            ASSERT_EQ(selected.size(), 1u) << c.what;
        } else {
            QTest::keyClick(&panel, c.key, c.modifiers);
        }
        if (c.field == Nothing) {
            EXPECT_TRUE(changed.empty()) << c.what;
            continue;
        }
        ASSERT_EQ(changed.size(), 1u) << c.what;
        EXPECT_EQ(changed[0].index, c.band) << c.what;
        const float value = c.field == Gain   ? changed[0].gain
                            : c.field == Freq ? changed[0].freq
                                              : changed[0].q;
        EXPECT_NEAR(value, c.value, 1e-3) << c.what;
    }
}

TEST_F(EqPanelTest, WheelHalfNotchesAddUpAndTheWheelElsewhereIsLeftToTheWindow) {
    const QPoint at = HandleOf(6);
    EXPECT_TRUE(Wheel(at, 60));
    EXPECT_TRUE(changed.empty()) << "half a notch of a fine wheel";
    EXPECT_TRUE(Wheel(at, 60));
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_FLOAT_EQ(changed[0].gain, 1.0f);
    EXPECT_FALSE(Wheel(QPoint(760, 20), 120)) << "no handle there: the window may scroll";
    EXPECT_EQ(changed.size(), 1u);
}

// Two bands share a spot; the wheel picks the first and moves it away. Its notches keep turning it although
// its handle has left the pointer and the other band's handle is now the one under it; a pause or a move of
// the pointer lets the wheel pick by what is under the pointer again.
TEST_F(EqPanelTest, AWheelGestureKeepsTheBandItBeganOnUntilAPauseOrAPointerMove) {
    struct Case {
        const char* what;
        qint64 pauseMs;
        bool pointerMoves;
        int turned;  // the band the next notch turns
    };
    const Case cases[] = {
        {"the next notch of the run", 100, false, 1},
        {"a notch after a pause", WheelGesture::kPauseMs + 100, false, 2},
        {"a notch after the pointer moved", 100, true, 2},
    };
    for (const Case& c : cases) {
        Parametric();
        for (const int band : {1, 2}) {
            panel.Point(band).freq = 900.0f;
            panel.Point(band).gain = 6.0f;
        }
        const QPoint at = HandleOf(1);
        changed.clear();
        constexpr int kNotches = 12;
        for (int notch = 0; notch < kNotches; ++notch) {
            now += 40;
            EXPECT_TRUE(Wheel(at, -120)) << c.what << ", notch " << notch;
            (void)panel.grab();  // the handle moves as the window repaints between notches
        }
        ASSERT_FALSE(panel.HandleRect(1).contains(at)) << c.what << ": the turned handle left the pointer";
        ASSERT_TRUE(panel.HandleRect(2).contains(at)) << c.what << ": the other band is under the pointer";
        ASSERT_EQ(changed.size(), static_cast<std::size_t>(kNotches)) << c.what;
        for (const Notice& n : changed) {
            EXPECT_EQ(n.index, 1) << c.what << ": a notch of the run went to band " << n.index + 1;
        }
        EXPECT_FLOAT_EQ(panel.Point(1).gain, 6.0f - kNotches) << c.what;
        EXPECT_FLOAT_EQ(panel.Point(2).gain, 6.0f) << c.what;

        now += c.pauseMs;
        QPoint next = at;
        if (c.pointerMoves) {
            next += QPoint(1, 0);
            Move(next, Qt::NoButton);
        }
        changed.clear();
        EXPECT_TRUE(Wheel(next, -120)) << c.what;
        ASSERT_EQ(changed.size(), 1u) << c.what;
        EXPECT_EQ(changed[0].index, c.turned) << c.what;
        now += WheelGesture::kPauseMs + 1;
    }
}

// Placing the selected band's label: whichever band is selected in a crowded layout, its label lies in the
// plot and covers neither its own handle nor any other.
TEST_F(EqPanelTest, TheSelectedBandsLabelCoversNoHandle) {
    struct Layout {
        const char* what;
        bool parametric;
        std::vector<std::pair<float, float>> bands;  // frequency and gain; a graphic band keeps its frequency
    };
    const Layout layouts[] = {
        {"a column at one frequency", true, {{900, 9}, {900, 3}, {900, -3}, {900, -9}}},
        {"a row on the zero line", true, {{500, 0}, {700, 0}, {900, 0}, {1000, 0}}},
        {"a cluster in the top left corner", true, {{80, 12}, {110, 9}, {240, 12}, {500, 12}}},
        {"a cluster in the bottom right corner", true, {{1000, -12}, {1800, -12}, {5500, -12}, {15000, -12}}},
        {"a ring", true, {{600, 0}, {900, 0}, {1350, 0}, {900, -7}}},
        {"a diagonal", true, {{700, -6}, {900, -2}, {1200, 2}, {1500, 6}}},
        {"graphic bands on the zero line", false, {}},
        {"graphic bands in a zigzag",
         false,
         {{0, 6}, {0, -6}, {0, 6}, {0, -6}, {0, 6}, {0, -6}, {0, 6}, {0, -6}, {0, 6}, {0, -6}}},
        {"graphic bands at the top",
         false,
         {{0, 14}, {0, 14}, {0, 12}, {0, 14}, {0, 13}, {0, 14}, {0, 14}, {0, 12}, {0, 14}, {0, 14}}},
        {"graphic bands at the bottom",
         false,
         {{0, -14},
          {0, -10},
          {0, -14},
          {0, -10},
          {0, -14},
          {0, -10},
          {0, -14},
          {0, -10},
          {0, -14},
          {0, -10}}},
    };
    for (const Layout& layout : layouts) {
        if (layout.parametric) {
            panel.resize(404, 161);  // the parametric graph's size in the window
            Parametric();
        } else {
            panel.resize(787, 195);
            panel.SetScaleMode(0);
            panel.SetPointCount(10);
        }
        for (std::size_t band = 0; band < layout.bands.size(); ++band) {
            EqPoint& point = panel.Point(static_cast<int>(band));
            if (layout.parametric) {
                point.freq = layout.bands[band].first;
            }
            point.gain = layout.bands[band].second;
        }
        const QRect plot = panel.rect().adjusted(36, 14, -6, -20);
        for (int selected = 0; selected < panel.PointCount(); ++selected) {
            panel.SetSelected(selected);
            (void)panel.grab();
            const EqGraph::Label label = panel.SelectedLabel();
            ASSERT_FALSE(label.rect.isEmpty()) << layout.what << ", band " << selected + 1;
            EXPECT_TRUE(plot.contains(label.rect))
                << layout.what << ", band " << selected + 1 << ": the label leaves the plot";
            for (int band = 0; band < panel.PointCount(); ++band) {
                EXPECT_FALSE(label.rect.intersects(panel.HandleRect(band)))
                    << layout.what << ": the label of band " << selected + 1 << " covers the handle of band "
                    << band + 1;
            }
        }
    }
}

// A dragged band's label and the info line tell the values the owner takes it for, not those under the
// pointer; other bands and a band let go show their own.
TEST_F(EqPanelTest, ADraggedBandShowsTheValuesItIsTakenFor) {
    Parametric();
    panel.SetHeldValues([](const EqPoint& point) {
        EqPoint held = point;
        held.freq = std::floor(point.freq / 100.0f) * 100.0f;
        held.gain = std::floor(point.gain);
        return held;
    });
    const QPoint start = HandleOf(1);
    QTest::mousePress(&panel, Qt::LeftButton, Qt::NoModifier, start);
    Move(start + QPoint(9, -23), Qt::LeftButton);
    const EqPoint& point = panel.Point(1);
    ASSERT_NE(point.freq, std::floor(point.freq / 100.0f) * 100.0f) << "the pointer is between two steps";
    const QStringList held = {QString::asprintf("F:%.1fHz", std::floor(point.freq / 100.0) * 100.0),
                              QString::asprintf("G:%+.1fdB", std::floor(point.gain)),
                              QString::asprintf("Q:%.3f", static_cast<double>(point.q))};
    EXPECT_EQ(panel.SelectedLabel().lines, held);
    QTest::mouseRelease(&panel, Qt::LeftButton, Qt::NoModifier, start + QPoint(9, -23));
    EXPECT_EQ(panel.SelectedLabel().lines.front(),
              QString::asprintf("F:%.1fHz", static_cast<double>(point.freq)))
        << "let go, the band shows its own values until the owner sets them";
}

TEST_F(EqPanelTest, LeftAndRightPickBandsWithinTheGraphAndTabReachesIt) {
    QTest::keyClick(&panel, Qt::Key_Left);
    EXPECT_EQ(panel.Selected(), 9) << "nothing selected: Left picks the last band";
    QTest::keyClick(&panel, Qt::Key_Right);
    EXPECT_EQ(panel.Selected(), 9) << "no band after the last";
    panel.SetSelected(-1);
    QTest::keyClick(&panel, Qt::Key_Right);
    QTest::keyClick(&panel, Qt::Key_Right);
    EXPECT_EQ(panel.Selected(), 1);
    ASSERT_EQ(selected.size(), 3u);
    EXPECT_EQ(selected.back().index, 1);
    EXPECT_TRUE(changed.empty()) << "picking a band changes none";

    QWidget window;
    auto* field = new QLineEdit(&window);
    auto* graph = new EqGraph(&window, 1022);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Tab);
    EXPECT_TRUE(graph->hasFocus());
}

TEST_F(EqPanelTest, HoveringHighlightsAHandleAndItsTooltipTellsItsValuesInTheShownUnits) {
    Move(HandleOf(2), Qt::NoButton);
    EXPECT_EQ(panel.Hovered(), 2);
    Move(QPoint(760, 20), Qt::NoButton);
    EXPECT_EQ(panel.Hovered(), -1);

    EqPoint point;
    point.index = 1;
    point.freq = 900.0f;
    point.gain = -1.54f;
    point.q = 2.5f;
    EXPECT_EQ(EqGraph::ToolTipText(point, 1, 1), "Index=2 Frequency=900Hz Gain=-1.5dB Q=2.500");
    EXPECT_EQ(EqGraph::ToolTipText(point, 1, 0), "控制号=2 频率=900Hz 增益=-1.5dB Q值=2.500");
    EXPECT_EQ(EqGraph::ToolTipText(point, 0, 1), "Index=2 Frequency=900Hz Gain=-1dB") << "whole dB, no Q";
    point.type = EQ_TYPE_LOWSHELF;
    EXPECT_EQ(EqGraph::ToolTipText(point, 1, 1), "Index=2 Frequency=900Hz Gain=-1.5dB") << "a shelf has no Q";
}

TEST_F(EqPanelTest, TheMenuShiftsAllBandsAtOnceAndOpensOnARightClickWithoutADrag) {
    int menus = 0;
    QObject::connect(&panel, &EqGraph::menuAboutToShow, [&](QMenu* menu, int id) {
        EXPECT_EQ(id, 1015);
        menu->addAction("owner's");
        ++menus;
    });
    QSignalSpy several(&panel, &EqGraph::pointsChanged);
    panel.Point(0).gain = 14.0f;
    panel.Point(1).gain = -3.0f;
    const auto menu = panel.ContextMenu();
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), "Shift all bands +1 dB");
    EXPECT_EQ(actions[1]->text(), "Shift all bands -1 dB");
    EXPECT_EQ(actions[2]->text(), "owner's");
    actions[0]->trigger();
    EXPECT_FLOAT_EQ(panel.Point(0).gain, 14.0f) << "held at its limit";
    EXPECT_FLOAT_EQ(panel.Point(1).gain, -2.0f);
    EXPECT_FLOAT_EQ(panel.Point(9).gain, 1.0f);
    EXPECT_NEAR(panel.Point(9).response[463], 1.0f, 0.2) << "responses follow";
    EXPECT_EQ(several.count(), 1);
    EXPECT_TRUE(changed.empty()) << "one change of all bands, not ten";

    const auto closeMenu = [] {
        QTimer::singleShot(0, [] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                popup->close();
            }
        });
    };
    menus = 0;
    const QPoint at = HandleOf(2);
    closeMenu();
    QTest::mousePress(&panel, Qt::RightButton, Qt::NoModifier, at);
    QTest::mouseRelease(&panel, Qt::RightButton, Qt::NoModifier, at);
    EXPECT_EQ(menus, 1) << "a right click opens the menu";
    QTest::mousePress(&panel, Qt::RightButton, Qt::NoModifier, at);
    Move(at + QPoint(30, 0), Qt::RightButton);
    QTest::mouseRelease(&panel, Qt::RightButton, Qt::NoModifier, at + QPoint(30, 0));
    EXPECT_EQ(menus, 1) << "a right drag does not";
    closeMenu();
    QTest::keyClick(&panel, Qt::Key_Menu);
    EXPECT_EQ(menus, 2) << "the Menu key opens it";
}

}  // namespace
}  // namespace varnoth
