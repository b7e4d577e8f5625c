// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

#include "session/ParameterTable.h"
#include "ui/main/QuickResets.h"

class QAction;
class QMenu;
class QMenuBar;

namespace varnoth {

class MainWindow;

// The window's menu bar, in the window's language: every command of the window under File, Edit, Amplifier,
// View and Help, each showing its key and its state as the window has it when a menu opens (enabled when the
// command can run, the current view, EQ page and language checked, the live set of the compare named).
//
// An entry runs its command where the window's button, key or context menu runs it: a button's command
// through MainWindow::RunCommand, undo, redo, the compare, the offline set and the remote control as the
// very actions of the background menu, the device functions through DeviceFunctions. F10 opens the first
// menu; Alt with an underlined letter opens its menu.
class WindowMenus : public QObject {
    Q_OBJECT

  public:
    explicit WindowMenus(MainWindow& window);
    ~WindowMenus() override;

    QMenuBar& Bar() const { return *m_bar; }
    // The height the bar takes, whichever language it shows.
    int Height() const { return m_height; }
    // The titles and texts in the window's language.
    void ShowLanguage();

  private:
    // An entry of the window's own, with its texts and its state.
    struct Entry {
        QAction* action;
        Bilingual text;
        std::function<bool()> enabled;
        std::function<bool()> checked;
    };
    struct Title {
        QMenu* menu;
        Bilingual text;
    };

    QMenu* AddMenu(QMenu* parent, const Bilingual& title);
    QAction* Add(QMenu& menu, const Bilingual& text, std::function<void()> run,
                 std::function<bool()> enabled = {}, std::function<bool()> checked = {});
    void BuildFile();
    void BuildEdit();
    void BuildAmplifier();
    void BuildView();
    void BuildHelp();
    // The states of every entry, and the texts that follow them, as the window has them now.
    void ShowStates();

    MainWindow& m_window;
    QMenuBar* m_bar;
    std::vector<Title> m_titles;
    std::vector<Entry> m_entries;
    // The group resets, whose texts name the shown path and page.
    std::vector<std::pair<QAction*, QuickResets::Group>> m_groupResets;
    int m_height = 0;
};

}  // namespace varnoth
