// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>

namespace varnoth {

// What a template control becomes on the screen.
enum class ControlKind {
    Label,  // static text
    PushButton,
    CheckBox,
    RadioButton,
    GroupBox,
    Picture,  // static picture; the dialog sets its image
    Frame,    // host of a custom control; keeps a caption it does not draw
    ProgressBar,
    Trackbar,  // plain slider; horizontal unless Vertical is set
    DropDownList,
    Edit,
};

// Style flags of a template control; combine with |.
enum ControlStyle : unsigned {
    kStyleNone = 0,
    kHidden = 1u << 0,
    kDisabled = 1u << 1,
    kRightAligned = 1u << 2,
    kCentred = 1u << 3,
    kVertical = 1u << 4,
    kReadOnly = 1u << 5,
};

// A rectangle in dialog units: one horizontal unit is a quarter of the dialog font's average character
// width, one vertical unit an eighth of its height.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// One row of a dialog template. Captions are UTF-8; an empty caption is nullptr or "".
struct ControlTemplate {
    int id = -1;
    ControlKind kind = ControlKind::Label;
    DialogRect rect;
    const char* caption = nullptr;
    unsigned style = kStyleNone;
};

// The dialog font: the face the layout was drawn with, then faces to use when it is missing.
struct DialogFont {
    std::span<const char* const> faces;
    int pointSize = 9;
};

// A dialog described as data. `number` is the template number the language tables use.
struct DialogTemplate {
    int number = 0;
    const char* title = nullptr;
    int width = 0;  // client area, dialog units
    int height = 0;
    DialogFont font;
    std::span<const ControlTemplate> controls;
};

// The font of most dialogs: the standard dialog face at 9 points, with portable stand-ins.
DialogFont StandardDialogFont();

// Pixel size of one dialog-unit base: the dialog font's average character width and its height.
struct DialogBaseUnits {
    int averageCharWidth = 0;
    int charHeight = 0;
};

// Converts a rectangle in dialog units to pixels, rounding to the nearest pixel.
DialogRect DialogUnitsToPixels(const DialogRect& units, const DialogBaseUnits& base);

// The average character width as the dialog manager measures it: the width of the 52 Latin letters,
// divided by 26 and halved, rounding up.
int AverageCharWidth(int widthOfAlphabet);

}  // namespace varnoth
