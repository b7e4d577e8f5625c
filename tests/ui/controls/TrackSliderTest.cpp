// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAccessible>
#include <QTest>

#include <functional>
#include <memory>
#include <vector>

#include "AccessibleEvents.h"
#include "ui/controls/TrackSlider.h"

namespace varnoth {
namespace {

using test::AccessibleEvents;

// A slider tells a screen reader of each new value, in the text its owner shows, whoever moved it; and only
// when what it shows changed.
TEST(TrackSliderTest, AChangedValueIsToldAsItsShownTextOnceAndAnUnchangedOneNotAtAll) {
    struct Case {
        const char* what;
        std::function<void(TrackSlider&)> act;
        std::vector<QString> told;  // the values of the ValueChanged events, in order
    };
    const Case cases[] = {
        {"a key moves it", [](TrackSlider& s) { QTest::keyClick(&s, Qt::Key_Up); }, {"11", "11 dB"}},
        {"its owner sets it and announces it",
         [](TrackSlider& s) {
             s.setValue(20);
             s.AnnounceValue();
         },
         {"20", "20 dB"}},
        {"assistive technology moves it", [](TrackSlider& s) { s.MoveTo(3); }, {"3", "3 dB"}},
        {"announced again, unchanged", [](TrackSlider& s) { s.AnnounceValue(); }, {}},
        {"set to the value it has",
         [](TrackSlider& s) {
             s.setValue(10);
             s.AnnounceValue();
         },
         {}},
        {"its shown text changed, not its value",
         [](TrackSlider& s) {
             s.SetShownText([](int position) { return QString::number(position) + QStringLiteral(" dBu"); });
             s.AnnounceValue();
         },
         {"10 dBu"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TrackSlider slider(Qt::Vertical);
        slider.setRange(0, 40);
        slider.setValue(10);
        slider.SetShownText([](int position) { return QString::number(position) + QStringLiteral(" dB"); });
        QObject::connect(&slider, &TrackSlider::userMoved, &slider, [&slider] { slider.AnnounceValue(); });
        slider.show();
        AccessibleEvents events;
        slider.AnnounceValue();
        events.Clear();
        c.act(slider);
        std::vector<QString> told;
        for (const AccessibleEvents::Event& event : events.Of(QAccessible::ValueChanged)) {
            EXPECT_EQ(event.object, &slider);
            told.push_back(event.value);
        }
        EXPECT_EQ(told, c.told);
    }
}

}  // namespace
}  // namespace varnoth
