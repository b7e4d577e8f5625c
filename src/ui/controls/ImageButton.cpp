// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/ImageButton.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "ui/controls/ControlAccessibility.h"
#include "ui/controls/ControlFonts.h"
#include "ui/controls/FocusRing.h"
#include "ui/controls/ImageResources.h"

namespace varnoth {

ImageButton::ImageButton(QWidget* parent) : QAbstractButton(parent) {
    InstallControlAccessibility();
    setFont(CellHeightFont(SongTiFaces(), 12));
    setAttribute(Qt::WA_Hover);
}

bool ImageButton::LoadImages(int standardId, int alternateId) {
    const QImage standard = LoadImageResource(standardId);
    const QImage alternate = LoadImageResource(alternateId);
    if (standard.isNull() || alternate.isNull()) {
        return false;
    }
    SetImages(standard, alternate);
    return true;
}

void ImageButton::SetImages(const QImage& standard, const QImage& alternate) {
    m_stdImage = standard;
    m_altImage = alternate;
    m_hasAltImage = !alternate.isNull();
    m_prepared = false;
    update();
}

void ImageButton::SetAltState(bool on) {
    const bool changed = on != m_altState;
    m_altState = on;
    update();
    if (changed && m_hasAltImage && QAccessible::isActive()) {
        QAccessible::State state;
        state.checked = true;
        QAccessibleStateChangeEvent event(this, state);
        QAccessible::updateAccessibility(&event);
    }
}

void ImageButton::SetTextColor(const QColor& colour) {
    m_textColor = colour;
    update();
}

QImage ImageButton::Brightened(const QImage& image) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const auto lift = [](int c) {
                return std::min(255, static_cast<int>(c * 1.05 + 0.05 * 255 + 0.5));
            };
            const QRgb p = line[x];
            line[x] = qRgba(lift(qRed(p)), lift(qGreen(p)), lift(qBlue(p)), qAlpha(p));
        }
    }
    return out;
}

void ImageButton::Prepare() {
    if (m_prepared || m_stdImage.isNull() || width() <= 0 || height() <= 0) {
        return;
    }
    const QRect full(0, 0, width(), height());
    const qreal ratio = devicePixelRatioF();
    const auto compose = [&](const QImage& image, const QRect& target) {
        QPixmap pixmap((QSizeF(size()) * ratio).toSize());
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(target, image);
        return pixmap;
    };
    m_looks[Standard] = compose(m_stdImage, full);
    m_looks[Pressed] = m_looks[Standard];
    m_looks[Hover] = compose(Brightened(m_stdImage), full);
    if (m_hasAltImage) {
        m_looks[Alternate] = compose(m_altImage, full);
        m_looks[AlternatePressed] = compose(m_altImage, full.translated(1, 1));
        m_looks[AlternateHover] = compose(Brightened(m_altImage), full);
    }
    m_prepared = true;
}

ImageButton::Look ImageButton::CurrentLook() const {
    const bool alt = m_altState && m_hasAltImage;
    if (isDown()) {
        return alt ? AlternatePressed : Pressed;
    }
    if (m_hover) {
        return alt ? AlternateHover : Hover;
    }
    return alt ? Alternate : Standard;
}

QSize ImageButton::sizeHint() const {
    return m_stdImage.isNull() ? QSize(30, 18) : m_stdImage.deviceIndependentSize().toSize();
}

void ImageButton::paintEvent(QPaintEvent*) {
    if (m_prepared && m_looks[Standard].devicePixelRatio() != devicePixelRatioF()) {
        m_prepared = false;  // moved to a screen of another pixel density
    }
    Prepare();
    QPainter painter(this);
    if (m_prepared) {
        painter.drawPixmap(0, 0, m_looks[CurrentLook()]);
    }
    if (hasFocus()) {
        DrawFocusRing(painter, *this);
    }
    const QString caption = text().left(259);
    if (caption.isEmpty()) {
        return;
    }
    const QFontMetrics fm(font());
    painter.setFont(font());
    painter.setPen(m_textColor);
    const int x = static_cast<int>((width() - fm.horizontalAdvance(caption)) * 0.5) + 1;
    const int y = static_cast<int>((height() - fm.height()) * 0.5);
    painter.drawText(x, y + fm.ascent(), caption);
}

void ImageButton::enterEvent(QEnterEvent* event) {
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void ImageButton::leaveEvent(QEvent* event) {
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void ImageButton::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void ImageButton::resizeEvent(QResizeEvent* event) {
    m_prepared = false;
    QAbstractButton::resizeEvent(event);
}

}  // namespace varnoth
