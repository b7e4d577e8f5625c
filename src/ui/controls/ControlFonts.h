// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QStringList>

namespace varnoth {

// The faces the panels ask for, each followed by faces that carry the same look (and the Chinese
// glyphs) on systems without the Windows fonts.
QStringList SongTiFaces();
QStringList HeiTiFaces();
QStringList TahomaFaces();
QStringList ArialFaces();

// A font whose character cell (ascent + descent) is `cellHeight` pixels, like a positive height in a
// Windows logical font.
QFont CellHeightFont(const QStringList& faces, int cellHeight, int weight = QFont::Normal);

// A font of `points` typographic points on a 96 dpi surface, given in pixels so that the size does not
// depend on the screen the widget is shown on.
QFont PointSizeFont(const QStringList& faces, double points);

}  // namespace varnoth
