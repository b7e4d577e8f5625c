// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace varnoth {

class ColourLabel;
struct DialogTemplate;

namespace mainwin {

// The colours of the window's texts: a slider's labels take the colour of the frame its parameter sits in,
// the connection text says whether the amplifier answers, a master volume's value warns as it rises.
class WindowColours {
  public:
    // What the colours follow while the window runs; asked each time a label paints.
    struct Follows {
        std::function<bool()> answering;  // connected, and the amplifier answers
        std::function<bool()> micView;
    };

    // Whether the label with this control ID is drawn in one of the window's colours.
    static bool IsColoured(int id);
    // Gives each coloured label of the layout its colour rule; labelOf finds the label of a control ID.
    static void Apply(const DialogTemplate& layout, const std::function<ColourLabel*(int)>& labelOf,
                      const Follows& follows);
};

}  // namespace mainwin
}  // namespace varnoth
