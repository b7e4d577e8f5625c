// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <string>

#include "../dialogs/ModalHelpers.h"
#include "MainWindowFixture.h"
#include "ui/controls/EqGraph.h"
#include "ui/controls/ImageButton.h"
#include "ui/controls/LevelMeter.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/MachineSettingsDialog.h"
#include "ui/dialogs/OtherFunctionsDialog.h"
#include "ui/main/MainWindowTemplate.h"
#include "ui/main/TypedValues.h"
#include "ui/main/WindowParams.h"

namespace varnoth::test {
namespace {

using namespace mainwin;

// The window driven by key presses alone: no mouse event reaches it.
class MainWindowKeyboard : public MainWindowTest {
  protected:
    void OpenShown() {
        OpenSynchronised(1);
        Window().show();
        Window().activateWindow();
        // A dialog that closed (the progress of a mode load) leaves the offscreen platform without an active
        // window, where a window manager hands the focus back to the window below.
        if (QApplication::activeWindow() == nullptr) {
            Window().activateWindow();
        }
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    }

    // Where the keys go: the focused control of the window.
    QWidget* Keyboard() {
        // A dialog that closed (the progress of a mode load, a dialog left with Esc) leaves the offscreen
        // platform without an active window, where a window manager hands the focus back to the window below.
        if (QApplication::activeWindow() == nullptr) {
            Window().activateWindow();
        }
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Window()))
            << "the window lost the keyboard to "
            << (QApplication::activeWindow() ? QApplication::activeWindow()->metaObject()->className()
                                             : "nothing");
        return QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &Window();
    }

    // Presses Tab until the control has the focus.
    void TabTo(int id) {
        QWidget* target = &Ctl<QWidget>(id);
        for (int presses = 0; presses < 300 && QApplication::focusWidget() != target; ++presses) {
            QTest::keyClick(Keyboard(), Qt::Key_Tab);
        }
        ASSERT_EQ(QApplication::focusWidget(), target) << "Tab does not reach control " << id;
    }

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(Keyboard(), static_cast<Qt::Key>(key), modifiers);
        Drain();
    }

    TypedEntry* Entry() { return Window().findChild<TypedValues*>()->Entry(); }
    bool EntryOpen() { return Entry() != nullptr && Entry()->isVisible(); }

    // Presses a key that opens a modal dialog, checks what opened and closes it with Esc.
    template <class Dialog>
    void OpensAndEscCloses(int key, Qt::KeyboardModifiers modifiers, const char* what) {
        bool opened = false;
        const auto close = When([] { return QApplication::activeModalWidget() != nullptr; },
                                [&opened] {
                                    QWidget* modal = QApplication::activeModalWidget();
                                    opened = qobject_cast<Dialog*>(modal) != nullptr;
                                    QTest::keyClick(modal, Qt::Key_Escape);
                                });
        Key(key, modifiers);
        EXPECT_TRUE(WaitFor([&] { return opened && QApplication::activeModalWidget() == nullptr; })) << what;
    }

    bool WaitFor(const std::function<bool()>& condition) { return QTest::qWaitFor(condition, 5000); }
};

TEST_F(MainWindowKeyboard, EveryKindOfControlOpensChangesAndClosesWithoutAMouse) {
    OpenShown();

    // A slider: Up raises the value shown and written; F2 opens the typed value, Enter applies it.
    TabTo(kGainSlider);
    const std::uint8_t gain = StoreValue(pos::InputGain_Mic);
    Key(Qt::Key_Up);
    EXPECT_EQ(DeviceValue(pos::InputGain_Mic), gain + 1);
    Key(Qt::Key_F2);
    ASSERT_TRUE(EntryOpen()) << "F2 opens no typed value";
    EXPECT_FALSE(Entry()->Edit(0)->accessibleName().isEmpty()) << "the typed-value field has no name";
    // A refusal is drawn red on the field's background and said with the field.
    Entry()->Edit(0)->selectAll();
    QTest::keyClicks(Entry()->Edit(0), QStringLiteral("loud"));
    QTest::keyClick(Entry()->Edit(0), Qt::Key_Return);
    Drain();
    ASSERT_TRUE(EntryOpen());
    ASSERT_FALSE(Entry()->Message().isEmpty());
    for (const QLabel* label : Entry()->findChildren<QLabel*>()) {
        if (label->text() == Entry()->Message()) {
            EXPECT_EQ(label->palette().color(label->foregroundRole()), QColor(200, 0, 0))
                << "the refusal is not red";
        }
    }
    EXPECT_EQ(Entry()->Edit(0)->accessibleDescription(), Entry()->Message());
    Entry()->Edit(0)->selectAll();
    QTest::keyClicks(Entry()->Edit(0), QStringLiteral("70"));
    QTest::keyClick(Entry()->Edit(0), Qt::Key_Return);
    Drain();
    EXPECT_FALSE(EntryOpen());
    EXPECT_EQ(Text(SliderOf("InputGain_Mic").valueLabel), "70");
    EXPECT_EQ(DeviceValue(pos::InputGain_Mic), 70);

    // The parametric EQ: Right picks a peaking band, Shift+Up steps its Q (not its gain), F2 opens its
    // fields and Esc closes them.
    TabTo(kPeqPanel);
    auto& peq = Ctl<EqGraph>(kPeqPanel);
    Key(Qt::Key_Right);
    Key(Qt::Key_Right);
    ASSERT_EQ(peq.Selected(), 1);
    const float q = peq.Point(1).q;
    const float bandGain = peq.Point(1).gain;
    Key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_GT(peq.Point(1).q, q);
    EXPECT_EQ(peq.Point(1).gain, bandGain);
    Key(Qt::Key_F2);
    ASSERT_TRUE(EntryOpen()) << "F2 opens no band fields";
    Key(Qt::Key_Escape);
    EXPECT_FALSE(EntryOpen());

    // A meter's full-scale mark clears with Space.
    auto& meter = Ctl<LevelMeter>(kLevelMeter1);
    meter.SetData(0, static_cast<std::uint8_t>(meter.Range()));
    ASSERT_TRUE(meter.Clipped(0));
    TabTo(kLevelMeter1);
    Key(Qt::Key_Space);
    EXPECT_FALSE(meter.Clipped(0));

    // A check box and a picture button.
    TabTo(kCompressOnBox);
    const bool on = Ctl<QCheckBox>(kCompressOnBox).isChecked();
    Key(Qt::Key_Space);
    EXPECT_NE(Ctl<QCheckBox>(kCompressOnBox).isChecked(), on);
    TabTo(kLoadModeButton + 2);
    Key(Qt::Key_Space);
    EXPECT_TRUE(WaitFor([&] { return Ctl<ImageButton>(kLoadModeButton + 2).AltState(); }))
        << "memory mode 3 was not loaded";

    // The dialogs.
    TabTo(kAboutButton);
    OpensAndEscCloses<AboutDialog>(Qt::Key_Space, Qt::NoModifier, "about");
    TabTo(kOtherButton);
    OpensAndEscCloses<OtherFunctionsDialog>(Qt::Key_Space, Qt::NoModifier, "other functions");
    Key(Qt::Key_F11, Qt::ControlModifier);
    EXPECT_NE(Window().SettingsDialog(), nullptr) << "Ctrl+F11 opens no machine settings";
    if (Window().SettingsDialog() != nullptr) {
        QTest::keyClick(Window().SettingsDialog(), Qt::Key_Escape);
        Drain();
        EXPECT_EQ(Window().SettingsDialog(), nullptr);
    }
}

}  // namespace
}  // namespace varnoth::test
