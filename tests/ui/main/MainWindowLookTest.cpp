// SPDX-License-Identifier: GPL-3.0-or-later
#include <QColor>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>

#include "MainWindowFixture.h"
#include "ui/controls/EqGraph.h"
#include "ui/controls/GroupBox.h"
#include "ui/controls/ImageButton.h"
#include "ui/controls/LevelMeter.h"
#include "ui/main/ColourLabel.h"

namespace varnoth::test {
namespace {

using MainWindowLook = MainWindowTest;

QColor Colour(int r, int g, int b) {
    return QColor(r, g, b);
}

TEST_F(MainWindowLook, ControlsStartAsTheirInitialisationSetsThem) {
    Open("normal", 1, [this](VirtualAmp&) { Provider().Unplug(); });
    for (const int id : {1106, 1103, 1104, 1105}) {
        EXPECT_EQ(Ctl<QSlider>(id).maximum(), 36) << id;
        EXPECT_EQ(Ctl<QSlider>(id).tickInterval(), 2) << id;
    }
    for (int id = 2100; id <= 2123; ++id) {
        const int maximum = id == 2119 ? 255 : id == 2120 ? 99 : 127;
        EXPECT_EQ(Ctl<QSlider>(id).maximum(), maximum) << id;
        EXPECT_EQ(Ctl<QSlider>(id).tickInterval(), 12) << id;
    }
    for (const int id : {1109, 1110}) {
        EXPECT_EQ(Ctl<LevelMeter>(id).Bands(), 1);
        EXPECT_EQ(Ctl<LevelMeter>(id).LedCount(), 14);
        EXPECT_TRUE(Ctl<LevelMeter>(id).IsRunning());
    }
    for (const int id : {1159, 1154, 1163}) {
        EXPECT_EQ(Ctl<GroupBox>(id).BorderColor(), Colour(255, 180, 0)) << id;
    }
    auto& peq = Ctl<EqGraph>(1022);
    EXPECT_EQ(peq.PointCount(), 4);
    EXPECT_EQ(peq.ScaleMode(), 1);
    EXPECT_EQ(peq.Selected(), -1);
    EXPECT_EQ(Ctl<EqGraph>(1015).PointCount(), 10);
    for (const int id : {1000, 1001, 1002, 1003, 1020, 1023, 1097, 1098, 1099, 1100}) {
        EXPECT_TRUE(Ctl<ImageButton>(id).HasAltImage()) << id;
    }
    EXPECT_TRUE(Ctl<QPushButton>(1041).isHidden()) << "the settings button is never shown";
    // Tooltips are in the window's language.
    EXPECT_EQ(Ctl<QPushButton>(1019).toolTip(), "Change the language");
    EXPECT_EQ(Ctl<QSlider>(1105).toolTip(), "Subwoofer master volume");
    EXPECT_EQ(Ctl<QLabel>(1075).toolTip(), "How far the subwoofer falls while the mic is in use");
    EXPECT_EQ(Text(1017), "Disconnect");
    EXPECT_EQ(Ctl<ColourLabel>(1017).TextColour(), Colour(255, 0, 0));
}

TEST_F(MainWindowLook, TextColoursFollowTheConnectionTheViewAndTheVolume) {
    OpenSynchronised();
    EXPECT_EQ(Ctl<ColourLabel>(1017).TextColour(), Colour(0, 255, 0));
    EXPECT_EQ(Ctl<ColourLabel>(SliderOf("InputGain_Mic").valueLabel).TextColour(), Colour(220, 100, 36));
    EXPECT_EQ(Ctl<ColourLabel>(1055).TextColour(), Colour(220, 100, 36));
    Ctl<QAbstractButton>(1023).click();
    EXPECT_EQ(Ctl<ColourLabel>(SliderOf("InputGain_Mic").valueLabel).TextColour(), Colour(87, 184, 35))
        << "music view";
    EXPECT_EQ(Ctl<ColourLabel>(1054).TextColour(), Colour(87, 184, 35));
    EXPECT_EQ(Ctl<ColourLabel>(SliderOf("EffectLevel.0").valueLabel).TextColour(), Colour(220, 100, 36))
        << "effects keep their colour";
    EXPECT_EQ(Ctl<ColourLabel>(SliderOf("SubFrequency").valueLabel).TextColour(), Colour(87, 184, 35))
        << "subwoofer";
    EXPECT_EQ(Ctl<ColourLabel>(1049).TextColour(), Colour(255, 0, 0)) << "page title";
    EXPECT_EQ(Ctl<ColourLabel>(1028).TextColour(), Colour(103, 120, 160)) << "volume name";

    struct Case {
        int volume;
        QColor colour;
    };
    for (const Case& c :
         {Case{36, Colour(230, 0, 0)}, Case{35, Colour(230, 0, 0)}, Case{34, Colour(230, 150, 0)},
          Case{30, Colour(230, 150, 0)}, Case{29, Colour(0, 230, 0)}, Case{0, Colour(0, 230, 0)}}) {
        Drag(1104, c.volume);
        EXPECT_EQ(Ctl<ColourLabel>(SliderOf("CenterVol").valueLabel).TextColour(), c.colour)
            << "centre volume " << c.volume;
    }
    EXPECT_EQ(Ctl<ColourLabel>(SliderOf("CenterVol").valueLabel).Background(), QColor(Qt::black));

    Provider().Unplug();
    Drain();
    EXPECT_EQ(Ctl<ColourLabel>(1017).TextColour(), Colour(255, 0, 0));
}

// The offscreen screen is smaller than the window: the window fits it by scrolling the controls under its
// menu bar, which stays in sight, and it opens again where it was closed.
TEST_F(MainWindowLook, AWindowLargerThanTheScreenScrollsAndOpensWhereItWasClosed) {
    Open("normal", 1, [this](VirtualAmp&) { Provider().Unplug(); });
    const QSize full = Window().size();
    Window().show();
    const QRect free = Window().screen()->availableGeometry();
    if (full.width() <= free.width() && full.height() <= free.height()) {
        GTEST_SKIP() << "the screen holds the whole window";
    }
    EXPECT_LE(Window().width(), free.width());
    EXPECT_LE(Window().height(), free.height());
    auto* scroll = Window().findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    auto* bar = Window().findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->parentWidget(), &Window()) << "the bar does not scroll";
    EXPECT_EQ(bar->geometry(), QRect(0, 0, Window().width(), bar->height()));
    EXPECT_EQ(scroll->geometry(),
              QRect(0, bar->height(), Window().width(), Window().height() - bar->height()));
    EXPECT_EQ(scroll->widget()->size(), full - QSize(0, bar->height()))
        << "the whole layout, unscaled, inside the scroll area";
    EXPECT_TRUE(Ctl<QPushButton>(1019).isVisibleTo(&Window()));
    EXPECT_TRUE(Ctl<QPushButton>(1041).isHidden()) << "hidden controls stay hidden";

    // Within the side frame allowance: a window as wide as the room stays whole on the screen there.
    const QPoint placed = free.topLeft() + QPoint(2, 7);
    Window().move(placed);
    Close();
    Open("normal", 1, [this](VirtualAmp&) { Provider().Unplug(); });
    Window().show();
    EXPECT_EQ(Window().pos(), placed);
}

}  // namespace
}  // namespace varnoth::test
