// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/CompressorCurve.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "ui/controls/ControlFonts.h"
#include "ui/controls/PixelMath.h"

namespace varnoth {
namespace {

constexpr int kLeft = 25;
constexpr int kTop = 5;

struct AxisMark {
    int value;
    const char* label;
};

constexpr std::array<AxisMark, 12> kOutputAxis = {{{5, "+5dB"},
                                                   {0, "0dB"},
                                                   {-5, "-5dB"},
                                                   {-10, "-10dB"},
                                                   {-15, "-15dB"},
                                                   {-20, "-20dB"},
                                                   {-25, "-25dB"},
                                                   {-30, "-30dB"},
                                                   {-35, "-35dB"},
                                                   {-40, "-40dB"},
                                                   {-45, "-45dB"},
                                                   {-50, "-50dB"}}};

constexpr std::array<AxisMark, 12> kInputAxis = {{{-50, "-50dB"},
                                                  {-45, "-45dB"},
                                                  {-40, "-40dB"},
                                                  {-35, "-35dB"},
                                                  {-30, "-30dB"},
                                                  {-25, "-25dB"},
                                                  {-20, "-20dB"},
                                                  {-15, "-15dB"},
                                                  {-10, "-10dB"},
                                                  {-5, "-5dB"},
                                                  {0, "0dB"},
                                                  {5, "5dB"}}};

void DrawTextAt(QPainter& painter, int x, int y, const QString& text) {
    painter.drawText(x, y + painter.fontMetrics().ascent(), text);
}

}  // namespace

CompressorCurve::CompressorCurve(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CompressorCurve::SetEnabledCurve(bool enabled) {
    m_enabled = enabled;
    update();
}

void CompressorCurve::SetThreshold(float db) {
    m_threshold = db;
    update();
}

void CompressorCurve::SetUpperSlope(float slope) {
    m_upperSlope = slope;
    update();
}

void CompressorCurve::SetGridColor(const QColor& colour) {
    m_gridColor = colour;
    m_grid = QPixmap();
    update();
}

void CompressorCurve::SetTextColor(const QColor& colour) {
    m_textColor = colour;
    m_grid = QPixmap();
    update();
}

int CompressorCurve::XOfInput(double db) const {
    const int w = width() - 30;
    return Trunc((db + 50.0) * w / 55.0 + kLeft);
}

int CompressorCurve::YOfOutput(double db) const {
    const int h = height() - 15;
    return Trunc(std::fabs(db - 5.0) * h / 55.0 + kTop);
}

namespace {

QFont OutputAxisFont() {
    return CellHeightFont(SongTiFaces(), 9);
}

QFont InputAxisFont() {
    return CellHeightFont(ArialFaces(), 8);
}

}  // namespace

std::vector<CompressorCurve::Label> CompressorCurve::PlaceLabels() const {
    const int w = width() - 30;
    const int h = height() - 15;
    std::vector<Label> labels;
    const QFontMetrics outputMetrics(OutputAxisFont());
    for (const AxisMark& m : kOutputAxis) {
        const QString text = QString::fromLatin1(m.label);
        const int y = static_cast<int>(std::abs(m.value - 5) * h / 55.0 - outputMetrics.height() / 2 + kTop);
        const int textWidth = outputMetrics.horizontalAdvance(text);
        labels.push_back(
            {QRect(std::max(0, 23 - textWidth), std::max(0, y), textWidth, outputMetrics.height()), text,
             false});
    }
    // The input axis has more marks than room for their labels on a small panel: a label that would touch
    // another is left out, and the labels at the ends are moved inside the panel.
    const QFontMetrics inputMetrics(InputAxisFont());
    for (const AxisMark& m : kInputAxis) {
        const QString text = QString::fromLatin1(m.label);
        const int textWidth = inputMetrics.horizontalAdvance(text);
        int x = static_cast<int>((m.value + 50) * w / 55.0 - textWidth / 2 + kLeft);
        x = std::clamp(x, 0, std::max(0, width() - textWidth));
        const QRect rect(x, std::max(0, height() - inputMetrics.height()), textWidth, inputMetrics.height());
        const bool crowded = std::any_of(labels.begin(), labels.end(), [&](const Label& other) {
            return other.rect.adjusted(-2, 0, 2, 0).intersects(rect);
        });
        if (crowded) {
            continue;
        }
        labels.push_back({rect, text, true});
    }
    return labels;
}

std::vector<QRect> CompressorCurve::AxisLabelRects() const {
    std::vector<QRect> rects;
    for (const Label& label : PlaceLabels()) {
        rects.push_back(label.rect);
    }
    return rects;
}

void CompressorCurve::BuildGrid() {
    const int w = width() - 30;
    const int h = height() - 15;
    const qreal ratio = devicePixelRatioF();
    m_grid = QPixmap((QSizeF(size()) * ratio).toSize());
    m_grid.setDevicePixelRatio(ratio);
    m_grid.fill(QColor(236, 233, 216));
    QPainter painter(&m_grid);
    painter.setPen(m_gridColor);
    for (const AxisMark& m : kOutputAxis) {
        const int y = YOfOutput(m.value);
        painter.drawLine(kLeft, y, w + kLeft, y);
    }
    for (const AxisMark& m : kInputAxis) {
        const int x = XOfInput(m.value);
        painter.drawLine(x, kTop, x, h + kTop);
    }
    painter.setPen(m_textColor);
    for (const Label& label : PlaceLabels()) {
        painter.setFont(label.inputAxis ? InputAxisFont() : OutputAxisFont());
        DrawTextAt(painter, label.rect.left(), label.rect.top(), label.text);
    }
}

void CompressorCurve::paintEvent(QPaintEvent*) {
    if (m_grid.isNull() || m_grid.deviceIndependentSize() != QSizeF(size()) ||
        m_grid.devicePixelRatio() != devicePixelRatioF()) {
        BuildGrid();
    }
    const int w = width() - 30;
    const int h = height() - 15;
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_grid);
    painter.setRenderHint(QPainter::Antialiasing, true);

    const int xT = XOfInput(m_threshold);
    const int yT = YOfOutput(m_threshold);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 10, 10, 200));
    painter.drawEllipse(QRectF(xT - 4, yT - 4, 8, 8));
    painter.setBrush(Qt::NoBrush);

    const int y0 = YOfOutput(-50);
    const int dr = Trunc(std::fabs(5.0f - m_threshold) * h / 55.0 * m_upperSlope);
    painter.setPen(QPen(QColor(0, 207, 255), 2.0));
    painter.drawLine(QPointF(kLeft, y0), QPointF(xT, yT));
    painter.drawLine(QPointF(xT, yT), QPointF(w + kLeft, yT - dr));

    painter.setRenderHint(QPainter::Antialiasing, false);
    const int top = std::min(yT - dr, y0);
    painter.fillRect(QRect(kLeft, top, w, std::abs((yT - dr) - y0)), QColor(120, 120, 120, 65));

    if (!m_enabled) {
        const QFont font = PointSizeFont(HeiTiFaces(), 32);
        painter.setFont(font);
        painter.setPen(QColor(0, 150, 255));
        const QFontMetrics fm(font);
        const QString text = QStringLiteral("OFF");
        DrawTextAt(painter, (width() - fm.horizontalAdvance(text)) / 2, (height() - fm.height()) / 2, text);
    }
}

}  // namespace varnoth
