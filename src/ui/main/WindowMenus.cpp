// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/WindowMenus.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

#include <algorithm>
#include <iterator>
#include <utility>

#include "session/DeviceSession.h"
#include "ui/dialogs/DeviceCommandGate.h"
#include "ui/dialogs/DeviceFunctions.h"
#include "ui/main/Language.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MainWindowTemplate.h"
#include "ui/main/OfflineEdits.h"
#include "ui/main/RemoteControlPanel.h"
#include "ui/main/WindowUndo.h"

namespace varnoth {

using namespace mainwin;

namespace {

constexpr Bilingual kFileMenu{"文件(&F)", "&File"};
constexpr Bilingual kEditMenu{"编辑(&E)", "&Edit"};
constexpr Bilingual kAmplifierMenu{"功放(&A)", "&Amplifier"};
constexpr Bilingual kViewMenu{"视图(&V)", "&View"};
constexpr Bilingual kHelpMenu{"帮助(&H)", "&Help"};

constexpr Bilingual kLoadFile{"载入效果配置文件(&L)...", "&Load mode data file..."};
constexpr Bilingual kSaveFile{"保存效果配置文件(&S)...", "&Save mode data file..."};
constexpr Bilingual kQuit{"退出(&Q)", "&Quit"};

constexpr Bilingual kResetGroups{"恢复默认值(&D)", "Reset to &defaults"};
constexpr Bilingual kFlatEq{"重置当前均衡(&G)...", "Flatten the shown &graphic EQ..."};
constexpr Bilingual kFlatPeq{"重置参量均衡(&P)...", "Flatten the &parametric EQ..."};
constexpr Bilingual kFactoryMicEq{"默认话筒均衡(&F)...", "&Factory mic EQ..."};

constexpr Bilingual kSynchronise{"从功放同步(&S)", "&Synchronise from the amplifier"};
constexpr Bilingual kLoadModes{"载入模式(&L)", "&Load memory mode"};
constexpr Bilingual kSaveModes{"保存模式(&V)", "Sa&ve memory mode"};
constexpr Bilingual kResetModes{"重置模式(&R)", "&Reset memory mode"};
constexpr Bilingual kModeNames[kModes] = {{"M1", "M1"}, {"M2", "M2"}, {"M3", "M3"}, {"M4", "M4"}};
constexpr Bilingual kResetMachine{"重置机器(&M)...", "Reset &machine..."};
constexpr Bilingual kSettings{"机器设置(&T)...", "Machine se&ttings..."};
constexpr Bilingual kLearnRemote{"遥控学习(&E)...", "L&earn remote keys..."};
constexpr Bilingual kUpgrade{"在线升级(&U)...", "&Upgrade firmware..."};

constexpr Bilingual kMicView{"话筒控制(&M)", "&Mic control"};
constexpr Bilingual kMusicView{"音乐控制(&U)", "M&usic control"};
// The EQ pages in the order of their buttons: microphone, music, centre, subwoofer.
struct PageEntry {
    int page;
    Bilingual text;
};
constexpr PageEntry kPageEntries[kEqPages] = {
    {1, {"话筒均衡(&I)", "M&ic EQ"}},
    {2, {"音乐均衡(&S)", "Mu&sic EQ"}},
    {0, {"中置均衡(&C)", "&Center EQ"}},
    {3, {"超低均衡(&B)", "Su&bwoofer EQ"}},
};
constexpr Bilingual kLanguageMenu{"语言(&L)", "&Language"};
// Each language is named in its own.
constexpr Bilingual kLanguageNames[] = {{"中文", "中文"}, {"English", "English"}};
constexpr int kLanguages[] = {kChinese, kEnglish};

constexpr Bilingual kAbout{"关于 Varnoth(&A)...", "&About Varnoth..."};

constexpr QuickResets::Group kGroups[] = {
    QuickResets::Group::Channel, QuickResets::Group::Effect1,   QuickResets::Group::Effect2,
    QuickResets::Group::AutoSub, QuickResets::Group::Subwoofer, QuickResets::Group::GraphicEq,
    QuickResets::Group::Volumes,
};

}  // namespace

WindowMenus::WindowMenus(MainWindow& window)
    : QObject(&window), m_window(window), m_bar(new QMenuBar(&window)) {
    // Inside the window on every desktop, above the controls it was laid out for.
    m_bar->setNativeMenuBar(false);
    m_bar->setContextMenuPolicy(Qt::PreventContextMenu);
    m_bar->setObjectName(QStringLiteral("menuBar"));
    BuildFile();
    BuildEdit();
    BuildAmplifier();
    BuildView();
    BuildHelp();
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), &window);
    connect(f10, &QShortcut::activated, this, [this] { m_bar->setActiveAction(m_bar->actions().front()); });

    // The bar keeps one height: that of the taller language.
    for (const int language : kLanguages) {
        for (const Title& title : m_titles) {
            title.menu->setTitle(QString::fromUtf8(title.text.In(language)));
        }
        m_height = std::max(m_height, m_bar->sizeHint().height());
    }
    ShowLanguage();
}

WindowMenus::~WindowMenus() = default;

QMenu* WindowMenus::AddMenu(QMenu* parent, const Bilingual& title) {
    QMenu* menu = parent != nullptr ? parent->addMenu(QString()) : m_bar->addMenu(QString());
    m_titles.push_back({menu, title});
    connect(menu, &QMenu::aboutToShow, this, &WindowMenus::ShowStates);
    return menu;
}

QAction* WindowMenus::Add(QMenu& menu, const Bilingual& text, std::function<void()> run,
                          std::function<bool()> enabled, std::function<bool()> checked) {
    QAction* action = menu.addAction(QString());
    action->setCheckable(static_cast<bool>(checked));
    connect(action, &QAction::triggered, this, std::move(run));
    m_entries.push_back({action, text, std::move(enabled), std::move(checked)});
    return action;
}

void WindowMenus::BuildFile() {
    QMenu& menu = *AddMenu(nullptr, kFileMenu);
    MainWindow& window = m_window;
    Add(menu, kLoadFile, [&window] {
        window.RunCommand(kLoadFileButton);
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Add(menu, kSaveFile, [&window] {
        window.RunCommand(kSaveFileButton);
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    menu.addAction(window.Offline().LoadKeptAction());
    connect(&menu, &QMenu::aboutToShow, &window.Offline(), &OfflineEdits::UpdateAction);
    menu.addSeparator();
    Add(menu, kQuit, [&window] { window.close(); })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
}

void WindowMenus::BuildEdit() {
    QMenu& menu = *AddMenu(nullptr, kEditMenu);
    WindowUndo& undo = m_window.Undo();
    menu.addAction(undo.UndoAction());
    menu.addAction(undo.RedoAction());
    menu.addSeparator();
    menu.addAction(undo.CompareAction());
    menu.addAction(undo.CopyAction(0));
    menu.addAction(undo.CopyAction(1));
    menu.addSeparator();
    QMenu& resets = *AddMenu(&menu, kResetGroups);
    QuickResets& quick = m_window.Resets();
    for (const QuickResets::Group group : kGroups) {
        QAction* action = resets.addAction(QString());
        connect(action, &QAction::triggered, &quick, [&quick, group] { quick.ResetGroup(group); });
        m_groupResets.emplace_back(action, group);
    }
    MainWindow& window = m_window;
    Add(menu, kFlatEq, [&window] { window.RunCommand(kFlatEqButton); });
    Add(menu, kFlatPeq, [&window] { window.RunCommand(kFlatPeqButton); });
    Add(menu, kFactoryMicEq, [&window] { window.RunCommand(kDefaultEqButton); });
}

void WindowMenus::BuildAmplifier() {
    QMenu& menu = *AddMenu(nullptr, kAmplifierMenu);
    MainWindow& window = m_window;
    // The commands that go to the amplifier run while one is connected outside upgrade mode.
    const auto reachable = [&window] { return !DeviceCommandGate::Obstacle(window.Session()); };
    Add(
        menu, kSynchronise, [&window] { window.Synchronise(); },
        [&window, reachable] { return reachable() && !window.IsSyncing(); });
    menu.addSeparator();
    QMenu& load = *AddMenu(&menu, kLoadModes);
    auto* current = new QActionGroup(&load);
    current->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    QMenu& save = *AddMenu(&menu, kSaveModes);
    QMenu& reset = *AddMenu(&menu, kResetModes);
    for (int mode = 0; mode < kModes; ++mode) {
        current->addAction(Add(
            load, kModeNames[mode], [&window, mode] { window.RunCommand(kLoadModeButton + mode); }, reachable,
            [&window, mode] { return window.Session().MemoryMode() == mode; }));
        Add(
            save, kModeNames[mode], [&window, mode] { window.RunCommand(kSaveModeButton + mode); },
            reachable);
        Add(
            reset, kModeNames[mode], [&window, mode] { window.Functions().ResetMode(mode, window); },
            reachable);
    }
    Add(
        menu, kResetMachine, [&window] { window.Functions().ResetMachine(window); }, reachable);
    menu.addSeparator();
    // The keys are the window's own (F7 also while a dialog runs): the entry only shows them.
    QAction* settings = Add(menu, kSettings, [&window] { window.OpenSettingsDialog(); });
    settings->setShortcuts({QKeySequence(Qt::Key_F7), QKeySequence(Qt::CTRL | Qt::Key_F11)});
    settings->setShortcutContext(Qt::WidgetShortcut);
    Add(menu, kLearnRemote, [&window] { window.Functions().LearnRemote(window); });
    Add(menu, kUpgrade, [&window] { window.OpenUpgradeDialog(&window); });
    menu.addAction(window.Remote().Action());
}

void WindowMenus::BuildView() {
    QMenu& menu = *AddMenu(nullptr, kViewMenu);
    MainWindow& window = m_window;
    auto* views = new QActionGroup(&menu);
    views->addAction(Add(
        menu, kMicView, [&window] { window.RunCommand(kMicViewButton); }, {},
        [&window] { return window.MicView() != 0; }));
    views->addAction(Add(
        menu, kMusicView, [&window] { window.RunCommand(kMusicViewButton); }, {},
        [&window] { return window.MicView() == 0; }));
    menu.addSeparator();
    auto* pages = new QActionGroup(&menu);
    for (const PageEntry& entry : kPageEntries) {
        const int page = entry.page;
        pages->addAction(Add(
            menu, entry.text, [&window, page] { window.RunCommand(PageButton(page)); }, {},
            [&window, page] { return window.EqPage() == page; }));
    }
    menu.addSeparator();
    QMenu& languages = *AddMenu(&menu, kLanguageMenu);
    auto* chosen = new QActionGroup(&languages);
    for (std::size_t i = 0; i < std::size(kLanguages); ++i) {
        const int language = kLanguages[i];
        chosen->addAction(Add(
            languages, kLanguageNames[i],
            [&window, language] {
                if (window.Language() != language) {
                    window.RunCommand(kLanguageButton);
                }
            },
            {}, [&window, language] { return window.Language() == language; }));
    }
}

void WindowMenus::BuildHelp() {
    QMenu& menu = *AddMenu(nullptr, kHelpMenu);
    MainWindow& window = m_window;
    Add(menu, kAbout, [&window] { window.RunCommand(kAboutButton); });
}

void WindowMenus::ShowLanguage() {
    const int language = m_window.Language();
    for (const Title& title : m_titles) {
        title.menu->setTitle(QString::fromUtf8(title.text.In(language)));
    }
    for (const Entry& entry : m_entries) {
        entry.action->setText(QString::fromUtf8(entry.text.In(language)));
    }
    ShowStates();
}

void WindowMenus::ShowStates() {
    for (const Entry& entry : m_entries) {
        if (entry.enabled) {
            entry.action->setEnabled(entry.enabled());
        }
        if (entry.checked) {
            entry.action->setChecked(entry.checked());
        }
    }
    for (const auto& [action, group] : m_groupResets) {
        action->setText(m_window.Resets().GroupEntry(group));
    }
    m_window.Undo().UpdateActions();
}

}  // namespace varnoth
