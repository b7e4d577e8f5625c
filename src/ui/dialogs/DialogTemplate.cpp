// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/DialogTemplate.h"

#include <array>

namespace varnoth {

namespace {

constexpr std::array<const char*, 6> kStandardFaces = {
    "MS Shell Dlg", "Microsoft Sans Serif", "Tahoma", "Liberation Sans", "DejaVu Sans", "Noto Sans CJK SC",
};

// Rounds value * numerator / denominator to the nearest integer, halves away from zero.
int MulDiv(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

}  // namespace

DialogFont StandardDialogFont() {
    return DialogFont{kStandardFaces, 9};
}

DialogRect DialogUnitsToPixels(const DialogRect& units, const DialogBaseUnits& base) {
    return DialogRect{
        MulDiv(units.x, base.averageCharWidth, 4),
        MulDiv(units.y, base.charHeight, 8),
        MulDiv(units.width, base.averageCharWidth, 4),
        MulDiv(units.height, base.charHeight, 8),
    };
}

int AverageCharWidth(int widthOfAlphabet) {
    return (widthOfAlphabet / 26 + 1) / 2;
}

}  // namespace varnoth
