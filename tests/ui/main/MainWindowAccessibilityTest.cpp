// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QScrollArea>
#include <QTest>

#include <cmath>
#include <string>
#include <vector>

#include "MainWindowFixture.h"
#include "ui/controls/EqBandAccessible.h"
#include "ui/controls/EqGraph.h"
#include "ui/controls/SliderAccessible.h"
#include "ui/dialogs/Notice.h"
#include "ui/main/EditRules.h"
#include "ui/main/MainWindowTemplate.h"
#include "ui/main/MainWindowTexts.h"
#include "ui/main/StepText.h"
#include "ui/main/WindowGroups.h"
#include "ui/main/WindowParams.h"

namespace varnoth::test {
namespace {

using namespace mainwin;

QAccessibleInterface* Of(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget);
}

QString Name(QWidget* widget) {
    return Of(widget)->text(QAccessible::Name);
}

void Walk(QAccessibleInterface* node, std::vector<QAccessibleInterface*>& all) {
    for (int i = 0; i < node->childCount(); ++i) {
        if (QAccessibleInterface* child = node->child(i)) {
            all.push_back(child);
            Walk(child, all);
        }
    }
}

// Every control a user can reach by Tab, as the tree shows it.
std::vector<QAccessibleInterface*> FocusableControls(QWidget& window) {
    std::vector<QAccessibleInterface*> all;
    Walk(Of(&window), all);
    std::vector<QAccessibleInterface*> focusable;
    for (QAccessibleInterface* node : all) {
        auto* widget = qobject_cast<QWidget*>(node->object());
        // A window larger than the screen holds its controls in a scroll area, a frame rather than a control.
        if (widget != nullptr && widget->isVisibleTo(&window) &&
            (widget->focusPolicy() & Qt::TabFocus) != 0 && qobject_cast<QScrollArea*>(widget) == nullptr) {
            focusable.push_back(node);
        }
    }
    return focusable;
}

double ShownNumberOf(const QString& text) {
    const auto number = SliderAccessible::ShownNumber(text);
    return number ? *number : std::nan("");
}

class MainWindowAccessibility : public MainWindowTest {
  protected:
    void OpenShown(int language) {
        MainWindowTest::OpenShown(language);
        if (!Ctl<QCheckBox>(kCompressOnBox).isChecked()) {
            Ctl<QCheckBox>(kCompressOnBox).click();
        }
        Drain();
    }
};

TEST_F(MainWindowAccessibility, EveryControlHasARoleAndANameAndEverySliderSpeaksItsLabelInBothLanguages) {
    for (const int language : {0, 1}) {
        SCOPED_TRACE(language == 0 ? "Chinese" : "English");
        OpenShown(language);
        EXPECT_EQ(Of(&Window())->role(), QAccessible::Window) << "the main window is no dialog to the user";

        const std::vector<QAccessibleInterface*> controls = FocusableControls(Window());
        int named = 0;
        for (QAccessibleInterface* control : controls) {
            auto* widget = qobject_cast<QWidget*>(control->object());
            const QString name = control->text(QAccessible::Name);
            EXPECT_FALSE(name.trimmed().isEmpty()) << widget->metaObject()->className() << " "
                                                   << widget->objectName().toStdString() << " has no name";
            EXPECT_NE(control->role(), QAccessible::Client) << name.toStdString() << " has no role";
            named += name.trimmed().isEmpty() ? 0 : 1;
        }
        RecordProperty(language == 0 ? "focusable_named_zh" : "focusable_named_en",
                       std::to_string(named) + " of " + std::to_string(controls.size()));

        for (const SliderEdit& edit : SliderEdits()) {
            QAccessibleInterface* slider = Of(&Ctl<QWidget>(edit.id));
            const std::string title = ParameterTitle(OnPath(edit.parameter, true), language);
            SCOPED_TRACE(title);
            EXPECT_EQ(slider->role(), QAccessible::Slider);
            EXPECT_EQ(slider->text(QAccessible::Name).toLower(), QString::fromStdString(title).toLower());
            const QString shown = Text(edit.valueLabel);
            EXPECT_EQ(slider->text(QAccessible::Value), shown) << "the spoken value is what the label shows";
            QAccessibleValueInterface* value = slider->valueInterface();
            ASSERT_NE(value, nullptr);
            const double number = ShownNumberOf(shown);
            if (!std::isnan(number)) {
                EXPECT_DOUBLE_EQ(value->currentValue().toDouble(), number);
            }
            EXPECT_LE(value->minimumValue().toDouble(), value->currentValue().toDouble());
            EXPECT_GE(value->maximumValue().toDouble(), value->currentValue().toDouble());
            EXPECT_LT(value->minimumValue().toDouble(), value->maximumValue().toDouble());
            QAccessibleActionInterface* actions = slider->actionInterface();
            ASSERT_NE(actions, nullptr);
            EXPECT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::increaseAction()));
            EXPECT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::decreaseAction()));
        }
        // The two effects' filters are told apart by name.
        EXPECT_NE(Name(&Ctl<QWidget>(kEffect1SendSlider + 1)), Name(&Ctl<QWidget>(kEffect2SendSlider + 1)));
        Close();
    }
}

TEST_F(MainWindowAccessibility, TooltipsAndDescriptionsAreInTheWindowsLanguage) {
    OpenShown(1);
    for (const Tooltip& tip : Tooltips()) {
        EXPECT_EQ(Ctl<QWidget>(tip.id).toolTip(), QString::fromUtf8(tip.text.english)) << tip.id;
    }
    EXPECT_EQ(Of(&Ctl<QWidget>(kMicVolSlider))->text(QAccessible::Description).isEmpty(), false);
    Window().ApplyLanguage(0);
    EXPECT_EQ(Ctl<QWidget>(kMicVolSlider).toolTip(), QString::fromUtf8(Tooltips()[7].text.chinese));
    EXPECT_EQ(Name(&Ctl<QWidget>(kGainSlider)),
              QString::fromUtf8(Named("InputGain_Mic").param->title.chinese));
}

// Every way a value changes takes the user's path to the amplifier: the value set by assistive technology,
// and its increase and decrease actions, are written as a drag is.
TEST_F(MainWindowAccessibility, AValueSetThroughTheAccessibleInterfaceReachesTheAmplifier) {
    OpenShown(1);
    struct Case {
        const char* parameter;
        double wanted;
    };
    const Case cases[] = {
        {"InputGain_Mic", 70},
        {"MicVol", 30},
        {"CompressThreshold_Mic", -20},
        {"EffectDelayTime.0", 300},
    };
    for (const Case& c : cases) {
        const SliderEdit& edit = SliderOf(c.parameter);
        SCOPED_TRACE(c.parameter);
        QAccessibleValueInterface* value = Of(&Ctl<QWidget>(edit.id))->valueInterface();
        const double before = value->currentValue().toDouble();
        value->setCurrentValue(c.wanted);
        Drain();
        const double after = value->currentValue().toDouble();
        EXPECT_NE(after, before);
        EXPECT_LE(std::abs(after - c.wanted), std::abs(before - c.wanted));
        EXPECT_EQ(ShownNumberOf(Text(edit.valueLabel)), after) << "the label shows what was set";
        const auto position = static_cast<std::size_t>(edit.parameter.Position());
        EXPECT_EQ(DeviceValue(position), StoreValue(position)) << "the amplifier holds it";
        EXPECT_EQ(edit.parameter.Shown(DeviceValue(position), 1), Text(edit.valueLabel).toStdString());
    }

    // The gain's numbers grow downward on the slider: increase raises the label all the same.
    QAccessibleInterface* gain = Of(&Ctl<QWidget>(kGainSlider));
    const double before = gain->valueInterface()->currentValue().toDouble();
    gain->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
    Drain();
    EXPECT_EQ(ShownNumberOf(Text(SliderOf("InputGain_Mic").valueLabel)), before + 1);
    EXPECT_EQ(DeviceValue(pos::InputGain_Mic), before + 1);
    gain->actionInterface()->doAction(QAccessibleActionInterface::decreaseAction());
    gain->actionInterface()->doAction(QAccessibleActionInterface::decreaseAction());
    Drain();
    EXPECT_EQ(DeviceValue(pos::InputGain_Mic), before - 1);
}

TEST_F(MainWindowAccessibility, PictureButtonsAreNamedAndTellWhichIsSelected) {
    OpenShown(1);
    for (int mode = 0; mode < kModes; ++mode) {
        EXPECT_EQ(Name(&Ctl<QWidget>(kLoadModeButton + mode)), QStringLiteral("Load mode %1").arg(mode + 1));
        EXPECT_EQ(Name(&Ctl<QWidget>(kSaveModeButton + mode)), QStringLiteral("Save mode %1").arg(mode + 1));
    }
    EXPECT_EQ(Name(&Ctl<QWidget>(kMicViewButton)), QStringLiteral("Mic Control"));
    const auto checked = [&](int id) { return Of(&Ctl<QWidget>(id))->state().checked != 0; };
    EXPECT_TRUE(Of(&Ctl<QWidget>(kMicViewButton))->state().checkable);
    EXPECT_EQ(checked(kMicViewButton), Window().MicView() != 0);
    EXPECT_EQ(checked(kMusicViewButton), Window().MicView() == 0);
    for (int page = 0; page < kEqPages; ++page) {
        EXPECT_EQ(checked(PageButton(page)), page == Window().EqPage()) << page;
    }

    Of(&Ctl<QWidget>(Window().MicView() != 0 ? kMusicViewButton : kMicViewButton))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    Drain();
    EXPECT_EQ(checked(kMicViewButton), Window().MicView() != 0);
    // The sliders now name the other path.
    EXPECT_EQ(
        Name(&Ctl<QWidget>(kGainSlider)).toLower(),
        QString::fromStdString(ParameterTitle(OnPath(Named("InputGain_Mic"), Window().MicView() != 0), 1))
            .toLower());

    Ctl<QAbstractButton>(kLoadModeButton + 2).click();
    Drain();
    EXPECT_TRUE(checked(kLoadModeButton + 2));
    EXPECT_FALSE(checked(kSaveModeButton + 2)) << "a save button is no selector";
}

TEST_F(MainWindowAccessibility, EqGraphsShowEachBandAsAChildAndTheOtherPicturesTellTheirState) {
    OpenShown(1);
    for (const int id : {kPeqPanel, kGraphicPanel}) {
        auto& graph = Ctl<EqGraph>(id);
        QAccessibleInterface* node = Of(&graph);
        ASSERT_EQ(node->childCount(), graph.PointCount());
        for (int band = 0; band < graph.PointCount(); ++band) {
            QAccessibleInterface* child = node->child(band);
            ASSERT_NE(child, nullptr);
            EXPECT_EQ(child->text(QAccessible::Name), QStringLiteral("Band %1").arg(band + 1));
            EXPECT_EQ(child->parent(), node);
            EXPECT_EQ(node->indexOfChild(child), band);
            const QString value = child->text(QAccessible::Value);
            EXPECT_EQ(value, EqBandAccessible::ValueText(graph.Point(band), graph));
            EXPECT_TRUE(value.contains(QStringLiteral("Hz")) && value.contains(QStringLiteral("dB")))
                << value.toStdString();
        }
    }
    // A peaking band of the parametric EQ tells its Q.
    EXPECT_TRUE(
        Of(&Ctl<QWidget>(kPeqPanel))->child(1)->text(QAccessible::Value).contains(QStringLiteral("Q ")));

    for (const int id : {kLevelMeter1, kLevelMeter2}) {
        QAccessibleInterface* meter = Of(&Ctl<QWidget>(id));
        ASSERT_NE(meter->valueInterface(), nullptr);
        EXPECT_FALSE(meter->text(QAccessible::Name).isEmpty());
        EXPECT_TRUE(meter->text(QAccessible::Value).startsWith(QStringLiteral("Level ")));
    }
    const QString curve = Of(&Ctl<QWidget>(kCompressPanel))->text(QAccessible::Description);
    EXPECT_TRUE(curve.contains(Text(SliderOf("CompressThreshold_Mic").valueLabel))) << curve.toStdString();
    EXPECT_TRUE(curve.contains(Text(SliderOf("CompressRatio_Mic").valueLabel))) << curve.toStdString();
}

// A screen reader walks the window group by group: every control lies inside the frame drawn around it,
// and the effects and the compressor, which share a frame, are groups of their own within it.
TEST_F(MainWindowAccessibility, ControlsLieInsideTheirNamedGroups) {
    OpenShown(1);
    if (Window().MicView() == 0) {
        Ctl<QAbstractButton>(kMicViewButton).click();
        Drain();
    }
    struct Case {
        int control;
        const char* groups;  // from the inner group outwards
    };
    const Case cases[] = {
        {kGainSlider, "Mic channel"},
        {kPeqPanel, "Mic channel"},
        {kCompressOnBox, "Compressor/Mic channel"},
        {kCompressPresetList, "Compressor/Mic channel"},
        {kThresholdSlider, "Compressor/Mic channel"},
        {kEffect1List, "Effect 1/Effects"},
        {kEffect1SendSlider + 1, "Effect 1/Effects"},
        {kEffect2SendSlider + 1, "Effect 2/Effects"},
        {SliderOf("EffectFeedback.1").valueLabel, "Effect 2/Effects"},
        {kAutoSubBox, "Auto sub"},
        {kSubRateSlider, "Auto sub"},
        {kPhaseBox, "Subwoofer"},
        {kSubResonanceSlider, "Subwoofer"},
        {kGraphicPanel, "Mic EQ"},
        {kSubVolSlider, "Output volumes"},
        {kLoadModeButton, ""},
        {kMicPageButton, ""},
    };
    for (const Case& c : cases) {
        QStringList groups;
        for (QAccessibleInterface* node = Of(&Ctl<QWidget>(c.control))->parent();
             node != nullptr && node->object() != &Window(); node = node->parent()) {
            if (node->role() == QAccessible::Grouping) {
                groups.append(node->text(QAccessible::Name));
            }
        }
        EXPECT_EQ(groups.join(QLatin1Char('/')).toLower(), QString::fromUtf8(c.groups).toLower())
            << Name(&Ctl<QWidget>(c.control)).toStdString();
    }

    // A list speaks its current item as its name on this desktop, and a screen reader would speak a linked
    // caption instead: only its group labels it, and its description tells what it chooses.
    const auto labels = [&](int id) {
        QStringList names;
        for (const auto& [label, relation] : Of(&Ctl<QWidget>(id))->relations(QAccessible::Label)) {
            names.append(label->text(QAccessible::Name));
        }
        return names.join(QLatin1Char('/')).toStdString();
    };
    EXPECT_EQ(labels(kCompressPresetList), "Compressor");
    EXPECT_EQ(labels(kEffect2List), "Effect 2");
    EXPECT_EQ(Of(&Ctl<QWidget>(kEffect2List))->text(QAccessible::Description),
              QStringLiteral("Effect 2 preset"));

    // The graphic EQ's frame is named after the page it shows, in the window's language.
    Ctl<QAbstractButton>(kSubPageButton).click();
    Window().ApplyLanguage(0);
    Drain();
    EXPECT_EQ(Name(&Ctl<QWidget>(kEqGroup)), QString::fromStdString(ParameterTitle("SubGEQ", 0)));
    EXPECT_EQ(Name(&Ctl<QWidget>(kEffect2Group)), QStringLiteral("效果二"));

    // Nothing is cut by the group it lies in, in either language.
    for (const int language : {0, 1}) {
        Window().ApplyLanguage(language);
        Drain();
        for (const ControlTemplate& row : MainWindowTemplate().controls) {
            QWidget* control = row.id == kNoId ? nullptr : &Ctl<QWidget>(row.id);
            if (control == nullptr || control->isHidden() || control->parentWidget() == Window().Surface()) {
                continue;
            }
            EXPECT_TRUE(control->parentWidget()->rect().contains(control->geometry()))
                << row.id << " at " << control->geometry().x() << "," << control->geometry().y() << " "
                << control->width() << "x" << control->height() << " is cut by its group of "
                << control->parentWidget()->width() << "x" << control->parentWidget()->height();
        }
    }
}

TEST_F(MainWindowAccessibility, ANoticeIsANotificationThatCarriesItsText) {
    OpenShown(1);
    Window().ShowNotice(QString::fromUtf8(kFileSaved.english), 5000);
    auto* notice = Window().findChild<Notice*>();
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(Of(notice)->role(), QAccessible::Notification);
    EXPECT_EQ(Of(notice)->text(QAccessible::Description), QStringLiteral("File saved"));
}

}  // namespace
}  // namespace varnoth::test
