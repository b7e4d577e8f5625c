// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's commands: memory modes, mode data files (also given on the command line or dropped onto
// the window), the equalisers' resets, the language, the about box, the machine settings and the reset
// dialog; the window's keys; the standard hooks.

#include <QAbstractButton>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "device/Trace.h"
#include "files/ModeDataFile.h"
#include "session/DeviceSession.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/DeviceCommandGate.h"
#include "ui/dialogs/MachineSettingsDialog.h"
#include "ui/dialogs/OtherFunctionsDialog.h"
#include "ui/dialogs/UpgradeDialog.h"
#include "ui/main/DroppedFiles.h"
#include "ui/main/Language.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MainWindowTemplate.h"
#include "ui/main/MainWindowTexts.h"
#include "ui/main/ModeChanges.h"
#include "ui/main/StepText.h"
#include "ui/main/UserSettings.h"
#include "ui/main/WindowParams.h"
#include "ui/main/WindowUndo.h"

namespace varnoth {

using namespace mainwin;

namespace {

constexpr int kNoticeMs = 1200;
constexpr int kSavedModeNoticeMs = 1000;

// The reset of graphic EQ page 0..3: centre, microphone, music, subwoofer.
QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

bool StandardQuestion(QWidget& parent, const QString& caption, const QString& text) {
    return QMessageBox::question(&parent, caption, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void StandardWarning(QWidget& parent, const QString& caption, const QString& text) {
    QMessageBox::warning(&parent, caption, text, QMessageBox::Ok);
}

QString StandardModeFile(QWidget& parent, bool save) {
    QFileDialog dialog(&parent);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(Utf8(kModeFileFilterName));
    dialog.setDefaultSuffix(Utf8(kModeFileExtension));
    dialog.setDirectory(UserSettings::StartFolder(
        QLatin1String(save ? UserSettings::kSaveModeFileFolder : UserSettings::kLoadModeFileFolder)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front();
}

// The one local file a drag carries, as the bytes of its name (QUrl would turn a name that is not UTF-8 into
// replacement characters); nothing for any other drag, or one of several files.
std::optional<std::string> DroppedFile(const QMimeData* data) {
    if (data == nullptr) {
        return std::nullopt;
    }
    const QByteArray list = data->data(QStringLiteral("text/uri-list"));
    std::vector<std::string> files = LocalFilesOfUriList(std::string_view(list.constData(), list.size()));
    if (files.size() != 1) {
        return std::nullopt;
    }
    return std::move(files.front());
}

// The upgrade dialog behind the hooks that address it.
template <class Reaction>
auto ForUpgradeDialog(Reaction reaction) {
    return [reaction](QDialog& dialog) {
        if (auto* upgrade = qobject_cast<UpgradeDialog*>(&dialog)) {
            reaction(*upgrade);
        }
    };
}

}  // namespace

void MainWindow::DefaultHooks() {
    if (!m_hooks.question) {
        m_hooks.question = StandardQuestion;
    }
    if (!m_hooks.warning) {
        m_hooks.warning = StandardWarning;
    }
    if (!m_hooks.chooseModeFile) {
        m_hooks.chooseModeFile = StandardModeFile;
    }
    if (!m_hooks.makeUpgradeDialog) {
        m_hooks.makeUpgradeDialog = [this](QWidget& owner) -> std::unique_ptr<QDialog> {
            auto dialog = std::make_unique<UpgradeDialog>(m_upgradeSession, *this, &owner);
            dialog->SetImageChooser([this](QWidget* parent) {
                const QString folder = QLatin1String(UserSettings::kFirmwareImageFolder);
                const QString chosen =
                    UpgradeDialog::ChooseImageFile(parent, m_language, UserSettings::StartFolder(folder));
                UserSettings::RememberFolder(folder, chosen);
                return chosen;
            });
            return dialog;
        };
    }
    if (!m_hooks.upgradeArrival) {
        m_hooks.upgradeArrival = ForUpgradeDialog([](UpgradeDialog& dialog) { dialog.OnArrival(true); });
    }
    if (!m_hooks.upgradeDeviceGone) {
        m_hooks.upgradeDeviceGone = ForUpgradeDialog([](UpgradeDialog& dialog) { dialog.OnRemoval(); });
    }
    if (!m_hooks.upgradeDone) {
        m_hooks.upgradeDone = ForUpgradeDialog([](UpgradeDialog& dialog) { dialog.OnUpgradeDone(); });
    }
}

void MainWindow::ConnectCommands() {
    for (int mode = 0; mode < kModes; ++mode) {
        m_commands[kLoadModeButton + mode] = [this, mode] { OnLoadMode(mode); };
        m_commands[kSaveModeButton + mode] = [this, mode] { OnSaveMode(mode); };
    }
    for (int page = 0; page < kEqPages; ++page) {
        m_commands[PageButton(page)] = [this, page] { ShowEqPage(page); };
    }
    m_commands[kMicViewButton] = [this] { OnChannelButton(true); };
    m_commands[kMusicViewButton] = [this] { OnChannelButton(false); };
    m_commands[kLoadFileButton] = [this] { OnLoadFile(); };
    m_commands[kSaveFileButton] = [this] { OnSaveFile(); };
    m_commands[kFlatEqButton] = [this] { OnFlatEq(); };
    m_commands[kFlatPeqButton] = [this] { OnFlatPeq(); };
    m_commands[kDefaultEqButton] = [this] { OnDefaultMicEq(); };
    m_commands[kLanguageButton] = [this] { OnSwitchLanguage(); };
    m_commands[kAboutButton] = [this] { OnAbout(); };
    m_commands[kSettingsButton] = [this] { OpenSettingsDialog(); };
    m_commands[kOtherButton] = [this] { OnOther(); };
    for (const auto& command : m_commands) {
        const int id = command.first;
        connect(Control<QAbstractButton>(id), &QAbstractButton::clicked, this,
                [this, id] { RunCommand(id); });
    }
    // The window sees every key meant for it or its controls before they do.
    qApp->installEventFilter(this);
    setAcceptDrops(true);
    m_fileTimer.setSingleShot(true);
    connect(&m_fileTimer, &QTimer::timeout, this, &MainWindow::OpenWaitingFile);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (DroppedFile(event->mimeData())) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    if (const std::optional<std::string> file = DroppedFile(event->mimeData())) {
        event->acceptProposedAction();
        OpenModeFile(*file);
    }
}

void MainWindow::OpenModeFile(const std::string& path) {
    m_filesToOpen.push_back(path);
    // Not at once: a drop, for one, ends only when its handler returns.
    m_fileTimer.start(0);
}

void MainWindow::OpenWaitingFile() {
    if (m_filesToOpen.empty()) {
        return;
    }
    const QWidget* modal = QApplication::activeModalWidget();
    if (IsWaitingToConnect() || IsSyncing() || (modal != nullptr && modal != this)) {
        m_fileTimer.start(m_timing.timerPeriod);
        return;
    }
    const std::string path = std::move(m_filesToOpen.front());
    m_filesToOpen.pop_front();
    if (!m_filesToOpen.empty()) {
        m_fileTimer.start(m_timing.timerPeriod);
    }
    LoadFile(path);
}

void MainWindow::RunCommand(int id) {
    const auto found = m_commands.find(id);
    if (found != m_commands.end()) {
        found->second();
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (!key->isAutoRepeat() && widget != nullptr && widget->window() == this) {
            m_undo->NewGesture();
        }
        if (key->key() == Qt::Key_F11 && key->modifiers().testFlag(Qt::ControlModifier) &&
            widget != nullptr && widget->window() == this) {
            OpenSettingsDialog();
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonPress) {
        m_undo->NewGesture();
    } else if (event->type() == QEvent::Wheel && qobject_cast<QWidget*>(watched) != nullptr) {
        m_undo->WheelTurned(watched);
    }
    return QDialog::eventFilter(watched, event);
}

void MainWindow::OpenSettingsDialog() {
    if (!m_settingsDialog) {
        m_settingsDialog = new MachineSettingsDialog(m_session, *this, this);
    }
    m_settingsDialog->show();
    m_settingsDialog->raise();
    m_settingsDialog->activateWindow();
}

MachineSettingsDialog* MainWindow::SettingsDialog() const {
    return m_settingsDialog.data();
}

bool MainWindow::ModeLocked(bool save) {
    const MachineSettings& machine = m_session.GetMachineSet();
    const std::uint8_t bit = machine.Saved(save ? MachineField::Lock_SaveMode : MachineField::Lock_LoadMode);
    if (machine.Saved(MachineField::EnableLockFunc) == 0 || bit == 0) {
        return false;
    }
    ShowNotice(Utf8((save ? kSaveModeLocked : kLoadModeLocked).In(m_language)), kNoticeMs);
    return true;
}

void MainWindow::OnLoadMode(int mode) {
    if (!m_session.IsConnected() || ModeLocked(false) ||
        !m_modes->MayLeave(ModeChanges::Leaving::LoadMode, mode, [this, mode] { OnLoadMode(mode); })) {
        return;
    }
    const WindowUndo::Edit step(*m_undo, UndoSource::Of(UndoSource::Kind::Command, kLoadModeButton + mode),
                                kLoadModeAction.In(m_language) + std::to_string(mode + 1), true);
    m_session.LoadMode(mode, true);
    m_modes->LoadSent(mode);
    ShowSyncDialog(this);
}

void MainWindow::OnSaveMode(int mode) {
    if (!m_session.IsConnected() || ModeLocked(true)) {
        return;
    }
    // The notice tells of a save the amplifier acknowledged; one it did not is told as such.
    m_modes->Save(mode, [this, mode](bool saved) {
        if (saved) {
            ShowNotice(QString::fromStdString(SavedModeNotice(mode, m_language)), kSavedModeNoticeMs);
        }
    });
    MarkModeButton();
}

void MainWindow::ModesReset(int mode) {
    if (mode >= 0 && mode < kModes) {
        m_modes->LoadSent(mode);
    } else {
        m_modes->ModesReset();
    }
}

void MainWindow::OnLoadFile() {
    LoadFile(std::nullopt);
}

// The write-all runs whether or not a device is connected: the controls show the loaded set either way.
void MainWindow::LoadFile(const std::optional<std::string>& path) {
    if (!m_modes->MayLeave(ModeChanges::Leaving::LoadFile, ModeChanges::kNoMode,
                           [this, path] { LoadFile(path); })) {
        return;
    }
    const WindowUndo::Edit step(*m_undo, UndoSource::Of(UndoSource::Kind::Command, kLoadFileButton),
                                kLoadFileAction.In(m_language), true);
    if ((path ? LoadModeFile(*path) : LoadModeDataFile()) != 1) {
        return;
    }
    m_session.SynchronizeData(true);
    ShowSyncDialog(this);
}

void MainWindow::OnSaveFile() {
    if (SaveModeDataFile() == 1) {
        ShowNotice(Utf8(kFileSaved.In(m_language)), kNoticeMs);
    }
}

int MainWindow::SaveModeDataFile() {
    const QString chosen = m_hooks.chooseModeFile(*this, true);
    if (chosen.isEmpty()) {
        return 0;
    }
    UserSettings::RememberFolder(QLatin1String(UserSettings::kSaveModeFileFolder), chosen);
    const std::string chosenPath = QFile::encodeName(chosen).toStdString();
    const std::string path = WithModeFileExtension(chosenPath);
    // The file dialog asked about replacing the name it was given, not about the one saved.
    std::error_code error;
    if (path != chosenPath && std::filesystem::exists(path, error)) {
        const QString question =
            Utf8(kReplaceFileQuestion.In(m_language)).arg(QFile::decodeName(path.c_str()));
        if (!Ask(Utf8(kConfirmCaption.In(m_language)), question)) {
            return 0;
        }
    }
    const ModeDataFile::Result result = ModeDataFile::SaveData(m_session, path, m_language);
    if (!result.ok) {
        Warn(QString::fromStdString(result.caption), QString::fromStdString(result.message));
        return -1;
    }
    return 1;
}

int MainWindow::LoadModeDataFile() {
    const QString chosen = m_hooks.chooseModeFile(*this, false);
    if (chosen.isEmpty()) {
        return 0;
    }
    UserSettings::RememberFolder(QLatin1String(UserSettings::kLoadModeFileFolder), chosen);
    // The file the user chose, under its own name.
    return LoadModeFile(QFile::encodeName(chosen).toStdString());
}

int MainWindow::LoadModeFile(const std::string& path) {
    const ModeDataFile::Result result = ModeDataFile::LoadData(m_session, path, m_language);
    if (!result.ok) {
        Trace("Mode data file refused: %s: %s\n", result.caption.c_str(), result.message.c_str());
        Warn(QString::fromStdString(result.caption), QString::fromStdString(result.message));
        return -1;
    }
    Trace("Mode data file loaded: %s\n", path.c_str());
    return 1;
}

void MainWindow::OnFlatEq() {
    const int page = m_eqPage;
    const char* question = FlatEqQuestion(page, m_language);
    if (question == nullptr || !Ask(kConfirmCaption.In(m_language), question)) {
        return;
    }
    const WindowUndo::Edit step(
        *m_undo, UndoSource::Of(UndoSource::Kind::Command, kFlatEqButton),
        kFlatAction.In(m_language) + ParameterTitle(GraphicBankName(page), m_language));
    m_session.Store().FlattenGraphicEq(static_cast<std::size_t>(GraphicBandParameter(page, 0)->Position()));
    ShowNotice(Utf8(kFlatEqDone.In(m_language)), kNoticeMs);
}

void MainWindow::OnFlatPeq() {
    const bool micView = m_micView != 0;
    if (!Ask(kConfirmCaption.In(m_language),
             (micView ? kFlatMicPeqQuestion : kFlatMusicPeqQuestion).In(m_language))) {
        return;
    }
    const WindowUndo::Edit step(
        *m_undo, UndoSource::Of(UndoSource::Kind::Command, kFlatPeqButton),
        kFlatAction.In(m_language) + ParameterTitle(micView ? "PEQOn_Mic" : "PEQOn_Music", m_language));
    if (micView) {
        m_session.Store().FlattenPeq(pos::PEQ_Mic);
    } else {
        m_session.Store().FlattenPeq(pos::PEQ_Music);
    }
    ShowNotice(Utf8((micView ? kMicPeqFlat : kMusicPeqFlat).In(m_language)), kNoticeMs);
}

void MainWindow::OnDefaultMicEq() {
    if (!Ask(kConfirmCaption.In(m_language), kDefaultMicEqQuestion.In(m_language))) {
        return;
    }
    const WindowUndo::Edit step(*m_undo, UndoSource::Of(UndoSource::Kind::Command, kDefaultEqButton),
                                kDefaultMicEqAction.In(m_language));
    m_session.Store().SetMicGraphicEqOfMode1();
    ShowNotice(Utf8(kDefaultMicEqDone.In(m_language)), kNoticeMs);
}

void MainWindow::OnSwitchLanguage() {
    ApplyLanguage(m_language == kChinese ? kEnglish : kChinese);
    m_undo->UpdateActions();
    UserSettings::Write(QLatin1String(UserSettings::kLanguage), m_language);
}

void MainWindow::OnAbout() {
    AboutDialog about(m_session, this);
    about.exec();
}

void MainWindow::OnOther() {
    OtherFunctionsDialog dialog(m_session, *this, this);
    dialog.exec();
}

// A read-all with the progress dialog, as after connecting: the panel shows what the amplifier holds now,
// also what its own keys changed.
void MainWindow::Synchronise() {
    if (IsSyncing() || DeviceCommandGate::Obstacle(m_session)) {
        return;
    }
    m_session.SynchronizeData(false);
    ShowSyncDialog(this);
}

}  // namespace varnoth
