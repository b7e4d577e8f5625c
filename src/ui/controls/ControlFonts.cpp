// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/ControlFonts.h"

#include <QFontMetricsF>
#include <cmath>

namespace varnoth {

QStringList SongTiFaces() {
    return {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Sans CJK SC"),
            QStringLiteral("DejaVu Sans")};
}

QStringList HeiTiFaces() {
    return {QStringLiteral("黑体"), QStringLiteral("SimHei"), QStringLiteral("Noto Sans CJK SC"),
            QStringLiteral("DejaVu Sans")};
}

QStringList TahomaFaces() {
    return {QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans"),
            QStringLiteral("Noto Sans CJK SC")};
}

QStringList ArialFaces() {
    return {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
            QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")};
}

QFont CellHeightFont(const QStringList& faces, int cellHeight, int weight) {
    QFont font;
    font.setFamilies(faces);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setPixelSize(cellHeight);
    const double measured = QFontMetricsF(font).height();
    if (measured > 0.0) {
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(cellHeight * cellHeight / measured))));
    }
    return font;
}

QFont PointSizeFont(const QStringList& faces, double points) {
    QFont font;
    font.setFamilies(faces);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0))));
    return font;
}

}  // namespace varnoth
