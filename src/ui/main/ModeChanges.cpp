// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/ModeChanges.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <cstdio>
#include <memory>
#include <utility>

#include "session/DeviceSession.h"
#include "session/MachineRules.h"
#include "session/RegisterMap.h"
#include "ui/controls/ChangeMark.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MainWindowTemplate.h"
#include "ui/main/MainWindowTexts.h"

namespace varnoth {

using namespace mainwin;

namespace {

constexpr int kRefreshMs = 250;

// %1 is the mode's number (1..4), %2 the number of the mode about to be loaded.
constexpr Bilingual kCaption{"未保存的更改", "Unsaved changes"};
constexpr Bilingual kDiffers{"当前参数与载入或保存时的 M%1 不同。",
                             "The settings differ from M%1 as it was last loaded or saved."};
constexpr Bilingual kSaveFirst[] = {
    {"载入 M%2 之前要保存到 M%1 吗?", "Save them to M%1 before loading M%2?"},
    {"载入文件之前要保存到 M%1 吗?", "Save them to M%1 before loading a file?"},
    {"关闭之前要保存到 M%1 吗?", "Save them to M%1 before closing?"},
};
constexpr Bilingual kDiscardOnly[] = {
    {"放弃这些更改并载入 M%2 吗?", "Discard them and load M%2?"},
    {"放弃这些更改并载入文件吗?", "Discard them and load a file?"},
    {"不保存就关闭吗?", "Close without saving them?"},
};
constexpr Bilingual kSaveLocked{"存储模式已锁定，无法保存到 M%1。",
                                "Saving modes is locked: they cannot be saved to M%1."};
constexpr Bilingual kCannotSave{"设备未连接，无法保存到 M%1。",
                                "The amplifier is not connected: they cannot be saved to M%1."};
constexpr Bilingual kSaveButton{"保存到 M%1", "Save to M%1"};
constexpr Bilingual kDiscardButton{"放弃更改", "Discard"};
constexpr Bilingual kCancelButton{"取消", "Cancel"};
constexpr Bilingual kModifiedTip{"已修改：当前参数与载入或保存时的 M%1 不同",
                                 "Modified: the settings differ from M%1 as last loaded or saved"};
constexpr Bilingual kRevertText{"还原到 M%1", "Revert to M%1"};
constexpr Bilingual kNotSavedCaption{"未保存", "Not saved"};
constexpr Bilingual kNotSaved{"设备没有确认保存到 M%1。当前参数保持不变，其它操作未执行。",
                              "The amplifier did not confirm saving M%1. The settings stay as they are and "
                              "nothing else was done."};

QString Text(const Bilingual& text, int language, int mode, int toMode = ModeChanges::kNoMode) {
    return QString::fromUtf8(text.In(language))
        .replace(QStringLiteral("%1"), QString::number(mode + 1))
        .replace(QStringLiteral("%2"), QString::number(toMode + 1));
}

ModeChanges::Answer StandardAsk(QWidget& parent, const ModeChanges::Question& question) {
    QMessageBox box(QMessageBox::Question, question.caption, question.text, QMessageBox::NoButton, &parent);
    QPushButton* save = question.canSave ? box.addButton(question.save, QMessageBox::AcceptRole) : nullptr;
    QPushButton* discard = box.addButton(question.discard, QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(question.cancel, QMessageBox::RejectRole);
    box.setDefaultButton(save != nullptr ? save : cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (save != nullptr && box.clickedButton() == save) {
        return ModeChanges::Answer::Save;
    }
    return box.clickedButton() == discard ? ModeChanges::Answer::Discard : ModeChanges::Answer::Cancel;
}

void StandardWarn(QWidget& parent, const QString& caption, const QString& text) {
    QMessageBox::warning(&parent, caption, text, QMessageBox::Ok);
}

// What the user does to the window, as opposed to what the program does to it.
bool IsInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
            return true;
        default:
            return false;
    }
}

// The parameters a memory mode holds, as a mode data file does: not the master volumes, which the guests
// turn with the remote whatever mode is loaded.
bool InMode(const ParameterRef& ref) {
    const int position = ref.Position();
    return position == kNotStored || static_cast<std::size_t>(position) < kFileBlockSize;
}

bool SameMode(const WorkingSet& set, const WorkingSet& mode) {
    if (set.size() != mode.size()) {
        return false;
    }
    const auto refs = WorkingSetParameters();
    for (std::size_t i = 0; i < set.size() && i < refs.size(); ++i) {
        if (set[i] != mode[i] && InMode(refs[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

ModeChanges::ModeChanges(MainWindow& window, DeviceSession& session) : m_window(window), m_session(session) {
    SetHooks({});
    for (int mode = 0; mode < kModes; ++mode) {
        const auto k = static_cast<std::size_t>(mode);
        auto* button = window.Control<QAbstractButton>(kLoadModeButton + mode);
        m_marks[k] = new ChangeMark(*button);
        m_menus[k] = new QMenu(button);
        m_revert[k] = m_menus[k]->addAction(QString());
        connect(m_revert[k], &QAction::triggered, this, [this, mode] { Revert(mode); });
        button->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(button, &QWidget::customContextMenuRequested, this,
                [this, mode](const QPoint& at) { ShowModeMenu(mode, at); });
    }
    connect(&window, &MainWindow::synchronised, this, &ModeChanges::OnSynchronised);
    m_refresh.setInterval(kRefreshMs);
    connect(&m_refresh, &QTimer::timeout, this, &ModeChanges::Refresh);
    qApp->installEventFilter(this);
}

ModeChanges::~ModeChanges() {
    qApp->removeEventFilter(this);
}

void ModeChanges::SetHooks(Hooks hooks) {
    m_hooks = std::move(hooks);
    if (!m_hooks.ask) {
        m_hooks.ask = StandardAsk;
    }
    if (!m_hooks.warn) {
        m_hooks.warn = StandardWarn;
    }
}

bool ModeChanges::IsModified() const {
    return m_mode != kNoMode && !SameMode(CaptureWorkingSet(m_session), m_contents);
}

bool ModeChanges::IsMarked(int mode) const {
    return mode >= 0 && mode < kModes && m_marks[static_cast<std::size_t>(mode)]->IsMarked();
}

void ModeChanges::Refresh() {
    const bool modified = IsModified();
    const int language = m_window.Language();
    for (int mode = 0; mode < kModes; ++mode) {
        const bool marked = modified && mode == m_mode;
        m_marks[static_cast<std::size_t>(mode)]->SetMarked(marked);
        m_window.Control(kLoadModeButton + mode)
            ->setToolTip(marked ? Text(kModifiedTip, language, mode) : QString());
    }
    if (m_mode == kNoMode) {
        m_refresh.stop();
    } else if (!m_refresh.isActive()) {
        m_refresh.start();
    }
}

bool ModeChanges::MayLeave(Leaving leaving, int toMode, std::function<void()> then) {
    if (std::exchange(m_reverting, false) || m_askNoMore) {
        return true;
    }
    if (m_savingFirst) {
        return false;
    }
    if (!IsModified()) {
        return true;
    }
    Refresh();
    const Question question = MakeQuestion(leaving, toMode);
    const Answer answer = m_hooks.ask(m_window, question);
    if (answer == Answer::Discard) {
        return true;
    }
    if (answer == Answer::Cancel || !question.canSave) {
        return false;
    }
    m_savingFirst = true;
    Save(m_mode, [this, then = std::move(then)](bool saved) {
        m_savingFirst = false;
        if (saved && then) {
            then();
        }
    });
    return false;
}

ModeChanges::Question ModeChanges::MakeQuestion(Leaving leaving, int toMode) const {
    const int language = m_window.Language();
    const auto what = static_cast<std::size_t>(leaving);
    Question question;
    question.caption = QString::fromUtf8(kCaption.In(language));
    const bool connected = m_session.IsConnected() && !m_session.InUpgradeMode();
    const bool locked = ModeLockRefusal(m_session.GetMachineSet(), true).has_value();
    question.canSave = connected && !locked;
    question.text = Text(kDiffers, language, m_mode) + QStringLiteral("\n");
    if (question.canSave) {
        question.text += Text(kSaveFirst[what], language, m_mode, toMode);
    } else {
        question.text += Text(connected ? kSaveLocked : kCannotSave, language, m_mode) +
                         QStringLiteral("\n") + Text(kDiscardOnly[what], language, m_mode, toMode);
    }
    question.save = Text(kSaveButton, language, m_mode);
    question.discard = QString::fromUtf8(kDiscardButton.In(language));
    question.cancel = QString::fromUtf8(kCancelButton.In(language));
    return question;
}

void ModeChanges::Save(int mode, std::function<void(bool saved)> then) {
    auto set = std::make_shared<const WorkingSet>(CaptureWorkingSet(m_session));
    const unsigned generation = m_generation;
    const QPointer<ModeChanges> self(this);
    // The receipt comes on the link thread (or wherever the command was dropped); it is handled here.
    m_session.SaveMode(mode, [self, mode, set, generation, then = std::move(then)](bool saved) {
        QCoreApplication* application = QCoreApplication::instance();
        if (application == nullptr) {
            return;
        }
        QMetaObject::invokeMethod(
            application,
            [self, mode, set, generation, then, saved] {
                if (self) {
                    self->Saved(mode, *set, generation, saved, then);
                }
            },
            Qt::QueuedConnection);
    });
}

void ModeChanges::Saved(int mode, const WorkingSet& set, unsigned generation, bool saved,
                        const std::function<void(bool)>& then) {
    if (saved && generation == m_generation) {
        m_mode = mode;
        m_contents = set;
    }
    Refresh();
    if (!saved) {
        const int language = m_window.Language();
        const QString text = Text(kNotSaved, language, mode);
        // Told to end, the program waits for nobody: the terminal or the session's log keeps it.
        if (m_askNoMore) {
            std::fprintf(stderr, "varnoth: %s\n", text.toLocal8Bit().constData());
        } else {
            m_hooks.warn(m_window, QString::fromUtf8(kNotSavedCaption.In(language)), text);
        }
    }
    if (then) {
        then(saved);
    }
}

void ModeChanges::LoadSent(int mode) {
    ++m_generation;
    m_loading = mode;
}

void ModeChanges::ModesReset() {
    Forget();
    Refresh();
}

void ModeChanges::Forget() {
    ++m_generation;
    m_mode = kNoMode;
    m_loading = kNoMode;
    m_contents.clear();
}

void ModeChanges::Revert(int mode) {
    m_reverting = true;
    m_window.Control<QAbstractButton>(kLoadModeButton + mode)->click();
    m_reverting = false;
}

void ModeChanges::ShowModeMenu(int mode, const QPoint& at) {
    const auto k = static_cast<std::size_t>(mode);
    Refresh();
    m_revert[k]->setText(Text(kRevertText, m_window.Language(), mode));
    m_revert[k]->setEnabled(mode == m_mode && IsModified() && m_session.IsConnected());
    auto* button = m_window.Control(kLoadModeButton + mode);
    m_menus[k]->popup(button->mapToGlobal(at));
}

// After a load (or a mode reset) the read-back holds the mode's contents, provided the amplifier says it is
// in that mode now; a read-back that got no answer waits for the next one.
void ModeChanges::OnSynchronised(int direction) {
    if (!m_session.IsConnected() || m_session.GetDevName().empty() || direction != 0) {
        Refresh();
        return;
    }
    const std::string amplifier =
        m_session.GetDevPath() + '\n' + m_session.GetDevName() + '\n' + m_session.GetDevDate();
    if (amplifier != m_amplifier) {
        const int loading = m_loading;
        Forget();
        m_loading = m_amplifier.empty() ? loading : kNoMode;
        m_amplifier = amplifier;
    }
    if (m_loading != kNoMode) {
        ++m_generation;
        const bool loaded = m_session.MemoryMode() == m_loading;
        m_mode = loaded ? m_loading : kNoMode;
        m_contents = loaded ? CaptureWorkingSet(m_session) : WorkingSet{};
        m_loading = kNoMode;
    }
    Refresh();
}

bool ModeChanges::eventFilter(QObject* watched, QEvent* event) {
    if (m_savingFirst && IsInput(event->type())) {
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget->window() == &m_window) {
            event->accept();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace varnoth
