// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLabel>
#include <QSlider>

#include <map>

#include "LayoutCheck.h"
#include "MainWindowFixture.h"
#include "ui/controls/CompressorCurve.h"
#include "ui/main/EditRules.h"
#include "ui/main/MainWindowTemplate.h"
#include "ui/main/MainWindowTexts.h"

namespace varnoth::test {
namespace {

using MainWindowLayout = MainWindowTest;

// Every text of the window fits its control with the fonts this system has, in both languages, keeps
// clear of the controls beside it and of the title and top line of the group around it, and no two
// controls overlap unless a group box holds one; the value labels are checked with the widest text each
// can show.
TEST_F(MainWindowLayout, EveryTextFitsAndNoControlsOverlapInBothLanguages) {
    for (const int language : {0, 1}) {
        SCOPED_TRACE(language == 0 ? "Chinese" : "English");
        Open("normal", language, [this](VirtualAmp&) { Provider().Unplug(); });
        std::map<int, QString> widest;
        for (const mainwin::SliderEdit& edit : mainwin::SliderEdits()) {
            auto& slider = Ctl<QSlider>(edit.id);
            auto& label = Ctl<QLabel>(edit.valueLabel);
            const QFontMetrics fm(label.font());
            for (int p = slider.minimum(); p <= slider.maximum(); ++p) {
                Drag(edit.id, p);
                QString& kept = widest[edit.valueLabel];
                if (fm.horizontalAdvance(label.text()) > fm.horizontalAdvance(kept)) {
                    kept = label.text();
                }
            }
        }
        // The connection status shows the longest of its texts, not answering included.
        for (const char* status :
             {mainwin::ConnectionText(true, language), mainwin::ConnectionText(false, language),
              mainwin::NotAnsweringText(language)}) {
            const QString text = QString::fromUtf8(status);
            QString& kept = widest[mainwin::kConnectionText];
            const QFontMetrics fm(Ctl<QLabel>(mainwin::kConnectionText).font());
            if (fm.horizontalAdvance(text) > fm.horizontalAdvance(kept)) {
                kept = text;
            }
        }
        for (const auto& [id, text] : widest) {
            Ctl<QLabel>(id).setText(text);
        }
        const std::vector<std::string> problems = LayoutProblems(Window());
        EXPECT_TRUE(problems.empty()) << Lines(problems);
        Close();
    }
}

TEST_F(MainWindowLayout, CompressorAxisLabelsStayInsideThePanelAndApart) {
    Open("normal", 1, [this](VirtualAmp&) { Provider().Unplug(); });
    const std::vector<QRect> labels = Ctl<CompressorCurve>(1024).AxisLabelRects();
    ASSERT_GE(labels.size(), 12u);
    const QRect panel = Ctl<CompressorCurve>(1024).rect();
    for (std::size_t i = 0; i < labels.size(); ++i) {
        EXPECT_TRUE(panel.contains(labels[i])) << "label " << i << " is cut by the panel's edge";
        for (std::size_t j = i + 1; j < labels.size(); ++j) {
            EXPECT_FALSE(labels[i].intersects(labels[j])) << "labels " << i << " and " << j << " overlap";
        }
    }
}

}  // namespace
}  // namespace varnoth::test
