// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QSlider>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "../dialogs/ModalHelpers.h"
#include "MainWindowFixture.h"
#include "app/ApplicationKeys.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/DialogBuilder.h"
#include "ui/dialogs/MachineSettingsDialog.h"
#include "ui/dialogs/RemoteLearningDialog.h"
#include "ui/main/MainWindowTemplate.h"
#include "ui/main/WindowUndo.h"

namespace varnoth::test {
namespace {

using namespace mainwin;

// A path through the menu bar: a menu's title, then the texts of the entries that lead to the command. An
// entry is known by the start of its text (undo names its step after the colon).
using MenuPath = std::vector<const char*>;

bool Matches(const QAction& action, const char* text) {
    return !action.isSeparator() && action.text().startsWith(QString::fromUtf8(text));
}

class MainWindowMenu : public MainWindowTest {
  protected:
    void OpenShown(int language, const std::string& scenario = "normal") {
        Open(scenario, language);
        if (scenario == "normal") {
            ASSERT_TRUE(WaitForSyncs(1));
        }
        Window().show();
        ShowActive();
    }

    // A dialog or menu that closed leaves the offscreen platform without the window active (the menu may
    // stay the active window), where a window manager hands the focus back to the window below.
    void ShowActive() {
        ASSERT_TRUE(QTest::qWaitFor(
            [this] {
                Window().activateWindow();
                return QApplication::activeWindow() == &Window();
            },
            kDeadlineMs));
    }

    QMenuBar& Bar() {
        auto* bar = Window().findChild<QMenuBar*>();
        if (bar == nullptr) {
            ADD_FAILURE() << "the window has no menu bar";
            throw std::runtime_error("no menu bar");
        }
        return *bar;
    }

    static QAction* Find(const QList<QAction*>& actions, const char* text) {
        for (QAction* action : actions) {
            if (Matches(*action, text)) {
                return action;
            }
        }
        ADD_FAILURE() << "no entry \"" << text << "\"";
        return nullptr;
    }

    // Clicks through the window at the title's place on the bar, as a hand does: the menu opens.
    QMenu* OpenMenu(const char* title) {
        QAction* action = Find(Bar().actions(), title);
        if (action == nullptr) {
            return nullptr;
        }
        const QPoint at = Bar().mapTo(&Window(), Bar().actionGeometry(action).center());
        QWidget* hit = Window().childAt(at);
        EXPECT_EQ(hit, &Bar()) << "the title " << title << " is covered";
        QTest::mouseClick(hit, Qt::LeftButton, {}, hit->mapFrom(&Window(), at));
        EXPECT_TRUE(QTest::qWaitFor([&] { return action->menu()->isVisible(); }, kDeadlineMs))
            << title << " did not open";
        return action->menu();
    }

    // Clicks an entry of an open menu where it shows on the screen.
    static void ClickEntry(QMenu& menu, QAction& action) {
        const QPoint at = menu.actionGeometry(&action).center();
        QWidget* hit = QApplication::widgetAt(menu.mapToGlobal(at));
        EXPECT_EQ(hit, &menu) << action.text().toStdString() << " is covered";
        QTest::mouseClick(&menu, Qt::LeftButton, {}, at);
    }

    // Opens the menus along the path: its last entry and the menu that shows it, left open.
    struct Reached {
        QMenu* menu = nullptr;
        QAction* entry = nullptr;
    };
    Reached Reach(const MenuPath& path) {
        QMenu* menu = OpenMenu(path.front());
        for (std::size_t i = 1; menu != nullptr && i < path.size(); ++i) {
            QAction* entry = Find(menu->actions(), path[i]);
            if (entry == nullptr || i + 1 == path.size()) {
                return {menu, entry};
            }
            ClickEntry(*menu, *entry);
            menu = entry->menu();
            EXPECT_TRUE(menu != nullptr && QTest::qWaitFor([&] { return menu->isVisible(); }, kDeadlineMs))
                << path[i] << " opened no menu";
        }
        return {};
    }

    // Gives the command at the end of the path as a user does: menu after menu, then a click on the entry.
    void Choose(const MenuPath& path) {
        const Reached reached = Reach(path);
        ASSERT_NE(reached.entry, nullptr);
        ASSERT_TRUE(reached.entry->isEnabled()) << path.back() << " is disabled";
        ClickEntry(*reached.menu, *reached.entry);
        Drain();
    }

    // Closes every menu left open.
    void CloseMenus() {
        while (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            popup->close();
        }
    }

    WindowUndo& Undo() { return Window().Undo(); }

    // The language the window opened in.
    int m_startLanguage = 0;
};

// The entries whose command opens a dialog that waits for the user: the dialog is closed once it shows.
template <class Dialog>
std::unique_ptr<QTimer> CloseWhenShown(bool& shown) {
    return When([] { return qobject_cast<Dialog*>(QApplication::activeModalWidget()) != nullptr; },
                [&shown] {
                    shown = true;
                    QApplication::activeModalWidget()->close();
                });
}

// Every command of the menu bar, chosen by a click on its title and then on its entry, in both languages,
// does what the window's button, key or context menu does.
TEST_F(MainWindowMenu, EveryEntryGivesItsCommand) {
    struct Case {
        MenuPath chinese;
        MenuPath english;
        // Runs before the command; what it returns lives while the command runs.
        std::function<std::unique_ptr<QTimer>()> before;
        std::function<bool()> done;
    };
    bool shown = false;
    const auto nothing = [] { return std::unique_ptr<QTimer>(); };
    const auto edited = [this] {
        Drag(2100, 127 - 90);
        return std::unique_ptr<QTimer>();
    };
    const Case cases[] = {
        {{"文件(&F)", "载入效果配置文件(&L)..."},
         {"&File", "&Load mode data file..."},
         nothing,
         [this] { return m_fileDialogs == std::vector<bool>{false}; }},
        {{"文件(&F)", "保存效果配置文件(&S)..."},
         {"&File", "&Save mode data file..."},
         nothing,
         [this] { return m_fileDialogs == std::vector<bool>{true}; }},
        {{"文件(&F)", "退出(&Q)"}, {"&File", "&Quit"}, nothing, [this] { return !Window().isVisible(); }},
        {{"编辑(&E)", "撤销"},
         {"&Edit", "Undo"},
         edited,
         [this] { return StoreValue(pos::InputGain_Mic) == 64 && Undo().History().NextRedo() != nullptr; }},
        {{"编辑(&E)", "重做"},
         {"&Edit", "Redo"},
         [this] {
             Drag(2100, 127 - 90);
             Undo().Undo();
             return std::unique_ptr<QTimer>();
         },
         [this] { return StoreValue(pos::InputGain_Mic) == 90; }},
        {{"编辑(&E)", "A/B 比较"},
         {"&Edit", "Compare A/B"},
         nothing,
         [this] { return Undo().Compare().Live() == 1; }},
        {{"编辑(&E)", "复制 A 到 B"},
         {"&Edit", "Copy A to B"},
         nothing,
         [this] { return Undo().Compare().Used(); }},
        {{"编辑(&E)", "恢复默认值(&D)", "话筒通道恢复默认值"},
         {"&Edit", "Reset to &defaults", "Reset mic channel to defaults"},
         edited,
         [this] { return StoreValue(pos::InputGain_Mic) != 90; }},
        {{"编辑(&E)", "重置当前均衡(&G)..."},
         {"&Edit", "Flatten the shown &graphic EQ..."},
         nothing,
         [this] { return m_questions.size() == 1 && !Window().NoticeText().isEmpty(); }},
        {{"编辑(&E)", "重置参量均衡(&P)..."},
         {"&Edit", "Flatten the &parametric EQ..."},
         nothing,
         [this] { return m_questions.size() == 1 && !Window().NoticeText().isEmpty(); }},
        {{"编辑(&E)", "默认话筒均衡(&F)..."},
         {"&Edit", "&Factory mic EQ..."},
         nothing,
         [this] { return m_questions.size() == 1 && !Window().NoticeText().isEmpty(); }},
        {{"功放(&A)", "从功放同步(&S)"},
         {"&Amplifier", "&Synchronise from the amplifier"},
         nothing,
         [this] { return m_syncs == 2; }},
        {{"功放(&A)", "载入模式(&L)", "M2"},
         {"&Amplifier", "&Load memory mode", "M2"},
         nothing,
         [this] { return m_syncs == 2 && Amp().CurrentMode() == 1; }},
        {{"功放(&A)", "保存模式(&V)", "M3"},
         {"&Amplifier", "Sa&ve memory mode", "M3"},
         nothing,
         [this] { return Session().MemoryMode() == 2 && !Window().NoticeText().isEmpty(); }},
        {{"功放(&A)", "重置模式(&R)", "M4"},
         {"&Amplifier", "&Reset memory mode", "M4"},
         nothing,
         [this] { return m_syncs == 2 && Amp().CurrentMode() == 3; }},
        {{"功放(&A)", "重置机器(&M)..."},
         {"&Amplifier", "Reset &machine..."},
         nothing,
         [this] { return m_questions.size() == 1 && m_syncs == 2; }},
        {{"功放(&A)", "机器设置(&T)..."},
         {"&Amplifier", "Machine se&ttings..."},
         nothing,
         [this] { return Window().SettingsDialog() != nullptr && Window().SettingsDialog()->isVisible(); }},
        {{"功放(&A)", "遥控学习(&E)..."},
         {"&Amplifier", "L&earn remote keys..."},
         [&shown] { return CloseWhenShown<RemoteLearningDialog>(shown); },
         [&shown] { return shown; }},
        {{"功放(&A)", "在线升级(&U)..."},
         {"&Amplifier", "&Upgrade firmware..."},
         nothing,
         [this] { return m_upgradeDialogs == 1 && m_upgradeOwners.front() == &Window(); }},
        {{"功放(&A)", "遥控..."},
         {"&Amplifier", "Remote control..."},
         nothing,
         [this] {
             const auto dialogs = Window().findChildren<QDialog*>();
             return std::any_of(dialogs.begin(), dialogs.end(), [](QDialog* d) {
                 return d->isVisible() &&
                        (d->windowTitle() == "Remote control" || d->windowTitle() == "遥控");
             });
         }},
        {{"视图(&V)", "音乐控制(&U)"},
         {"&View", "M&usic control"},
         nothing,
         [this] { return Window().MicView() == 0; }},
        {{"视图(&V)", "中置均衡(&C)"},
         {"&View", "&Center EQ"},
         nothing,
         [this] { return Window().EqPage() == 0; }},
        {{"视图(&V)", "语言(&L)", "English"},
         {"&View", "&Language", "中文"},
         nothing,
         [this] { return Window().Language() == 1 - m_startLanguage; }},
        {{"帮助(&H)", "关于 Varnoth(&A)..."},
         {"&Help", "&About Varnoth..."},
         [&shown] { return CloseWhenShown<AboutDialog>(shown); },
         [&shown] { return shown; }},
    };
    for (const Case& c : cases) {
        for (const int language : {0, 1}) {
            const MenuPath& path = language == 0 ? c.chinese : c.english;
            std::string name;
            for (const char* step : path) {
                name += (name.empty() ? "" : " > ") + std::string(step);
            }
            SCOPED_TRACE(name);
            shown = false;
            m_startLanguage = language;
            OpenShown(language);
            const std::unique_ptr<QTimer> watch = c.before();
            ShowActive();
            Choose(path);
            EXPECT_TRUE(QTest::qWaitFor(c.done, kDeadlineMs)) << "the command did not run";
            CloseMenus();
            Close();
        }
    }
}

// Every key the menu bar shows is the key that gives the command: pressed in the window it does what the
// entry does. An entry that shows a key not in this table fails: the table proves each of them.
TEST_F(MainWindowMenu, EveryKeyShownIsTheKeyThatGivesTheCommand) {
    struct Case {
        MenuPath path;
        const char* shown;
        QKeySequence key;
        std::function<void()> before;
        std::function<bool()> done;
    };
    const auto nothing = [] {};
    const auto edited = [this] { Drag(2100, 127 - 90); };
    const Case cases[] = {
        {{"&File", "&Load mode data file..."},
         "Ctrl+O",
         QKeySequence(Qt::CTRL | Qt::Key_O),
         nothing,
         [this] { return m_fileDialogs == std::vector<bool>{false}; }},
        {{"&File", "&Save mode data file..."},
         "Ctrl+S",
         QKeySequence(Qt::CTRL | Qt::Key_S),
         nothing,
         [this] { return m_fileDialogs == std::vector<bool>{true}; }},
        {{"&File", "&Quit"},
         "Ctrl+Q",
         QKeySequence(Qt::CTRL | Qt::Key_Q),
         nothing,
         [this] { return !Window().isVisible(); }},
        {{"&Edit", "Undo"},
         "Ctrl+Z",
         QKeySequence(Qt::CTRL | Qt::Key_Z),
         edited,
         [this] { return StoreValue(pos::InputGain_Mic) == 64; }},
        {{"&Edit", "Redo"},
         "Ctrl+Shift+Z",
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
         [this] {
             Drag(2100, 127 - 90);
             Undo().Undo();
         },
         [this] { return StoreValue(pos::InputGain_Mic) == 90; }},
        {{"&Edit", "Compare A/B"},
         "Ctrl+B",
         QKeySequence(Qt::CTRL | Qt::Key_B),
         nothing,
         [this] { return Undo().Compare().Live() == 1; }},
        {{"&Amplifier", "Machine se&ttings..."},
         "F7",
         QKeySequence(Qt::Key_F7),
         nothing,
         [this] { return Window().SettingsDialog() != nullptr; }},
    };
    std::vector<QAction*> proven;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        OpenShown(1);
        ApplicationKeys keys(Window());
        qApp->installEventFilter(&keys);
        const Reached reached = Reach(c.path);
        ASSERT_NE(reached.entry, nullptr);
        EXPECT_EQ(reached.entry->shortcut().toString(QKeySequence::NativeText).toStdString(), c.shown);
        CloseMenus();
        c.before();
        ShowActive();
        QWidget* focused = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &Window();
        QTest::keySequence(focused, c.key);
        EXPECT_TRUE(QTest::qWaitFor(c.done, kDeadlineMs)) << c.shown << " did not give the command";
        qApp->removeEventFilter(&keys);
        Close();
    }

    // No other entry shows a key.
    OpenShown(1);
    std::vector<std::string> unproven;
    std::vector<QMenu*> menus;
    for (QAction* title : Bar().actions()) {
        menus.push_back(title->menu());
    }
    for (std::size_t i = 0; i < menus.size(); ++i) {
        for (QAction* entry : menus[i]->actions()) {
            if (entry->menu() != nullptr) {
                menus.push_back(entry->menu());
            }
            const bool inTable = std::any_of(std::begin(cases), std::end(cases), [entry](const Case& c) {
                return Matches(*entry, c.path.back());
            });
            if (!entry->shortcut().isEmpty() && !inTable) {
                unproven.push_back(entry->text().toStdString());
            }
        }
    }
    EXPECT_EQ(unproven, std::vector<std::string>{}) << "entries that show a key no case presses";
}

// Machine settings shows F7, its first key; Ctrl+F11, its second, opens it as well.
TEST_F(MainWindowMenu, MachineSettingsAnswerCtrlF11Too) {
    OpenShown(1);
    const Reached reached = Reach({"&Amplifier", "Machine se&ttings..."});
    ASSERT_NE(reached.entry, nullptr);
    EXPECT_EQ(reached.entry->shortcuts(),
              (QList<QKeySequence>{QKeySequence(Qt::Key_F7), QKeySequence(Qt::CTRL | Qt::Key_F11)}));
    CloseMenus();
    ShowActive();
    QTest::keyClick(&Ctl<QSlider>(kMicVolSlider), Qt::Key_F11, Qt::ControlModifier);
    EXPECT_NE(Window().SettingsDialog(), nullptr);
}

// The entries show the window's state each time a menu opens: what can run is enabled, the view, page,
// language and loaded mode checked, the compare names its live set, and the texts follow the language.
TEST_F(MainWindowMenu, TheEntriesShowTheWindowsState) {
    OpenShown(1);
    const auto state = [this](const MenuPath& path) {
        const Reached reached = Reach(path);
        struct {
            bool enabled = false;
            bool checked = false;
            std::string text;
        } seen;
        if (reached.entry != nullptr) {
            seen = {reached.entry->isEnabled(), reached.entry->isChecked(),
                    reached.entry->text().toStdString()};
        }
        CloseMenus();
        ShowActive();
        return seen;
    };
    EXPECT_FALSE(state({"&Edit", "Undo"}).enabled) << "nothing to undo yet";
    Drag(2100, 127 - 90);
    EXPECT_TRUE(state({"&Edit", "Undo"}).enabled) << "an edit to undo";
    EXPECT_EQ(state({"&Edit", "Undo"}).text, "Undo: mic gain 64 → 90");
    EXPECT_EQ(state({"&Edit", "Compare A/B"}).text, "Compare A/B (A)");
    QTest::keyClick(&Window(), Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(state({"&Edit", "Compare A/B"}).text, "Compare A/B (B)");

    EXPECT_TRUE(state({"&View", "&Mic control"}).checked);
    Ctl<QAbstractButton>(kMusicViewButton).click();
    EXPECT_FALSE(state({"&View", "&Mic control"}).checked);
    EXPECT_TRUE(state({"&View", "M&usic control"}).checked);
    EXPECT_TRUE(state({"&View", "M&ic EQ"}).checked);
    Ctl<QAbstractButton>(kSubPageButton).click();
    EXPECT_TRUE(state({"&View", "Su&bwoofer EQ"}).checked);
    EXPECT_FALSE(state({"&View", "M&ic EQ"}).checked);
    EXPECT_TRUE(state({"&View", "&Language", "English"}).checked);

    Ctl<QAbstractButton>(kLoadModeButton + 2).click();
    ASSERT_TRUE(WaitForSyncs(2));
    ShowActive();
    EXPECT_TRUE(state({"&Amplifier", "&Load memory mode", "M3"}).checked);
    EXPECT_FALSE(state({"&Amplifier", "&Load memory mode", "M1"}).checked);

    // The commands that go to the amplifier wait for one; the others do not.
    const MenuPath needAmplifier[] = {{"&Amplifier", "&Synchronise from the amplifier"},
                                      {"&Amplifier", "&Load memory mode", "M1"},
                                      {"&Amplifier", "Sa&ve memory mode", "M1"},
                                      {"&Amplifier", "&Reset memory mode", "M1"},
                                      {"&Amplifier", "Reset &machine..."}};
    const MenuPath always[] = {{"&File", "&Load mode data file..."},
                               {"&Amplifier", "Machine se&ttings..."},
                               {"&Amplifier", "L&earn remote keys..."},
                               {"&Amplifier", "&Upgrade firmware..."}};
    for (const MenuPath& path : needAmplifier) {
        EXPECT_TRUE(state(path).enabled) << path.back();
    }
    Provider().Unplug();
    Drain();
    for (const MenuPath& path : needAmplifier) {
        EXPECT_FALSE(state(path).enabled) << path.back() << " without an amplifier";
    }
    for (const MenuPath& path : always) {
        EXPECT_TRUE(state(path).enabled) << path.back() << " without an amplifier";
    }

    // The language button: the bar follows.
    Ctl<QAbstractButton>(kLanguageButton).click();
    std::vector<std::string> titles;
    for (QAction* title : Bar().actions()) {
        titles.push_back(title->text().toStdString());
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"文件(&F)", "编辑(&E)", "功放(&A)", "视图(&V)", "帮助(&H)"}));
    EXPECT_TRUE(state({"视图(&V)", "语言(&L)", "中文"}).checked);
    EXPECT_EQ(state({"功放(&A)", "遥控..."}).text, "遥控...");
}

// The bar is reached from the keyboard: F10 opens its first menu, Alt with an underlined letter its menu.
TEST_F(MainWindowMenu, TheKeyboardReachesTheBar) {
    OpenShown(1);
    const auto opened = [this] {
        QAction* active = Bar().activeAction();
        QString title = active != nullptr && active->menu()->isVisible() ? active->text() : QString();
        CloseMenus();
        ShowActive();
        return title.toStdString();
    };
    QTest::keyClick(&Ctl<QSlider>(2100), Qt::Key_F10);
    EXPECT_EQ(opened(), "&File");
    QTest::keyClick(&Ctl<QSlider>(2100), Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(opened(), "&Amplifier");
}

// The menu bar sits above the controls, which keep their places to each other: the window grows by the bar.
TEST_F(MainWindowMenu, TheBarSitsAboveTheTemplatesLayout) {
    Open("normal", 0, [this](VirtualAmp&) { Provider().Unplug(); });
    QDialog plain;
    BuildDialog(plain, MainWindowTemplate());
    const int bar = Bar().height();
    EXPECT_GT(bar, 0);
    EXPECT_EQ(Bar().geometry(), QRect(0, 0, Window().width(), bar));
    EXPECT_EQ(Window().size(), plain.size() + QSize(0, bar));
    for (const ControlTemplate& control : MainWindowTemplate().controls) {
        if (control.id == kNoId) {
            continue;
        }
        QWidget* built = FindControl(plain, control.id);
        QWidget* shown = Window().Control(control.id);
        ASSERT_TRUE(built != nullptr && shown != nullptr) << control.id;
        EXPECT_EQ(shown->mapTo(&Window(), QPoint()), built->mapTo(&plain, QPoint()) + QPoint(0, bar))
            << "control " << control.id << " moved";
    }
}

}  // namespace
}  // namespace varnoth::test
