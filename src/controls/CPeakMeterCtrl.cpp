#include "controls/CPeakMeterCtrl.h"

#include <QPainter>
#include <algorithm>

namespace varnoth {
namespace {

// Segments from this position upwards have no unlit look and show the background until lit.
constexpr int kUnlitSegments = 14;

}  // namespace

CPeakMeterCtrl::CPeakMeterCtrl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&m_timer, &QTimer::timeout, this, &CPeakMeterCtrl::Tick);
    ResetControl();
}

void CPeakMeterCtrl::SetBands(int bands) {
    m_bands = std::max(1, bands);
    update();
}

void CPeakMeterCtrl::SetLedCount(int count) {
    m_ledCount = std::max(0, count);
    update();
}

void CPeakMeterCtrl::SetRange(int range, int greenLimit, int yellowLimit) {
    m_range = std::max(1, range);
    m_greenLimit = greenLimit;
    m_yellowLimit = yellowLimit;
    update();
}

void CPeakMeterCtrl::SetBackgroundColor(const QColor& colour) {
    m_background = colour;
    update();
}

void CPeakMeterCtrl::SetData(int band, std::uint8_t value) {
    if (band >= 0 && band < static_cast<int>(m_values.size())) {
        m_values[static_cast<std::size_t>(band)] = value;
    }
    update();
}

void CPeakMeterCtrl::ResetControl() {
    m_values.assign(static_cast<std::size_t>(m_bands), m_range);
    update();
}

void CPeakMeterCtrl::Start(int periodMs) {
    if (!m_timer.isActive()) {
        m_timer.start(periodMs);
    }
}

void CPeakMeterCtrl::Stop() {
    m_timer.stop();
}

void CPeakMeterCtrl::Tick() {
    update();
    const int fall = std::max(1, m_ledCount < 2 ? m_range * 10 / 100 : m_range / m_ledCount);
    for (int& v : m_values) {
        if (v > 0) {
            v = std::max(0, v - fall);
        }
    }
}

int CPeakMeterCtrl::Value(int band) const {
    return band >= 0 && band < static_cast<int>(m_values.size()) ? m_values[static_cast<std::size_t>(band)]
                                                                 : 0;
}

int CPeakMeterCtrl::SegmentCount() const {
    return std::max(1, m_ledCount < 2 ? m_range * 10 / 100 : m_ledCount);
}

int CPeakMeterCtrl::LitCount(int value) const {
    const int n = SegmentCount();
    return std::clamp(value * n / m_range, 0, n);
}

CPeakMeterCtrl::Zone CPeakMeterCtrl::ZoneOf(int segment) const {
    const int n = SegmentCount();
    if (segment < m_greenLimit * n / m_range) {
        return Green;
    }
    if (segment < m_yellowLimit * n / m_range) {
        return Yellow;
    }
    return Red;
}

void CPeakMeterCtrl::paintEvent(QPaintEvent*) {
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
