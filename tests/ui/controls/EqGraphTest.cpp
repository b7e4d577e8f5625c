#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
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

    EqGraph panel{nullptr, 1015};
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
    QTest::keyClick(&panel, Qt::Key_Left);
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

}  // namespace
}  // namespace varnoth
