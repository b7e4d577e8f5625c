// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/LevelMeter.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

#include "ui/controls/ControlAccessibility.h"
#include "ui/controls/FocusRing.h"

namespace varnoth {
namespace {

// Segments from this position upwards have no unlit look and show the background until lit.
constexpr int kUnlitSegments = 14;

}  // namespace

LevelMeter::LevelMeter(QWidget* parent) : QWidget(parent) {
    InstallControlAccessibility();
    // Tab reaches the meter so that the keyboard can clear its full-scale mark.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&m_timer, &QTimer::timeout, this, &LevelMeter::Tick);
    ResetControl();
}

void LevelMeter::SetBands(int bands) {
    m_bands = std::max(1, bands);
    update();
}

void LevelMeter::SetLedCount(int count) {
    m_ledCount = std::max(0, count);
    update();
}

void LevelMeter::SetRange(int range, int greenLimit, int yellowLimit) {
    m_range = std::max(1, range);
    m_greenLimit = greenLimit;
    m_yellowLimit = yellowLimit;
    update();
}

void LevelMeter::SetBackgroundColor(const QColor& colour) {
    m_background = colour;
    update();
}

void LevelMeter::SetData(int band, std::uint8_t value) {
    if (band >= 0 && band < static_cast<int>(m_values.size())) {
        const auto b = static_cast<std::size_t>(band);
        m_values[b] = value;
        if (LitCount(value) > 0 && LitCount(value) >= LitCount(m_peaks[b])) {
            m_peaks[b] = value;
            m_holds[b] = HoldTicks();
        }
        if (value >= m_range) {
            m_clipped[b] = true;
        }
    }
    update();
}

void LevelMeter::ResetControl() {
    const auto bands = static_cast<std::size_t>(m_bands);
    m_values.assign(bands, m_range);
    m_peaks.assign(bands, 0);
    m_holds.assign(bands, 0);
    m_clipped.assign(bands, false);
    update();
}

void LevelMeter::Start(int periodMs) {
    if (!m_timer.isActive()) {
        m_periodMs = std::max(1, periodMs);
        m_timer.start(periodMs);
    }
}

void LevelMeter::Stop() {
    m_timer.stop();
}

int LevelMeter::Fall() const {
    return std::max(1, m_ledCount < 2 ? m_range * 10 / 100 : m_range / m_ledCount);
}

int LevelMeter::HoldTicks() const {
    return (kPeakHoldMs + m_periodMs - 1) / m_periodMs;
}

void LevelMeter::Tick() {
    update();
    const int fall = Fall();
    for (int& v : m_values) {
        if (v > 0) {
            v = std::max(0, v - fall);
        }
    }
    for (std::size_t b = 0; b < m_peaks.size(); ++b) {
        if (m_holds[b] > 0) {
            --m_holds[b];
        } else if (m_peaks[b] > 0) {
            m_peaks[b] = std::max(0, m_peaks[b] - fall);
        }
    }
}

int LevelMeter::Peak(int band) const {
    return band >= 0 && band < static_cast<int>(m_peaks.size()) ? m_peaks[static_cast<std::size_t>(band)] : 0;
}

bool LevelMeter::Clipped(int band) const {
    return band >= 0 && band < static_cast<int>(m_clipped.size()) &&
           m_clipped[static_cast<std::size_t>(band)];
}

void LevelMeter::ClearClips() {
    std::fill(m_clipped.begin(), m_clipped.end(), false);
    update();
}

QString LevelMeter::ToolTipText(int band) const {
    const bool english = m_language != 0;
    QString text = english ? QString::asprintf("Level %d of %d", Value(band), m_range)
                           : QString::asprintf("电平 %d / %d", Value(band), m_range);
    if (Peak(band) > 0) {
        text +=
            english ? QString::asprintf(", peak %d", Peak(band)) : QString::asprintf("，峰值 %d", Peak(band));
    }
    if (Clipped(band)) {
        text += english ? QStringLiteral("\nReached full scale: click to clear the red mark")
                        : QStringLiteral("\n已达满刻度：点击清除红色标记");
    }
    return text;
}

bool LevelMeter::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int bandWidth = std::max(1, width() / m_bands);
        const int band = std::clamp(help->pos().x() / bandWidth, 0, m_bands - 1);
        QToolTip::showText(help->globalPos(), ToolTipText(band), this);
        return true;
    }
    return QWidget::event(event);
}

void LevelMeter::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        ClearClips();
    }
}

int LevelMeter::Value(int band) const {
    return band >= 0 && band < static_cast<int>(m_values.size()) ? m_values[static_cast<std::size_t>(band)]
                                                                 : 0;
}

int LevelMeter::SegmentCount() const {
    return std::max(1, m_ledCount < 2 ? m_range * 10 / 100 : m_ledCount);
}

int LevelMeter::LitCount(int value) const {
    const int n = SegmentCount();
    return std::clamp(value * n / m_range, 0, n);
}

LevelMeter::Zone LevelMeter::ZoneOf(int segment) const {
    const int n = SegmentCount();
    if (segment < m_greenLimit * n / m_range) {
        return Green;
    }
    if (segment < m_yellowLimit * n / m_range) {
        return Yellow;
    }
    return Red;
}

void LevelMeter::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_background);
    const int n = SegmentCount();
    const int bw = width() / m_bands;
    const int sh = height() / n;
    const int xi = m_bands > 1 ? 1 : 0;
    const int yi = m_ledCount > 1 ? 1 : 0;
    const auto segmentRect = [&](int b, int i) {
        return QRect(QPoint(b * bw + xi, height() - (i + 1) * sh + yi),
                     QPoint((b + 1) * bw - xi - 1, height() - i * sh - 1));
    };
    for (int b = 0; b < m_bands; ++b) {
        for (int i = 0; i < n; ++i) {
            painter.fillRect(segmentRect(b, i), i < kUnlitSegments ? m_unlit[ZoneOf(i)] : m_background);
        }
    }
    for (int b = 0; b < m_bands; ++b) {
        const int lit = LitCount(Value(b));
        for (int i = 0; i < lit; ++i) {
            painter.fillRect(segmentRect(b, i), m_lit[ZoneOf(i)]);
        }
        const int peak = LitCount(Peak(b)) - 1;
        if (peak >= lit) {
            painter.fillRect(segmentRect(b, peak), m_lit[ZoneOf(peak)]);
        }
        if (Clipped(b)) {
            painter.fillRect(segmentRect(b, n - 1), m_lit[Red]);
        }
    }
    if (hasFocus()) {
        DrawFocusRing(painter, *this);
    }
}

void LevelMeter::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Space || key == Qt::Key_Delete || key == Qt::Key_Backspace) {
        ClearClips();
        return;
    }
    QWidget::keyPressEvent(event);
}

void LevelMeter::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void LevelMeter::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

}  // namespace varnoth
