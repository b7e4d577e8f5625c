// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <functional>
#include <string>

#include "session/EditHistory.h"

class QAction;
class QMenu;
class QWidget;

namespace varnoth {

class ChangeMark;
class DeviceSession;
class MainWindow;

// Whether the working set still equals the memory mode it was last loaded from or saved to in this run, in
// the parameters a mode holds (what a mode data file holds: not the master volumes). That mode's load button
// carries a dot while the set differs from it, with a tooltip that says so; its context menu reverts to the
// mode. Loading a mode or a file, or closing the panel, while the set differs asks first: save to that mode
// (unless saving is locked or the amplifier cannot take it), discard, or cancel. A save asked for there goes
// out through the link before anything else happens; if the amplifier does not acknowledge it, the user is
// told and the edits stay as they are.
//
// The mode's contents are what the panel read back after loading it or what it held when it saved it; the
// dot follows the store whatever changes it (edits, undo, A/B compare, a loaded file). Another amplifier
// forgets the mode.
class ModeChanges : public QObject {
    Q_OBJECT

  public:
    static constexpr int kNoMode = -1;

    enum class Answer { Save, Discard, Cancel };
    // What would replace the working set or leave it behind.
    enum class Leaving { LoadMode, LoadFile, Close };
    struct Question {
        QString caption;
        QString text;
        // The buttons' captions; without a save there is no save button.
        QString save;
        QString discard;
        QString cancel;
        bool canSave = false;
    };
    // A hook left empty gets the standard one: a message box.
    struct Hooks {
        std::function<Answer(QWidget& parent, const Question& question)> ask;
        std::function<void(QWidget& parent, const QString& caption, const QString& text)> warn;
    };

    ModeChanges(MainWindow& window, DeviceSession& session);
    ~ModeChanges() override;

    void SetHooks(Hooks hooks);

    // The mode the working set is compared with, or kNoMode.
    int Mode() const { return m_mode; }
    // Whether the working set differs from that mode now.
    bool IsModified() const;
    // Whether the load button of this mode shows the dot.
    bool IsMarked(int mode) const;
    // The dots and their tooltips from the store as it is now (also every few tenths of a second).
    void Refresh();

    // Whether the working set may be replaced or left now: true when it equals its mode or the user
    // discards it. False when the user cancels, or chose to save first: then `then` runs once the amplifier
    // has acknowledged the save.
    bool MayLeave(Leaving leaving, int toMode, std::function<void()> then);
    // From now on nothing is asked, and a save the amplifier did not acknowledge is told on stderr (the
    // program is told to end).
    void AskNoMore() { m_askNoMore = true; }

    // Saves the working set to the mode with a receipt. Acknowledged, the mode becomes the one compared with
    // and `then` gets true; otherwise the user is told and `then` gets false.
    void Save(int mode, std::function<void(bool saved)> then);
    // A load or reset of the mode went out: what its read-back brings is the mode's contents.
    void LoadSent(int mode);
    // Every mode was reset: their contents are no longer known.
    void ModesReset();
    // Loads the mode again without asking.
    void Revert(int mode);
    QAction* RevertAction(int mode) const { return m_revert[static_cast<std::size_t>(mode)]; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void OnSynchronised(int direction);
    void Saved(int mode, const WorkingSet& set, unsigned generation, bool saved,
               const std::function<void(bool)>& then);
    void Forget();
    Question MakeQuestion(Leaving leaving, int toMode) const;
    void ShowModeMenu(int mode, const QPoint& at);

    MainWindow& m_window;
    DeviceSession& m_session;
    Hooks m_hooks;
    int m_mode = kNoMode;
    WorkingSet m_contents;
    // A load whose read-back is awaited.
    int m_loading = kNoMode;
    // Changes whenever the mode's contents are learnt anew: a save acknowledged later is not the latest.
    unsigned m_generation = 0;
    std::string m_amplifier;
    bool m_askNoMore = false;
    // A save asked for before going on is under way: the window takes no input meanwhile.
    bool m_savingFirst = false;
    bool m_reverting = false;
    std::array<ChangeMark*, 4> m_marks{};
    std::array<QAction*, 4> m_revert{};
    std::array<QMenu*, 4> m_menus{};
    QTimer m_refresh;
};

}  // namespace varnoth
