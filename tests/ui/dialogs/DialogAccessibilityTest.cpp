// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAccessible>
#include <QLabel>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "FakeUpgradeSession.h"
#include "ModalHelpers.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/DialogBuilder.h"
#include "ui/dialogs/FeatureTexts.h"
#include "ui/dialogs/KeyLearningDialog.h"
#include "ui/dialogs/MachineSettingsDialog.h"
#include "ui/dialogs/MachineSettingsForm.h"
#include "ui/dialogs/OtherFunctionsDialog.h"
#include "ui/dialogs/RemoteKeys.h"
#include "ui/dialogs/RemoteLearningDialog.h"
#include "ui/dialogs/SyncProgressDialog.h"
#include "ui/dialogs/UpgradeDialog.h"

namespace varnoth::test {
namespace {

QAccessibleInterface* Of(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget);
}

void Walk(QAccessibleInterface* node, std::vector<QAccessibleInterface*>& all) {
    for (int i = 0; i < node->childCount(); ++i) {
        if (QAccessibleInterface* child = node->child(i)) {
            all.push_back(child);
            Walk(child, all);
        }
    }
}

// Every control of the dialog that Tab reaches has a role and a name a screen reader can speak.
void ExpectEveryControlNamed(QWidget& dialog, const char* what) {
    SCOPED_TRACE(what);
    std::vector<QAccessibleInterface*> all;
    Walk(Of(&dialog), all);
    int controls = 0;
    for (QAccessibleInterface* node : all) {
        auto* widget = qobject_cast<QWidget*>(node->object());
        if (widget == nullptr || !widget->isVisibleTo(&dialog) ||
            (widget->focusPolicy() & Qt::TabFocus) == 0) {
            continue;
        }
        ++controls;
        EXPECT_FALSE(node->text(QAccessible::Name).trimmed().isEmpty())
            << "control " << ControlIdOf(*widget) << " (" << widget->metaObject()->className()
            << ") has no name";
        EXPECT_NE(node->role(), QAccessible::Client) << "control " << ControlIdOf(*widget) << " has no role";
    }
    EXPECT_GT(controls, 0);
}

TEST(DialogAccessibility, EveryControlOfEveryDialogIsNamedInBothLanguages) {
    SimRig rig;
    FakeUpgradeSession upgrade;
    for (const int language : {kChinese, kEnglish}) {
        SCOPED_TRACE(language == kChinese ? "Chinese" : "English");
        rig.Speak(language);
        MachineSettingsDialog settings(rig.session, rig.host);
        ExpectEveryControlNamed(settings, "machine settings");
        OtherFunctionsDialog other(rig.session, rig.host);
        ExpectEveryControlNamed(other, "other functions");
        RemoteLearningDialog remote(rig.session, rig.host);
        ExpectEveryControlNamed(remote, "remote learning");
        UpgradeDialog upgradeDialog(upgrade, rig.host);
        ExpectEveryControlNamed(upgradeDialog, "upgrade");
        AboutDialog about(rig.session);
        ExpectEveryControlNamed(about, "about");
        KeyLearningDialog study(QStringLiteral("key"), rig.session.GetRemote(), language);
        ExpectEveryControlNamed(study, "key learning");
    }
}

// A screen reader meets a dialog's controls inside the group drawn around them, and the group's title labels
// them: "Reset Mode", then "M1".
TEST(DialogAccessibility, ControlsLieInsideTheGroupDrawnAroundThemWhichLabelsThem) {
    SimRig rig;
    UseLanguage(kEnglish);
    rig.host.language = kEnglish;
    MachineSettingsDialog settings(rig.session, rig.host);
    OtherFunctionsDialog other(rig.session, rig.host);
    struct Case {
        QWidget& dialog;
        int control;
        int group;
    };
    const Case cases[] = {
        {other, OtherFunctionsDialog::kFirstModeId + 3, 1157},
        {other, OtherFunctionsDialog::kUpgradeId, 1158},
        {settings, MachineSettingsForm::kVolByRandomId, MachineSettingsForm::kVolModeGroupId},
        {settings, MachineSettingsForm::SliderRows().front().sliderId, MachineSettingsForm::kMachineGroupId},
    };
    for (const Case& c : cases) {
        QWidget* control = FindControl(c.dialog, c.control);
        QWidget* group = FindControl(c.dialog, c.group);
        SCOPED_TRACE(ControlText(*group).toStdString());
        EXPECT_EQ(Of(control)->parent()->object(), group);
        EXPECT_EQ(Of(group)->role(), QAccessible::Grouping);
        EXPECT_TRUE(group->rect().contains(control->geometry())) << "the group cuts the control";
        bool labelled = false;
        for (const auto& [label, relation] : Of(control)->relations(QAccessible::Label)) {
            labelled = labelled || label->object() == group;
        }
        EXPECT_TRUE(labelled) << "the group's title labels the control";
    }
}

TEST(DialogAccessibility, TheSettingsSlidersAreNamedByTheirRowsAndSpeakAndTakeTheirValueAsTheUsersMoves) {
    SimRig rig;
    ASSERT_TRUE(rig.Connect());
    for (const int language : {kChinese, kEnglish}) {
        SCOPED_TRACE(language);
        rig.Speak(language);
        MachineSettingsDialog dialog(rig.session, rig.host);
        for (const MachineSettingsForm::SliderRow& row : MachineSettingsForm::SliderRows()) {
            const QString title = FindControl<QLabel>(dialog, row.titleId)->text();
            QAccessibleInterface* slider = Of(FindControl(dialog, row.sliderId));
            EXPECT_EQ(slider->role(), QAccessible::Slider);
            EXPECT_EQ(slider->text(QAccessible::Name), title);
            if (row.onBoxId != 0) {
                const QString box = Of(FindControl(dialog, row.onBoxId))->text(QAccessible::Name);
                EXPECT_TRUE(box.startsWith(title)) << "the ON box says which row it switches";
            }
            if (!FindControl(dialog, row.sliderId)->isEnabled()) {
                continue;
            }
            EXPECT_EQ(slider->text(QAccessible::Value), FindControl<QLabel>(dialog, row.valueId)->text());
            const int before = slider->valueInterface()->currentValue().toInt();
            slider->valueInterface()->setCurrentValue(before == 10 ? 11 : 10);
            EXPECT_EQ(FindControl<QLabel>(dialog, row.valueId)->text(), slider->text(QAccessible::Value))
                << "the row shows the value set, as after a drag";
            EXPECT_NE(slider->valueInterface()->currentValue().toInt(), before);
        }
    }
}

TEST(DialogAccessibility, RemoteKeysAreNamedAndTabbedRowByRowFromTheTopLeft) {
    SimRig rig;
    for (const int language : {kChinese, kEnglish}) {
        rig.host.language = language;
        RemoteLearningDialog dialog(rig.session, rig.host);
        std::vector<QWidget*> order;
        QWidget* first = FindControl(dialog, kRemoteKeys[0].id);
        for (const RemoteKey& key : kRemoteKeys) {
            QWidget* area = FindControl(dialog, key.id);
            EXPECT_EQ(Of(area)->text(QAccessible::Name), QString::fromStdString(KeyName(key, language)));
            EXPECT_FALSE(Of(area)->text(QAccessible::Name).contains(QStringLiteral("studying")));
            if (area->y() < first->y() || (area->y() == first->y() && area->x() < first->x())) {
                first = area;
            }
        }
        // From the top left key, Tab visits every key before the buttons, never going back up a row.
        QWidget* at = first;
        for (std::size_t i = 1; i < kRemoteKeys.size(); ++i) {
            QWidget* next = at->nextInFocusChain();
            EXPECT_GE(next->y() + next->height() / 2, at->y()) << "Tab went up from " << ControlIdOf(*at);
            if (next->y() < at->y() + at->height() / 2) {
                EXPECT_GT(next->x(), at->x()) << "Tab went left on a row at " << ControlIdOf(*at);
            }
            at = next;
        }
        EXPECT_EQ(ControlIdOf(*at->nextInFocusChain()), RemoteLearningDialog::kApplyId);
    }
    EXPECT_EQ(KeyName(kRemoteKeys[0], kEnglish), "Load Mode key 1");
}

TEST(DialogAccessibility, PicturesThatCarryMeaningHaveATextAlternative) {
    SimRig rig;
    FakeUpgradeSession upgrade;
    rig.host.language = kEnglish;
    UpgradeDialog dialog(upgrade, rig.host);
    const auto status = [&] {
        return Of(FindControl(dialog, UpgradeDialog::kStatusId))->text(QAccessible::Name);
    };
    EXPECT_EQ(status(), QString::fromStdString(FeatureTextOf(FeatureText::StatusNotInUpgradeMode, kEnglish)));
    // The amplifier arrives in upgrade mode, and the user has agreed to upgrade it.
    dialog.OnArrival(true);
    EXPECT_EQ(status(), QString::fromStdString(FeatureTextOf(FeatureText::StatusInUpgradeMode, kEnglish)));
    AboutDialog about(rig.session);
    bool described = false;
    for (QLabel* label : about.findChildren<QLabel*>()) {
        described = described || Of(label)->text(QAccessible::Name).startsWith(QStringLiteral("Signal flow"));
    }
    EXPECT_TRUE(described) << "the signal flow diagram has no text alternative";
}

}  // namespace
}  // namespace varnoth::test
