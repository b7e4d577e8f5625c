// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFontMetrics>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "DialogTestSupport.h"
#include "FakeUpgradeSession.h"
#include "LayoutCheck.h"
#include "PointerReach.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/KeyLearningDialog.h"
#include "ui/dialogs/MachineSettingsDialog.h"
#include "ui/dialogs/Notice.h"
#include "ui/dialogs/OtherFunctionsDialog.h"
#include "ui/dialogs/RemoteKeys.h"
#include "ui/dialogs/RemoteLearningDialog.h"
#include "ui/dialogs/SyncProgressDialog.h"
#include "ui/dialogs/UpgradeDialog.h"

namespace varnoth::test {
namespace {

void ExpectFits(const QWidget& dialog, const char* name) {
    const std::vector<std::string> problems = LayoutProblems(dialog);
    EXPECT_TRUE(problems.empty()) << name << ":" << Lines(problems);
}

// Runs a check over every feature dialog as it first shows, in the language.
void ForEveryDialog(int language, const std::function<void(QWidget& dialog, const char* name)>& check) {
    SimRig rig;
    FakeUpgradeSession upgrade;
    rig.Speak(language);
    const auto show = [&](QWidget&& dialog, const char* name) {
        dialog.show();
        check(dialog, name);
    };
    show(MachineSettingsDialog(rig.session, rig.host), "machine settings");
    show(OtherFunctionsDialog(rig.session, rig.host), "other functions");
    show(RemoteLearningDialog(rig.session, rig.host), "remote learning");
    show(UpgradeDialog(upgrade, rig.host), "upgrade");
    show(AboutDialog(rig.session), "about");
    show(SyncProgressDialog(nullptr, {}, language), "progress");
    QString longest;
    for (const RemoteKey& key : kRemoteKeys) {
        const QString prompt = QString::fromStdString(KeyPrompt(key, language));
        if (prompt.size() > longest.size()) {
            longest = prompt;
        }
    }
    show(KeyLearningDialog(longest, rig.session.GetRemote(), language), "key learning");
}

// Every text of every feature dialog fits its control with the fonts this system has, in both languages,
// keeps clear of the controls beside it and of the title and top line of the group around it, and no two
// controls overlap unless a group box holds one.
TEST(DialogLayout, EveryTextFitsAndNoControlsOverlapInBothLanguages) {
    for (const int language : {kChinese, kEnglish}) {
        SCOPED_TRACE(language == kChinese ? "Chinese" : "English");
        ForEveryDialog(language, ExpectFits);
    }
}

// Every visible, enabled control of every dialog takes the mouse at its centre: no group or other widget
// lies over it, in either language.
TEST(DialogLayout, EveryControlOfEveryDialogIsReachedByThePointer) {
    for (const int language : {kChinese, kEnglish}) {
        SCOPED_TRACE(language == kChinese ? "Chinese" : "English");
        ForEveryDialog(language, [](QWidget& dialog, const char* name) {
            const std::vector<std::string> problems = ControlsOutOfReach(dialog);
            EXPECT_TRUE(problems.empty()) << name << ":" << Lines(problems);
        });
    }
}

// The notice grows to hold its text, whatever its length, in the notice's own large font.
TEST(DialogLayout, TheNoticeHoldsItsWholeText) {
    for (const char* text : {"升级完成，请重启设备!", "Mic vol locked!", "错误,建议重连设备",
                             "Please connect the device first, then try the upgrade again"}) {
        Notice notice(nullptr, kEnglish);
        notice.SetNotice(QString::fromUtf8(text), 3600 * 1000);
        ExpectFits(notice, text);
    }
}

}  // namespace
}  // namespace varnoth::test
