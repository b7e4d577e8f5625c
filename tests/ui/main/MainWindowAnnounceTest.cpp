// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QSlider>
#include <QTest>

#include <string>
#include <vector>

#include "AccessibleEvents.h"
#include "MainWindowFixture.h"
#include "ui/controls/Announcer.h"
#include "ui/dialogs/Notice.h"
#include "ui/main/MainWindowTemplate.h"
#include "ui/main/WindowUndo.h"

namespace varnoth::test {
namespace {

using namespace mainwin;

class MainWindowAnnounce : public MainWindowTest {
  protected:
    void OpenShown(int language) {
        MainWindowTest::OpenShown(language);
        Drain();
    }
    // Presses a key on the window and returns what a screen reader was told after it.
    const AccessibleEvents& Press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        events.Clear();
        QTest::keyClick(&Window(), key, modifiers);
        Drain();
        return events;
    }

    AccessibleEvents events;
};

// What a screen reader hears after each command, in the window's language: the notification that shows
// last of all, after the slider's own new value.
TEST_F(MainWindowAnnounce, UndoRedoAndTheABSwitchSayWhatTheyDidInTheWindowsLanguage) {
    struct Case {
        int language;
        const char* undo;  // with the value before and after the drag
        const char* redo;
        const char* setB;
        const char* setA;
        const char* undoSwitch;  // the switch back to A undone: what it changed, and which set is live again
        const char* copy;
    };
    const Case cases[] = {
        {1, "Undo: mic gain %1 → %2", "Redo: mic gain %1 → %2", "Set B", "Set A",
         "Undo: mic gain %1 → %2, Set B", "Copy B to A"},
        {0, "撤销：话筒增益 %1 → %2", "重做：话筒增益 %1 → %2", "B 组", "A 组",
         "撤销：话筒增益 %1 → %2，B 组", "复制 B 到 A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language == 0 ? "Chinese" : "English");
        OpenShown(c.language);
        auto& gain = Ctl<QSlider>(kGainSlider);
        const QString before = ShownValue("InputGain_Mic");
        Window().Undo().NewGesture();
        Drag(kGainSlider, gain.value() < 100 ? gain.value() + 16 : gain.value() - 16);
        const QString after = ShownValue("InputGain_Mic");
        ASSERT_NE(before, after);
        QWidget* const focused = QApplication::focusWidget();

        const auto heard = [&](Qt::Key key, Qt::KeyboardModifiers modifiers) {
            const AccessibleEvents& told = Press(key, modifiers);
            const std::vector<QString> said = told.Notifications();
            EXPECT_FALSE(told.All().empty());
            if (said.size() != 1 || told.All().back().type != QAccessible::ObjectShow) {
                ADD_FAILURE() << said.size() << " notifications, not one that came last";
                return std::string();
            }
            return said.front().toStdString();
        };
        EXPECT_EQ(heard(Qt::Key_Z, Qt::ControlModifier),
                  QString::fromUtf8(c.undo).arg(before, after).toStdString());
        EXPECT_EQ(ShownValue("InputGain_Mic").toStdString(), before.toStdString())
            << "the undo took the slider back";
        EXPECT_EQ(heard(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier),
                  QString::fromUtf8(c.redo).arg(before, after).toStdString());
        EXPECT_EQ(heard(Qt::Key_B, Qt::ControlModifier), c.setB);
        // Set B differs from set A once the gain has moved in it: switching back is a step of its own.
        Window().Undo().NewGesture();
        Drag(kGainSlider, gain.value() < 100 ? gain.value() + 8 : gain.value() - 8);
        const QString inB = ShownValue("InputGain_Mic");
        EXPECT_EQ(heard(Qt::Key_B, Qt::ControlModifier), c.setA);
        EXPECT_EQ(heard(Qt::Key_Z, Qt::ControlModifier),
                  QString::fromUtf8(c.undoSwitch).arg(inB, after).toStdString());
        events.Clear();
        Window().Undo().CopyAction(1)->trigger();
        Drain();
        EXPECT_EQ(events.Notifications(), std::vector<QString>{QString::fromUtf8(c.copy)});
        EXPECT_EQ(Window().Announcements().Message().toStdString(), c.copy);
        EXPECT_EQ(QApplication::focusWidget(), focused) << "the keyboard focus stays where it was";
        Close();
    }
}

// The value a screen reader speaks after an undo is the slider's own: it changed, so it says so.
TEST_F(MainWindowAnnounce, AnUndoTellsTheNewValueOfTheSliderItMovedAndNothingOfTheOthers) {
    OpenShown(1);
    auto& gain = Ctl<QSlider>(kGainSlider);
    Window().Undo().NewGesture();
    Drag(kGainSlider, gain.value() < 100 ? gain.value() + 16 : gain.value() - 16);
    const QString dragged = ShownValue("InputGain_Mic");
    const AccessibleEvents& told = Press(Qt::Key_Z, Qt::ControlModifier);
    std::vector<QString> valueOf;
    for (const AccessibleEvents::Event& event : told.Of(QAccessible::ValueChanged)) {
        ASSERT_EQ(event.object, &gain)
            << "a value change of a slider the undo did not move: " << event.name.toStdString();
        valueOf.push_back(event.value);
    }
    ASSERT_FALSE(valueOf.empty()) << "the slider did not tell its new value";
    EXPECT_EQ(valueOf.back().toStdString(), ShownValue("InputGain_Mic").toStdString())
        << "it speaks the number its label shows";
    EXPECT_NE(valueOf.back().toStdString(), dragged.toStdString());
}

// A refresh that changes nothing tells a screen reader nothing: Qt passes on every name, description and
// value set, even an unchanged one, and a screen reader flooded with them drops what matters.
TEST_F(MainWindowAnnounce, ARefreshThatChangesNothingTellsAScreenReaderNothing) {
    for (const int language : {0, 1}) {
        SCOPED_TRACE(language == 0 ? "Chinese" : "English");
        OpenShown(language);
        Window().RefreshAll();
        Drain();
        events.Clear();
        Window().RefreshAll();
        Drain();
        for (const QAccessible::Event type :
             {QAccessible::NameChanged, QAccessible::DescriptionChanged, QAccessible::ValueChanged}) {
            for (const AccessibleEvents::Event& event : events.Of(type)) {
                ADD_FAILURE() << "event " << type << " for \"" << event.name.toStdString() << "\" ("
                              << (event.object ? event.object->metaObject()->className() : "gone") << ")";
            }
        }
        Close();
    }
}

// A closed list whose item the keys change tells nothing of its own on the desktop's bus: the window tells
// the new item.
TEST_F(MainWindowAnnounce, AListWhoseItemTheKeysChangeTellsTheNewItem) {
    OpenShown(1);
    auto& list = Ctl<QComboBox>(kEffect2List);
    list.setFocus(Qt::TabFocusReason);
    const bool atEnd = list.currentIndex() == list.count() - 1;
    events.Clear();
    QTest::keyClick(&list, atEnd ? Qt::Key_Up : Qt::Key_Down);
    Drain();
    EXPECT_EQ(events.Notifications(), std::vector<QString>{list.currentText()});
    EXPECT_EQ(DeviceValue(pos::OfEffect(1, pos::EffectPreset)), list.currentIndex())
        << "the item chosen by the keys went to the amplifier";
}

// The notice takes no focus: a screen reader speaks it because it is a notification that shows.
TEST_F(MainWindowAnnounce, ANoticeShowsAsANotificationAndTellsANewTextWhileItShows) {
    OpenShown(1);
    events.Clear();
    Window().ShowNotice(QStringLiteral("File saved"), 5000);
    Drain();
    const auto* notice = Window().findChild<Notice*>();
    ASSERT_NE(notice, nullptr);
    bool shown = false;
    for (const AccessibleEvents::Event& event : events.Of(QAccessible::ObjectShow)) {
        shown = shown || (event.object == notice && event.role == QAccessible::Notification);
    }
    EXPECT_TRUE(shown) << "the notice did not show as a notification";
    // Another text while the notice shows is told too.
    events.Clear();
    Window().ShowNotice(QStringLiteral("Saved Mode1"), 5000);
    Drain();
    EXPECT_EQ(events.Notifications(), std::vector<QString>{QStringLiteral("Saved Mode1")});
}

}  // namespace
}  // namespace varnoth::test
