// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <string>
#include <vector>

#include "MainWindowFixture.h"
#include "session/RegisterMap.h"
#include "session/ValueFormat.h"
#include "ui/controls/EqGraph.h"
#include "ui/controls/ImageButton.h"
#include "ui/main/TypedValues.h"
#include "ui/main/UserSettings.h"
#include "ui/main/WindowUndo.h"

namespace varnoth::test {
namespace {

// Where the graph takes a pointer position to lie on a handle: the plot's origin for hit tests.
const QPoint kHandleOrigin(36, 16);

class MainWindowTyped : public MainWindowTest {
  protected:
    // The window shown and active, with the compressor on: its labels follow its sliders, which are
    // disabled while it is off.
    void OpenShown(int language = 1) {
        OpenSynchronised(language);
        Window().show();
        Window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
        if (!Ctl<QCheckBox>(1147).isChecked()) {
            Ctl<QCheckBox>(1147).click();
        }
        Drain();
    }

    TypedEntry* Entry() { return Window().findChild<TypedValues*>()->Entry(); }
    bool EntryOpen() { return Entry() != nullptr && Entry()->isVisible(); }

    // Double-clicks the value label of the parameter's slider, types the text over what it shows and presses
    // the key.
    void TypeAtLabel(const char* parameter, const QString& text, Qt::Key key = Qt::Key_Return) {
        QTest::mouseDClick(&Ctl<QLabel>(SliderOf(parameter).valueLabel), Qt::LeftButton);
        ASSERT_TRUE(EntryOpen()) << "the label of " << parameter << " opens no field";
        ASSERT_EQ(Entry()->Text(0), ShownValue(parameter)) << "the field starts with what the label shows";
        Entry()->Edit(0)->setText(text);
        QTest::keyClick(Entry()->Edit(0), key);
        Drain();
    }

    // Double-clicks the handle of a band of an EQ graph as last painted.
    void DoubleClickBand(int graph, int band) {
        auto& panel = Ctl<EqGraph>(graph);
        panel.repaint();
        const EqPoint& point = panel.Point(band);
        QTest::mouseDClick(&panel, Qt::LeftButton, {}, QPoint(point.x, point.y) + kHandleOrigin);
        ASSERT_TRUE(EntryOpen()) << "band " << band << " of " << graph << " opens no fields";
    }

    RegisterBank AmpRegisters() {
        WaitUntilSent();
        return Amp().WorkingSet();
    }
};

struct TypedCase {
    const char* parameter;
    const char* typed;
    std::size_t position;  // the store position written
    int expected;
    const char* shown;  // the label afterwards
};

TEST_F(MainWindowTyped, ATypedValueReachesTheAmplifierAsTheNearestStepAndTheLabelShowsIt) {
    OpenShown();
    const TypedCase cases[] = {
        {"InputGain_Mic", "80", pos::InputGain_Mic, 80, "80"},
        {"CompressThreshold_Mic", "\u221212 dB", pos::Compress_Mic + pos::CompressThreshold, 32, "-12.0dB"},
        {"CompressRatio_Mic", "1:4", pos::Compress_Mic + pos::CompressRatio, 96, "32:128"},
        {"CompressReleaseTime_Mic", "1.2s", pos::Compress_Mic + pos::CompressReleaseTime, 101, "1148ms"},
        {"CompressBoost_Mic", "x2", pos::Compress_Mic + pos::CompressBoost, 32, "x2.0"},
        {"EffectHPF.0", "off", pos::Effect1 + pos::EffectHPF, 0, "OFF"},
        {"EffectDelayTime.1", "1,365 s", pos::Effect1 + pos::kEffectParams + pos::EffectDelayTime, 127,
         "1365ms"},
        {"EffectFeedback.0", "25 %", pos::Effect1 + pos::EffectFeedback, 32, "25%"},
        {"SubFrequency", "135Hz", pos::SubFrequency, 64, "135Hz"},
        {"MicVol", "20", pos::MicVol, 20, "20"},
    };
    for (const TypedCase& c : cases) {
        TypeAtLabel(c.parameter, QString::fromUtf8(c.typed));
        EXPECT_FALSE(EntryOpen()) << c.typed;
        EXPECT_EQ(DeviceValue(c.position), c.expected) << c.parameter << " typed " << c.typed;
        EXPECT_EQ(ShownValue(c.parameter), QString::fromUtf8(c.shown)) << c.typed;
    }
    TypeAtLabel("MicControlSubTime", QStringLiteral("2.5s"));
    WaitUntilSent();
    EXPECT_EQ(Amp().MicControl().time, 25);
    EXPECT_EQ(ShownValue("MicControlSubTime"), "2.5s");
}

TEST_F(MainWindowTyped, ARefusedValueTellsTheRangeInTheWindowsLanguageAndSendsNothing) {
    struct Refusal {
        int language;
        const char* parameter;
        const char* typed;
        const char* message;
    };
    const Refusal refusals[] = {
        {1, "CompressThreshold_Mic", "5 dB", "Out of range: type a value from -50.0dB to 0.0dB"},
        {1, "EffectHPF.0", "abc", "Not a value: type a value from 5Hz to 600Hz, or OFF"},
        {1, "InputGain_Mic", "64 dB", "Not a value: type a value from 0 to 127"},
        {0, "InputGain_Mic", "200", "超出范围：请输入 0 到 127 之间的值"},
        {0, "MicControlSubTime", "30s", "超出范围：请输入 0.1s 到 25.5s 之间的值，或 无效"},
    };
    for (const int language : {1, 0}) {
        OpenShown(language);
        for (const Refusal& r : refusals) {
            if (r.language != language) {
                continue;
            }
            const RegisterBank before = AmpRegisters();
            const QString shown = ShownValue(r.parameter);
            TypeAtLabel(r.parameter, QString::fromUtf8(r.typed));
            ASSERT_TRUE(EntryOpen()) << "the field stays open to be corrected";
            EXPECT_EQ(Entry()->Message(), QString::fromUtf8(r.message));
            EXPECT_TRUE(Entry()->Edit(0)->hasFocus());
            EXPECT_EQ(AmpRegisters(), before) << r.typed;
            EXPECT_EQ(ShownValue(r.parameter), shown);
            QTest::keyClick(Entry()->Edit(0), Qt::Key_Escape);
            EXPECT_FALSE(EntryOpen());
        }
        Close();
    }
}

TEST_F(MainWindowTyped, EscCancelsEnterOnTheShownValueSendsNothingAndATypedValueIsOneUndoStep) {
    OpenShown();
    const std::uint8_t gain = StoreValue(pos::InputGain_Mic);
    const std::size_t steps = Window().Undo().History().UndoCount();
    TypeAtLabel("InputGain_Mic", QStringLiteral("99"), Qt::Key_Escape);
    EXPECT_FALSE(EntryOpen());
    TypeAtLabel("InputGain_Mic", ShownValue("InputGain_Mic"));
    EXPECT_FALSE(EntryOpen());
    EXPECT_EQ(DeviceValue(pos::InputGain_Mic), gain);
    EXPECT_EQ(Window().Undo().History().UndoCount(), steps);

    TypeAtLabel("InputGain_Mic", QStringLiteral("100"));
    EXPECT_EQ(DeviceValue(pos::InputGain_Mic), 100);
    ASSERT_EQ(Window().Undo().History().UndoCount(), steps + 1);
    EXPECT_EQ(Window().Undo().UndoAction()->toolTip(),
              QStringLiteral("Undo: mic gain %1 → 100").arg(static_cast<int>(gain)));
    Window().Undo().Undo();
    EXPECT_EQ(DeviceValue(pos::InputGain_Mic), gain);
    EXPECT_EQ(ShownValue("InputGain_Mic"), QString::number(gain));
}

TEST_F(MainWindowTyped, AnEqBandTakesItsTypedFieldsAndSendsOnlyThoseThatChanged) {
    OpenShown();
    // Parametric band 2 of the microphone path has frequency, gain and Q; the gain stays as it is.
    DoubleClickBand(1022, 1);
    ASSERT_EQ(Entry()->FieldCount(), 3);
    const std::size_t gain = pos::PEQ_Mic + pos::PEQLMidGain;
    const std::uint8_t gainBefore = StoreValue(gain);
    Entry()->Edit(0)->setText(QStringLiteral("1.2k"));
    Entry()->Edit(2)->setText(QStringLiteral("2"));
    WaitUntilSent();
    const std::uint64_t reports = Amp().ReportsReceived();
    const std::size_t steps = Window().Undo().History().UndoCount();
    QTest::keyClick(Entry()->Edit(1), Qt::Key_Return);
    EXPECT_FALSE(EntryOpen());
    EXPECT_EQ(DeviceValue(pos::PEQ_Mic + pos::PEQLMidF), 85);
    EXPECT_EQ(DeviceValue(pos::PEQ_Mic + pos::PEQLMidQ), 7);
    EXPECT_EQ(DeviceValue(gain), gainBefore);
    EXPECT_EQ(Amp().ReportsReceived() - reports, 4u) << "frequency and Q, one write per channel of the pair";
    EXPECT_EQ(Window().Undo().History().UndoCount(), steps + 1);
    Drain();
    EXPECT_FLOAT_EQ(Ctl<EqGraph>(1022).Point(1).freq, ValueFormat::PeqFrequencyHz(1, 85))
        << "the graph shows the amplifier's step, not the typed value";

    // A shelf has no Q; a graphic band only its gain, refused beyond its range and taken within it.
    DoubleClickBand(1022, 0);
    EXPECT_EQ(Entry()->FieldCount(), 2);
    QTest::keyClick(Entry()->Edit(0), Qt::Key_Escape);
    Ctl<QAbstractButton>(1099).click();
    DoubleClickBand(1015, 3);
    ASSERT_EQ(Entry()->FieldCount(), 1);
    const RegisterBank before = AmpRegisters();
    Entry()->Edit(0)->setText(QStringLiteral("20"));
    QTest::keyClick(Entry()->Edit(0), Qt::Key_Return);
    EXPECT_EQ(Entry()->Message(), QStringLiteral("G: Out of range: type a value from -14dB to +14dB"));
    EXPECT_EQ(AmpRegisters(), before);
    Entry()->Edit(0)->setText(QStringLiteral("-3.7 dB"));
    QTest::keyClick(Entry()->Edit(0), Qt::Key_Return);
    EXPECT_FALSE(EntryOpen());
    EXPECT_EQ(DeviceValue(pos::MusicGEQ + 3), 60);
    Drain();
    EXPECT_FLOAT_EQ(Ctl<EqGraph>(1015).Point(3).gain, -4.0f);
}

TEST_F(MainWindowTyped, TheViewAndTheFileDialogsFoldersComeBackAfterARestart) {
    OpenSynchronised();
    Ctl<QAbstractButton>(1023).click();
    Ctl<QAbstractButton>(1097).click();
    QTemporaryDir files;
    ASSERT_TRUE(QDir(files.path()).mkpath(QStringLiteral("modes/old")));
    m_chosenFile = files.path() + QStringLiteral("/modes/old/missing.vqm");
    Window().LoadModeDataFile();
    Close();

    m_keepView = true;
    OpenSynchronised();
    EXPECT_EQ(Window().MicView(), 0);
    EXPECT_EQ(Window().EqPage(), 0);
    EXPECT_EQ(Text(1054), "Music control");
    EXPECT_EQ(Text(1049), "CENTER EQ");
    EXPECT_TRUE(Ctl<ImageButton>(1023).AltState());
    EXPECT_TRUE(Ctl<ImageButton>(1097).AltState());

    const QString load = QLatin1String(UserSettings::kLoadModeFileFolder);
    EXPECT_EQ(UserSettings::StartFolder(load), files.path() + QStringLiteral("/modes/old"));
    ASSERT_TRUE(QDir(files.path() + QStringLiteral("/modes/old")).removeRecursively());
    EXPECT_EQ(UserSettings::StartFolder(load), files.path() + QStringLiteral("/modes"))
        << "a folder that has gone gives the nearest one above it";
    EXPECT_EQ(UserSettings::StartFolder(QLatin1String(UserSettings::kFirmwareImageFolder)), QDir::homePath());
}

}  // namespace
}  // namespace varnoth::test
