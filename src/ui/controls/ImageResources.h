// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

namespace varnoth {

// Registers the program's pictures with the resource system; call once before loading any of them.
void InitImageResources();

// Resource path of picture number `id`, e.g. ":/images/221.png".
QString ImageResourcePath(int id);

// The picture of number `id`, or a null image when it is missing or cannot be decoded. On a screen of more
// than one device pixel per pixel the double-resolution drawing of the picture is used where there is one;
// its device pixel ratio says so, and its logical size is the picture's.
QImage LoadImageResource(int id);

// The program's icon in every size of the desktop's icon theme, as the program carries it: the windows show
// it where the desktop has no icon of the program's name installed.
QIcon CarriedApplicationIcon();

// The same as a pixmap, for a label.
QPixmap ImagePixmap(int id);

}  // namespace varnoth
