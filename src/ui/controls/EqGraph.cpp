// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/EqGraph.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <limits>

#include "ui/controls/CardinalSpline.h"
#include "ui/controls/ControlAccessibility.h"
#include "ui/controls/ControlFonts.h"
#include "ui/controls/EqGraphAccessible.h"
#include "ui/controls/EqLabelPlace.h"
#include "ui/controls/EqResponse.h"
#include "ui/controls/PixelMath.h"

namespace varnoth {
namespace {

constexpr int kLeftMargin = 36;
constexpr int kTopMargin = 14;
constexpr int kRightMargin = 6;
constexpr int kBottomMargin = 20;
// Pointer positions are taken relative to this origin for hit testing and dragging.
constexpr int kPointerOriginX = 36;
constexpr int kPointerOriginY = 16;
constexpr int kHitRadius = 16;
// How far a drawn handle reaches from its centre, its pen included.
constexpr int kHandleReach = 10;
// The selected band's label: between a line's tag and value, and between its lines.
constexpr int kLabelTagGap = 1;
constexpr int kLabelLineStep = 9;
// One notch of a mouse wheel.
constexpr int kWheelNotch = 120;

const QColor kBackground(236, 233, 216);
const QColor kGridText(73, 90, 151);

constexpr std::array<QRgb, EqGraph::kMaxPoints> kBandColours = {
    qRgb(80, 100, 5),   qRgb(5, 100, 180),  qRgb(20, 90, 10),    qRgb(180, 100, 5),  qRgb(80, 80, 10),
    qRgb(20, 100, 180), qRgb(10, 80, 255),  qRgb(60, 100, 100),  qRgb(20, 220, 80),  qRgb(100, 50, 0),
    qRgb(255, 80, 255), qRgb(80, 120, 250), qRgb(250, 250, 250), qRgb(80, 255, 100), qRgb(255, 255, 100),
    qRgb(255, 180, 20), qRgb(140, 180, 255)};

struct LayoutBand {
    int type;
    float freq, minFreq, maxFreq, minGain, maxGain, q;
};

constexpr std::array<LayoutBand, 4> kParametricLayout = {{
    {EQ_TYPE_LOWSHELF, 500, 80, 1000, -12, 12, 1.0f},
    {EQ_TYPE_PEAK, 900, 110, 1800, -12, 12, 1.0f},
    {EQ_TYPE_PEAK, 2300, 240, 5500, -12, 12, 1.0f},
    {EQ_TYPE_HIGHSHELF, 5000, 500, 15000, -12, 12, 1.0f},
}};

constexpr std::array<float, 10> kGraphicFrequencies = {31, 62, 125, 250, 500, 1000, 2000, 4000, 8000, 12000};

constexpr std::array<int, 29> kGridFrequencies = {10,   20,   30,   40,   50,   60,   70,   80,    90,   100,
                                                  200,  300,  400,  500,  600,  700,  800,  900,   1000, 2000,
                                                  3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000, 20000};

struct FrequencyLabel {
    int freq;
    const char* text;
};
constexpr std::array<FrequencyLabel, 10> kFrequencyLabels = {{{20, "20Hz"},
                                                              {50, "50Hz"},
                                                              {100, "100Hz"},
                                                              {200, "200Hz"},
                                                              {500, "500Hz"},
                                                              {1000, "1kHz"},
                                                              {2000, "2kHz"},
                                                              {5000, "5kHz"},
                                                              {10000, "10kHz"},
                                                              {20000, "20kHz"}}};

void DrawTextAt(QPainter& painter, int x, int y, const QString& text) {
    painter.drawText(x, y + painter.fontMetrics().ascent(), text);
}

}  // namespace

double EqGraph::Plot::XOf(double freq) const {
    return left + (std::log10(freq) - 1.0) * w / 3.4;
}

double EqGraph::Plot::YOf(double gain) const {
    return top + h * (15.0 - gain) / 30.0;
}

EqGraph::EqGraph(QWidget* parent, int controlId)
    : QWidget(parent),
      m_controlId(controlId),
      m_labelFont(CellHeightFont(TahomaFaces(), 13)),
      m_infoFont(PointSizeFont(SongTiFaces(), 9)),
      m_numberFont(PointSizeFont(ArialFaces(), 7)),
      m_offFont(CellHeightFont(HeiTiFaces(), 72)) {
    InstallControlAccessibility();
    // Tab and a left press take the focus (see mousePressEvent); the right button leaves it where it is.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // The right button drags Q; a right click without a drag opens the menu on release.
    setContextMenuPolicy(Qt::PreventContextMenu);
    SetPointCount(10);
    m_selected = -1;
}

void EqGraph::SetPointCount(int n) {
    m_count = std::clamp(n, 0, kMaxPoints);
    if (m_count == static_cast<int>(kParametricLayout.size())) {
        for (int i = 0; i < m_count; ++i) {
            const LayoutBand& b = kParametricLayout[static_cast<std::size_t>(i)];
            EqPoint& p = Point(i);
            p.type = b.type;
            p.freq = b.freq;
            p.minFreq = b.minFreq;
            p.maxFreq = b.maxFreq;
            p.minGain = b.minGain;
            p.maxGain = b.maxGain;
            p.q = b.q;
        }
    } else if (m_count == static_cast<int>(kGraphicFrequencies.size())) {
        for (int i = 0; i < m_count; ++i) {
            EqPoint& p = Point(i);
            p.type = EQ_TYPE_PEAK;
            p.freq = p.minFreq = p.maxFreq = kGraphicFrequencies[static_cast<std::size_t>(i)];
            p.q = 1.414f;
            p.minGain = -14;
            p.maxGain = 14;
        }
    }
    for (int i = 0; i < m_count; ++i) {
        EqPoint& p = Point(i);
        p.gain = 0;
        p.index = i;
        CalcResponse(p);
    }
    update();
}

void EqGraph::CalcResponse(EqPoint& point) {
    varnoth::CalcResponse(point);
}

void EqGraph::SetSelected(int index) {
    m_selected = index;
    update();
}

void EqGraph::SetScaleMode(int mode) {
    m_scaleMode = mode;
    DiscardBackground();
}

void EqGraph::SetOff(bool off) {
    m_off = off;
    update();
}

void EqGraph::SetLanguage(int language) {
    m_language = language;
    update();
}

void EqGraph::DiscardBackground() {
    m_background = QPixmap();
    update();
}

EqGraph::Plot EqGraph::PlotArea() const {
    Plot plot{};
    plot.left = kLeftMargin;
    plot.top = kTopMargin;
    plot.w = width() - kRightMargin - plot.left;
    plot.h = height() - kBottomMargin - plot.top;
    plot.bottom = height() - kBottomMargin;
    return plot;
}

void EqGraph::BuildBackground() {
    const Plot plot = PlotArea();
    const qreal ratio = devicePixelRatioF();
    m_background = QPixmap((QSizeF(size()) * ratio).toSize());
    m_background.setDevicePixelRatio(ratio);
    m_background.fill(kBackground);
    QPainter painter(&m_background);
    painter.setFont(m_labelFont);
    const QFontMetrics fm(m_labelFont);
    int lastY = plot.top;
    for (int v = -15; v <= 15; v += 3) {
        const int y = plot.top + (v + 15) * plot.h / 30;
        const bool edge = v == -15 || v == 15;
        painter.setPen(edge ? QColor(130, 130, 130) : QColor(160, 160, 160));
        painter.drawLine(plot.left, y, plot.left + plot.w, y);
        const QString label = QString::asprintf("%+-.0fdb", 0.0 - v);
        painter.setPen(kGridText);
        DrawTextAt(painter, plot.left - fm.horizontalAdvance(label) - 5, y - fm.height() / 2, label);
        lastY = y;
    }
    painter.setPen(QColor(130, 130, 130));
    painter.drawLine(plot.left, lastY + 1, plot.left + plot.w, lastY + 1);
    painter.setPen(QColor(160, 160, 160));
    for (int f : kGridFrequencies) {
        const int x = static_cast<int>(plot.XOf(f));
        painter.drawLine(x, plot.top + 1, x, plot.top + plot.h);
    }
    painter.setPen(kGridText);
    // On a narrow graph a label that would touch the one before it is left out rather than run into it.
    constexpr int kLabelGap = 4;
    int freeFrom = std::numeric_limits<int>::min();
    for (const FrequencyLabel& l : kFrequencyLabels) {
        const QString text = QString::fromLatin1(l.text);
        const int left = static_cast<int>(plot.XOf(l.freq)) - fm.horizontalAdvance(text) / 2;
        if (left < freeFrom) {
            continue;
        }
        DrawTextAt(painter, left, plot.top + plot.h + 6, text);
        freeFrom = left + fm.horizontalAdvance(text) + kLabelGap;
    }
}

void EqGraph::paintEvent(QPaintEvent*) {
    if (m_background.isNull() || m_background.deviceIndependentSize() != QSizeF(size()) ||
        m_background.devicePixelRatio() != devicePixelRatioF()) {
        BuildBackground();
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background);
    if (m_off) {
        painter.setFont(m_offFont);
        painter.setPen(QColor(0, 150, 255));
        const QFontMetrics fm(m_offFont);
        const QString text = QStringLiteral("OFF");
        DrawTextAt(painter, (width() - fm.horizontalAdvance(text)) / 2, (height() - fm.height()) / 2, text);
        return;
    }
    const Plot plot = PlotArea();
    DrawCurves(painter, plot);
    for (int i = 0; i < m_count; ++i) {
        DrawHandle(painter, plot, Point(i));
    }
    if (m_selected >= 0 && m_selected < m_count) {
        DrawSelectedLabel(painter);
        DrawInfoLine(painter, Shown(Point(m_selected)));
    }
    if (hasFocus()) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(kGridText, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void EqGraph::DrawCurves(QPainter& painter, const Plot& plot) {
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (m_selected >= 0 && m_selected < m_count) {
        const EqPoint& sel = Point(m_selected);
        const double y0 = plot.top + plot.h * 15.0 / 30.0;
        std::array<QPointF, kEqColumns + 2> points;
        points[0] = QPointF(plot.left, y0);
        for (int i = 1; i <= kEqColumns; ++i) {
            points[static_cast<std::size_t>(i)] =
                QPointF(plot.ColumnX(i), plot.YOf(sel.response[static_cast<std::size_t>(i - 1)]));
        }
        points[kEqColumns + 1] = QPointF(plot.left + plot.w, y0);
        QPainterPath area;
        AppendCardinalSpline(area, points);
        painter.setPen(QPen(QColor(96, 96, 96), 1.0));
        painter.setBrush(QColor(200, 200, 200, 100));
        painter.drawPath(area);
        painter.setBrush(Qt::NoBrush);
    }
    std::array<float, kEqColumns> sum{};
    for (int i = 0; i < m_count; ++i) {
        const EqPoint& p = Point(i);
        for (int j = 0; j < kEqColumns; ++j) {
            sum[static_cast<std::size_t>(j)] += p.response[static_cast<std::size_t>(j)];
        }
    }
    std::array<QPointF, kEqColumns> points;
    for (int j = 0; j < kEqColumns; ++j) {
        points[static_cast<std::size_t>(j)] =
            QPointF(plot.ColumnX(j), plot.YOf(sum[static_cast<std::size_t>(j)]));
    }
    QPainterPath curve;
    AppendCardinalSpline(curve, points);
    painter.setPen(QPen(QColor(0, 200, 255), 1.6));
    painter.drawPath(curve);
}

void EqGraph::DrawHandle(QPainter& painter, const Plot& plot, EqPoint& point) {
    const double X = plot.XOf(point.freq);
    const double Y = plot.YOf(point.gain);
    point.x = Trunc(X - plot.left);
    point.y = Trunc(Y - plot.top);
    const QColor colour =
        QColor::fromRgb(kBandColours[static_cast<std::size_t>(point.index) % kBandColours.size()]);
    const bool hovered = point.index == m_hovered;
    QColor handleColour = colour;
    handleColour.setAlpha(hovered ? 255 : 127);
    QPen pen(handleColour, hovered ? 3.0 : 2.0);
    const bool selected = point.index == m_selected;
    const int bx = Trunc(X - 9) + 2;
    const int by = Trunc(Y - 9) + 2;
    if (point.type == EQ_TYPE_PEAK) {
        painter.setPen(pen);
        const QRectF circle(Trunc(X) - 9, Trunc(Y) - 9, 18, 18);
        painter.drawArc(circle, -15 * 16, -150 * 16);
        painter.drawArc(circle, -195 * 16, -150 * 16);
    } else {
        pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        painter.drawRect(QRectF(bx, by, 14, 14));
        if (selected) {
            QPen marker(QColor(0, 60, 60), 1.5, Qt::DashLine);
            painter.setPen(marker);
            const int mx = Trunc(X);
            painter.drawLine(QPointF(mx, plot.top), QPointF(mx, height() - kBottomMargin));
        }
    }
    painter.setFont(m_numberFont);
    painter.setPen(colour);
    const QString number = QString::number(point.index + 1);
    const QFontMetricsF fm(m_numberFont);
    const double tw = fm.horizontalAdvance(number) + 1;
    const double th = fm.height();
    painter.drawText(QRectF(bx + 7 - tw / 2, by + 7 - th / 2, tw, th), Qt::AlignCenter, number);
}

EqPoint EqGraph::Shown(const EqPoint& point) const {
    return m_heldValues && point.index == DraggedPoint() ? m_heldValues(point) : point;
}

std::vector<EqGraph::LabelLine> EqGraph::LabelLines(const EqPoint& shown) const {
    std::vector<LabelLine> lines = {
        {QStringLiteral("F:"), QString::asprintf("%.1fHz", static_cast<double>(shown.freq))},
        {QStringLiteral("G:"), m_scaleMode == 1
                                   ? QString::asprintf("%+-.1fdB", static_cast<double>(shown.gain))
                                   : QString::asprintf("%+-ddB", Trunc(shown.gain))},
    };
    if (m_scaleMode == 1) {
        lines.push_back({QStringLiteral("Q:"), QString::asprintf("%.3f", static_cast<double>(shown.q))});
    }
    return lines;
}

QRect EqGraph::HandleRect(const EqPoint& point, const Plot& plot) const {
    const int x = Trunc(plot.XOf(point.freq));
    const int y = Trunc(plot.YOf(point.gain));
    return QRect(x - kHandleReach, y - kHandleReach, 2 * kHandleReach + 1, 2 * kHandleReach + 1);
}

QRect EqGraph::HandleRect(int band) const {
    return band >= 0 && band < m_count ? HandleRect(Point(band), PlotArea()) : QRect();
}

QRect EqGraph::PlaceLabel(int band, QSize size, const Plot& plot) const {
    std::vector<QRect> others;
    for (int i = 0; i < m_count; ++i) {
        if (i != band) {
            others.push_back(HandleRect(Point(i), plot));
        }
    }
    return PlaceEqLabel(size, HandleRect(Point(band), plot), Point(band).gain < -0.01f,
                        QRect(plot.left, plot.top, plot.w, plot.h), others);
}

EqGraph::LaidOutLabel EqGraph::LayOutLabel() const {
    LaidOutLabel label;
    if (m_off || m_selected < 0 || m_selected >= m_count) {
        return label;
    }
    label.lines = LabelLines(Shown(Point(m_selected)));
    const QFontMetrics fm(m_labelFont);
    int values = 0;
    for (const LabelLine& line : label.lines) {
        label.valueLeft = std::max(label.valueLeft, fm.horizontalAdvance(line.tag) + kLabelTagGap);
        values = std::max(values, fm.horizontalAdvance(line.value));
    }
    const QSize size(label.valueLeft + values,
                     (static_cast<int>(label.lines.size()) - 1) * kLabelLineStep + fm.height());
    label.rect = PlaceLabel(m_selected, size, PlotArea());
    return label;
}

EqGraph::Label EqGraph::SelectedLabel() const {
    const LaidOutLabel laidOut = LayOutLabel();
    Label label{laidOut.rect, {}};
    for (const LabelLine& line : laidOut.lines) {
        label.lines << line.tag + line.value;
    }
    return label;
}

void EqGraph::DrawSelectedLabel(QPainter& painter) {
    const LaidOutLabel label = LayOutLabel();
    painter.setFont(m_labelFont);
    int y = label.rect.top();
    for (const LabelLine& line : label.lines) {
        painter.setPen(QColor(0, 120, 180));
        DrawTextAt(painter, label.rect.left(), y, line.tag);
        painter.setPen(QColor(160, 20, 20));
        DrawTextAt(painter, label.rect.left() + label.valueLeft, y, line.value);
        y += kLabelLineStep;
    }
}

QString EqGraph::InfoText(const EqPoint& point, int scaleMode, int language) {
    const int n = point.index + 1;
    const double freq = point.freq;
    const double q = point.q;
    const bool english = language != 0;
    if (scaleMode != 1) {
        return english ? QString::asprintf("Index=%d Frequency=%.0fHz Gain=", n, freq)
                       : QString::asprintf("控制号=%d    频率=%.0fHz     增益=", n, freq);
    }
    if (n == 2 || n == 3) {
        return english
                   ? QString::asprintf("Index=%d Frequency=%.0fHz Q=%.3f  Gain=", n, freq, q)
                   : QString::asprintf("控制号=%d 频率=%.0fHz Q值=%.1f(右键选中左右移动)  增益=", n, freq, q);
    }
    return english ? QString::asprintf("Index=%d Frequency=%.0fHz  Gain=", n, freq)
                   : QString::asprintf("控制号=%d 频率=%.0fHz 增益=", n, freq);
}

QString EqGraph::InfoGainText(const EqPoint& point, int scaleMode) {
    return scaleMode == 1 ? QString::asprintf("%+-.1fdB ", static_cast<double>(point.gain))
                          : QString::asprintf("%+-ddB ", Trunc(point.gain));
}

QColor EqGraph::InfoGainColor(float gain) {
    const int g = std::abs(Trunc(gain));
    if (g <= 6) {
        return QColor(123, 209, 0);
    }
    if (g <= 10) {
        return QColor(200, 160, 0);
    }
    if (g <= 14) {
        return QColor(255, 0, 0);
    }
    return QColor(0, 0, 0, 0);
}

void EqGraph::DrawInfoLine(QPainter& painter, const EqPoint& point) {
    const QString info = InfoText(point, m_scaleMode, m_language);
    painter.setFont(m_infoFont);
    painter.setPen(Qt::black);
    DrawTextAt(painter, kLeftMargin, 2, info);
    const QColor colour = InfoGainColor(point.gain);
    if (colour.alpha() == 0) {
        return;
    }
    painter.setPen(colour);
    DrawTextAt(painter, kLeftMargin + painter.fontMetrics().horizontalAdvance(info), 2,
               InfoGainText(point, m_scaleMode));
}

int EqGraph::HitTest(int px, int py) const {
    for (int i = 0; i < m_count; ++i) {
        const EqPoint& p = Point(i);
        if (std::abs(p.x - px) < kHitRadius && std::abs(p.y - py) < kHitRadius) {
            return i;
        }
    }
    return -1;
}

void EqGraph::Edited(EqPoint& point) {
    CalcResponse(point);
    emit pointChanged(point, m_controlId);
    EqGraphAccessible::BandChanged(*this, point.index);
}

void EqGraph::mousePressEvent(QMouseEvent* event) {
    m_wheelGesture.Break();
    const bool left = event->button() == Qt::LeftButton;
    if (!left && event->button() != Qt::RightButton) {
        return;
    }
    const int px = event->position().toPoint().x() - kPointerOriginX;
    const int py = event->position().toPoint().y() - kPointerOriginY;
    if (left) {
        setFocus(Qt::MouseFocusReason);
        m_leftDrag = true;
    } else {
        m_rightDrag = true;
        m_rightPress = event->position().toPoint();
        m_rightMoved = false;
    }
    m_selected = HitTest(px, py);
    if (m_selected >= 0) {
        EqPoint& p = Point(m_selected);
        if (left) {
            m_dragX = px - p.x;
            m_dragY = py - p.y;
        } else {
            m_dragX = px;
        }
        emit pointSelected(p, m_controlId);
    }
    update();
}

void EqGraph::mouseMoveEvent(QMouseEvent* event) {
    if (event->position().toPoint() != m_wheelAt) {
        m_wheelGesture.Break();
    }
    const int px = event->position().toPoint().x() - kPointerOriginX;
    const int py = event->position().toPoint().y() - kPointerOriginY;
    const Plot plot = PlotArea();
    if (m_leftDrag && m_selected >= 0 && plot.w > 0 && plot.h > 0) {
        EqPoint& p = Point(m_selected);
        p.freq = static_cast<float>(10.0 * std::pow(10.0, 3.4 * (px - m_dragX) / plot.w));
        p.gain = static_cast<float>(15.0 - static_cast<double>(py - m_dragY) / plot.h * 30.0);
        p.gain = std::clamp(p.gain, p.minGain, p.maxGain);
        p.freq = std::clamp(p.freq, p.minFreq, p.maxFreq);
        Edited(p);
    }
    if (m_rightDrag &&
        (event->position().toPoint() - m_rightPress).manhattanLength() >= QApplication::startDragDistance()) {
        m_rightMoved = true;
    }
    const int hovered = m_leftDrag || m_rightDrag ? m_hovered : HitTest(px, py);
    if (hovered != m_hovered) {
        m_hovered = hovered;
        update();
    }
    if (m_rightDrag && m_selected >= 0) {
        EqPoint& p = Point(m_selected);
        if (m_scaleMode != 1 || p.type != EQ_TYPE_PEAK) {
            return;
        }
        p.q = std::clamp(static_cast<float>(p.q + (px - m_dragX) / 40.0), 1.0f, 20.0f);
        m_dragX = px;
        Edited(p);
    }
    update();
}

void EqGraph::mouseReleaseEvent(QMouseEvent* event) {
    bool* flag = event->button() == Qt::LeftButton    ? &m_leftDrag
                 : event->button() == Qt::RightButton ? &m_rightDrag
                                                      : nullptr;
    if (flag == nullptr) {
        return;
    }
    if (*flag && m_selected >= 0) {
        emit pointChanged(Point(m_selected), m_controlId);
    }
    const bool menu = flag == &m_rightDrag && *flag && !m_rightMoved;
    *flag = false;
    if (menu) {
        ShowMenu(event->globalPosition().toPoint());
    }
}

void EqGraph::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    const int hit = HitTestAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && hit >= 0) {
        emit pointDoubleClicked(hit, m_controlId);
    }
}

void EqGraph::keyPressEvent(QKeyEvent* event) {
    event->accept();
    m_wheelGesture.Break();
    const int key = event->key();
    const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    const bool fine = (event->modifiers() & Qt::ControlModifier) != 0;
    if (key == Qt::Key_Menu || (key == Qt::Key_F10 && shift)) {
        const QPoint at =
            m_selected >= 0 && m_selected < m_count
                ? QPoint(Point(m_selected).x + kPointerOriginX, Point(m_selected).y + kPointerOriginY)
                : rect().center();
        ShowMenu(mapToGlobal(at));
        return;
    }
    if ((key == Qt::Key_Left || key == Qt::Key_Right) && !shift) {
        if (m_count == 0) {
            return;
        }
        const int step = key == Qt::Key_Right ? 1 : -1;
        const int next = m_selected < 0 || m_selected >= m_count
                             ? (step > 0 ? 0 : m_count - 1)
                             : std::clamp(m_selected + step, 0, m_count - 1);
        if (next != m_selected) {
            SelectBand(next);
        }
        return;
    }
    if (m_selected < 0 || m_selected >= m_count) {
        return;
    }
    if (key == Qt::Key_F2 || key == Qt::Key_Return || key == Qt::Key_Enter) {
        emit pointDoubleClicked(m_selected, m_controlId);
        return;
    }
    EqPoint& p = Point(m_selected);
    const int sign = key == Qt::Key_Up ? 1 : -1;
    if ((key == Qt::Key_Up || key == Qt::Key_Down) && shift) {
        if (!QEditable(p)) {
            return;
        }
        p.q = std::clamp(p.q + static_cast<float>(sign) * (fine ? kFineQStep : kQStep), 1.0f, 20.0f);
    } else if (key == Qt::Key_Up || key == Qt::Key_Down) {
        p.gain = std::clamp(p.gain + static_cast<float>(sign) * GainStep(fine), p.minGain, p.maxGain);
    } else if (key == Qt::Key_Left || key == Qt::Key_Right) {
        const double octaves =
            (fine ? kFineFrequencyStepOctaves : kFrequencyStepOctaves) * (key == Qt::Key_Right ? 1 : -1);
        p.freq = std::clamp(static_cast<float>(p.freq * std::pow(2.0, octaves)), p.minFreq, p.maxFreq);
    } else {
        return;
    }
    Edited(p);
    update();
}

void EqGraph::wheelEvent(QWheelEvent* event) {
    const QPoint at = event->position().toPoint();
    // A run of notches keeps turning the band it began on, though its handle leaves the pointer.
    const bool continues =
        m_wheelGesture.Notch() && at == m_wheelAt && m_wheelBand >= 0 && m_wheelBand < m_count;
    m_wheelAt = at;
    const int band = continues ? m_wheelBand : HitTestAt(at);
    if (!continues) {
        m_wheelRemainder = 0;
    }
    if (band < 0 || m_leftDrag || m_rightDrag) {
        m_wheelBand = -1;
        m_wheelGesture.Break();
        event->ignore();
        return;
    }
    m_wheelBand = band;
    event->accept();
    const QPoint delta = event->angleDelta();
    m_wheelRemainder += delta.y() != 0 ? delta.y() : delta.x();
    const int notches = m_wheelRemainder / kWheelNotch;
    m_wheelRemainder -= notches * kWheelNotch;
    if (notches == 0) {
        return;
    }
    if (band != m_selected) {
        SelectBand(band);
    }
    const bool fine = (event->modifiers() & Qt::ControlModifier) != 0;
    EqPoint& p = Point(band);
    if ((event->modifiers() & Qt::ShiftModifier) != 0) {
        if (!QEditable(p)) {
            return;
        }
        p.q = std::clamp(p.q + static_cast<float>(notches) * (fine ? kFineQStep : kQStep), 1.0f, 20.0f);
    } else {
        p.gain = std::clamp(p.gain + static_cast<float>(notches) * GainStep(fine), p.minGain, p.maxGain);
    }
    Edited(p);
    update();
}

bool EqGraph::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    auto* help = static_cast<QHelpEvent*>(event);
    const int hit = HitTestAt(help->pos());
    if (hit < 0) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    const EqPoint& p = Point(hit);
    const QRect handle(p.x + kPointerOriginX - kHitRadius, p.y + kPointerOriginY - kHitRadius, 2 * kHitRadius,
                       2 * kHitRadius);
    QToolTip::showText(help->globalPos(), ToolTipText(p, m_scaleMode, m_language), this, handle);
    return true;
}

void EqGraph::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    m_wheelGesture.Break();
    if (m_hovered >= 0) {
        m_hovered = -1;
        update();
    }
}

void EqGraph::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void EqGraph::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

int EqGraph::HitTestAt(const QPoint& client) const {
    return HitTest(client.x() - kPointerOriginX, client.y() - kPointerOriginY);
}

void EqGraph::SelectBand(int index) {
    m_selected = index;
    emit pointSelected(Point(index), m_controlId);
    EqGraphAccessible::BandSelected(*this, index);
    update();
}

float EqGraph::GainStep(bool fine) const {
    return fine && m_scaleMode == 1 ? kFineGainStep : kGainStep;
}

bool EqGraph::QEditable(const EqPoint& point) const {
    return m_scaleMode == 1 && point.type == EQ_TYPE_PEAK;
}

QString EqGraph::ToolTipText(const EqPoint& point, int scaleMode, int language) {
    const bool english = language != 0;
    const int n = point.index + 1;
    const double freq = point.freq;
    const QString gain = scaleMode == 1 ? QString::asprintf("%+.1fdB", static_cast<double>(point.gain))
                                        : QString::asprintf("%+ddB", Trunc(point.gain));
    QString text = english ? QString::asprintf("Index=%d Frequency=%.0fHz Gain=", n, freq) + gain
                           : QString::asprintf("控制号=%d 频率=%.0fHz 增益=", n, freq) + gain;
    if (scaleMode == 1 && point.type == EQ_TYPE_PEAK) {
        text += QString::asprintf(english ? " Q=%.3f" : " Q值=%.3f", static_cast<double>(point.q));
    }
    return text;
}

void EqGraph::ShiftAllGains(float delta) {
    for (int i = 0; i < m_count; ++i) {
        EqPoint& p = Point(i);
        p.gain = std::clamp(p.gain + delta, p.minGain, p.maxGain);
        CalcResponse(p);
    }
    emit pointsChanged(m_controlId);
    update();
}

std::unique_ptr<QMenu> EqGraph::ContextMenu() {
    auto menu = std::make_unique<QMenu>(this);
    const bool english = m_language != 0;
    for (const float delta : {kGainStep, -kGainStep}) {
        const QString text = english
                                 ? QString::asprintf("Shift all bands %+.0f dB", static_cast<double>(delta))
                                 : QString::asprintf("全部频段 %+.0f dB", static_cast<double>(delta));
        menu->addAction(text, this, [this, delta] { ShiftAllGains(delta); });
    }
    emit menuAboutToShow(menu.get(), m_controlId);
    return menu;
}

void EqGraph::ShowMenu(const QPoint& globalPos) {
    const std::unique_ptr<QMenu> menu = ContextMenu();
    menu->exec(globalPos);
}

}  // namespace varnoth
