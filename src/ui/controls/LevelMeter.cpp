#include "ui/controls/LevelMeter.h"

#include <QPainter>
#include <algorithm>

namespace varnoth {
namespace {

// Segments from this position upwards have no unlit look and show the background until lit.
constexpr int kUnlitSegments = 14;

}  // namespace

LevelMeter::LevelMeter(QWidget* parent) : QWidget(parent) {
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
        m_values[static_cast<std::size_t>(band)] = value;
    }
    update();
}

void LevelMeter::ResetControl() {
    m_values.assign(static_cast<std::size_t>(m_bands), m_range);
    update();
}

void LevelMeter::Start(int periodMs) {
    if (!m_timer.isActive()) {
        m_timer.start(periodMs);
    }
}

void LevelMeter::Stop() {
    m_timer.stop();
}

void LevelMeter::Tick() {
    update();
    const int fall = std::max(1, m_ledCount < 2 ? m_range * 10 / 100 : m_range / m_ledCount);
    for (int& v : m_values) {
        if (v > 0) {
            v = std::max(0, v - fall);
        }
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
    }
}

}  // namespace varnoth
