// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>
#include <vector>

namespace varnoth {

// A compressor's static transfer curve (output dB over input dB, -50..+5 dB on both axes) with the
// threshold dot and the shaded output range. Passive: the owner sets the values and the panel repaints.
class CompressorCurve : public QWidget {
    Q_OBJECT
  public:
    explicit CompressorCurve(QWidget* parent = nullptr);

    bool IsEnabledCurve() const { return m_enabled; }
    // false draws "OFF" over the picture.
    void SetEnabledCurve(bool enabled);
    float Threshold() const { return m_threshold; }
    void SetThreshold(float db);
    // Output dB per input dB above the threshold: 1 = no compression, 0 = hard limit.
    float UpperSlope() const { return m_upperSlope; }
    void SetUpperSlope(float slope);
    void SetGridColor(const QColor& colour);
    void SetTextColor(const QColor& colour);

    // Axis mapping of the current size.
    int XOfInput(double db) const;
    int YOfOutput(double db) const;
    // Where the axis labels are drawn at the current size: every label that fits inside the panel
    // without touching its neighbour, the output axis first.
    std::vector<QRect> AxisLabelRects() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    struct Label {
        QRect rect;
        QString text;
        bool inputAxis;
    };
    std::vector<Label> PlaceLabels() const;
    void BuildGrid();

    bool m_enabled = false;
    float m_threshold = -15.0f;
    float m_upperSlope = 1.0f;
    QColor m_gridColor{0, 110, 0};
    QColor m_textColor{73, 90, 151};
    QPixmap m_grid;
};

}  // namespace varnoth
