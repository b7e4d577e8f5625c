// The main window's commands: memory modes, mode data files, the equalisers' resets, the language, the
// about box, the machine settings and the reset dialog; the window's keys; the standard hooks.

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>

#include <filesystem>
#include <string>
#include <thread>

#include "app/CAboutDlg.h"
#include "app/CVarnothApp.h"
#include "app/CVarnothDlg.h"
#include "app/Language.h"
#include "app/MainWindowTemplate.h"
#include "app/MainWindowTexts.h"
#include "features/CDialogReset.h"
#include "features/COtherDlg.h"
#include "features/CUpgradeDlg.h"
#include "files/ModeDataFile.h"
#include "model/CVQ421Dll.h"

namespace varnoth {

using namespace mainwin;

namespace {

constexpr int kNoticeMs = 1200;
constexpr int kSavedModeNoticeMs = 1000;

// The reset of graphic EQ page 0..3: centre, microphone, music, subwoofer.
constexpr void (CK750Dll::*kGeqResets[kEqPages])() = {
    &CK750Dll::ResetCenterGEQ,
    &CK750Dll::ResetMicGEQ,
    &CK750Dll::ResetMusicGEQ,
    &CK750Dll::ResetSubGEQ,
};

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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front();
}

// The upgrade dialog behind the hooks that address it.
template <class Reaction>
auto ForUpgradeDialog(Reaction reaction) {
    return [reaction](QDialog& dialog) {
        if (auto* upgrade = qobject_cast<CUpgradeDlg*>(&dialog)) {
            reaction(*upgrade);
        }
    };
}

}  // namespace

void CVarnothDlg::DefaultHooks() {
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
            return std::make_unique<CUpgradeDlg>(m_upgradeSession, *this, &owner);
        };
    }
    if (!m_hooks.upgradeArrival) {
        m_hooks.upgradeArrival = ForUpgradeDialog([](CUpgradeDlg& dialog) { dialog.OnArrival(true); });
    }
    if (!m_hooks.upgradeDeviceGone) {
        m_hooks.upgradeDeviceGone = ForUpgradeDialog([](CUpgradeDlg& dialog) { dialog.OnRemoval(); });
    }
    if (!m_hooks.upgradeDone) {
        m_hooks.upgradeDone = ForUpgradeDialog([](CUpgradeDlg& dialog) { dialog.OnUpgradeDone(); });
    }
}

void CVarnothDlg::ConnectCommands() {
    const auto onClick = [this](int id, auto handler) {
        connect(Control<QAbstractButton>(id), &QAbstractButton::clicked, this, handler);
    };
    for (int mode = 0; mode < kModes; ++mode) {
        onClick(kLoadModeButton + mode, [this, mode] { OnLoadMode(mode); });
        onClick(kSaveModeButton + mode, [this, mode] { OnSaveMode(mode); });
    }
    onClick(kLoadFileButton, [this] { OnLoadFile(); });
    onClick(kSaveFileButton, [this] { OnSaveFile(); });
    onClick(kFlatEqButton, [this] { OnFlatEq(); });
    onClick(kFlatPeqButton, [this] { OnFlatPeq(); });
    onClick(kDefaultEqButton, [this] { OnDefaultMicEq(); });
    onClick(kLanguageButton, [this] { OnSwitchLanguage(); });
    onClick(kAboutButton, [this] { OnAbout(); });
    onClick(kSettingsButton, [this] { OpenSettingsDialog(); });
    onClick(kOtherButton, [this] { OnOther(); });
    // The window sees every key meant for it or its controls before they do.
    qApp->installEventFilter(this);
}

bool CVarnothDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (key->key() == Qt::Key_F11 && key->modifiers().testFlag(Qt::ControlModifier) &&
            widget != nullptr && widget->window() == this) {
            OpenSettingsDialog();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CVarnothDlg::OpenSettingsDialog() {
    if (!m_pOtherDlg) {
        m_pOtherDlg = new COtherDlg(m_session, *this, this);
    }
    m_pOtherDlg->show();
    m_pOtherDlg->raise();
    m_pOtherDlg->activateWindow();
}

COtherDlg* CVarnothDlg::SettingsDialog() const {
    return m_pOtherDlg.data();
}

bool CVarnothDlg::ModeLocked(bool save) {
    const CMachineSet& machine = m_session.GetMachineSet();
    const std::uint8_t bit = save ? machine.Get_Lock_SaveMode() : machine.Get_Lock_LoadMode();
    if (machine.Get_EnableLockFunc() == 0 || bit == 0) {
        return false;
    }
    ShowNotice(Utf8((save ? kSaveModeLocked : kLoadModeLocked).In(m_nLanguage)), kNoticeMs);
    return true;
}

void CVarnothDlg::OnLoadMode(int mode) {
    if (m_session.IsConnected() == 0 || ModeLocked(false)) {
        return;
    }
    m_session.LoadMode(mode, 1);
    ShowSyncDialog(this);
}

void CVarnothDlg::OnSaveMode(int mode) {
    if (m_session.IsConnected() == 0 || ModeLocked(true)) {
        return;
    }
    m_session.SaveMode(mode);
    std::this_thread::sleep_for(m_timing.saveModePause);
    ShowNotice(QString::fromStdString(SavedModeNotice(mode, m_nLanguage)), kSavedModeNoticeMs);
    MarkModeButton();
}

// The write-all runs whether or not a device is connected: the controls show the loaded set either way.
void CVarnothDlg::OnLoadFile() {
    if (LoadEffectData() != 1) {
        return;
    }
    m_session.SynchronizeData(true);
    ShowSyncDialog(this);
}

void CVarnothDlg::OnSaveFile() {
    if (SaveEffectData() == 1) {
        ShowNotice(Utf8(kFileSaved.In(m_nLanguage)), kNoticeMs);
    }
}

int CVarnothDlg::SaveEffectData() {
    const QString chosen = m_hooks.chooseModeFile(*this, true);
    if (chosen.isEmpty()) {
        return 0;
    }
    const std::string chosenPath = QFile::encodeName(chosen).toStdString();
    const std::string path = WithModeFileExtension(chosenPath);
    // The file dialog asked about replacing the name it was given, not about the one saved.
    std::error_code error;
    if (path != chosenPath && std::filesystem::exists(path, error)) {
        const QString question =
            Utf8(kReplaceFileQuestion.In(m_nLanguage)).arg(QFile::decodeName(path.c_str()));
        if (!Ask(Utf8(kConfirmCaption), question)) {
            return 0;
        }
    }
    const ModeDataFile::Result result = ModeDataFile::SaveData(m_session, path);
    if (!result.ok) {
        m_hooks.warning(*this, QString::fromStdString(result.caption),
                        QString::fromStdString(result.message));
        return -1;
    }
    return 1;
}

int CVarnothDlg::LoadEffectData() {
    const QString chosen = m_hooks.chooseModeFile(*this, false);
    if (chosen.isEmpty()) {
        return 0;
    }
    const std::string path = WithModeFileExtension(QFile::encodeName(chosen).toStdString());
    const ModeDataFile::Result result = ModeDataFile::LoadData(m_session, path);
    if (!result.ok) {
        m_hooks.warning(*this, QString::fromStdString(result.caption),
                        QString::fromStdString(result.message));
        return -1;
    }
    return 1;
}

void CVarnothDlg::OnFlatEq() {
    const int page = m_nEqPage;
    const char* question = FlatEqQuestion(page, m_nLanguage);
    if (question == nullptr || !Ask(kConfirmCaption, question)) {
        return;
    }
    (m_session.*kGeqResets[page])();
    ShowEqPage(page);
    ShowNotice(Utf8(kFlatEqDone.In(m_nLanguage)), kNoticeMs);
}

void CVarnothDlg::OnFlatPeq() {
    const bool micView = m_bMicView != 0;
    if (!Ask(kConfirmCaption, micView ? kFlatMicPeqQuestion : kFlatMusicPeqQuestion)) {
        return;
    }
    if (micView) {
        m_session.SetPEQ_Reset_Mic();
    } else {
        m_session.SetPEQ_Reset_Music();
    }
    RefreshPeq();
    ShowNotice(Utf8((micView ? kMicPeqFlat : kMusicPeqFlat).In(m_nLanguage)), kNoticeMs);
}

void CVarnothDlg::OnDefaultMicEq() {
    if (!Ask(kConfirmCaption, kDefaultMicEqQuestion.In(m_nLanguage))) {
        return;
    }
    m_session.ResetMicMode1GEQ();
    ShowEqPage(m_nEqPage);
    ShowNotice(Utf8(kDefaultMicEqDone.In(m_nLanguage)), kNoticeMs);
}

void CVarnothDlg::OnSwitchLanguage() {
    ApplyLanguage(m_nLanguage == kChinese ? kEnglish : kChinese);
    CVarnothApp::WriteSetting(QLatin1String(CVarnothApp::kLanguageSetting), m_nLanguage);
}

void CVarnothDlg::OnAbout() {
    CAboutDlg about(m_session, this);
    about.exec();
}

void CVarnothDlg::OnOther() {
    CDialogReset dialog(m_session, *this, this);
    dialog.exec();
}

}  // namespace varnoth
