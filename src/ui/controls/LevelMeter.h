// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <vector>

namespace varnoth {

// An LED-style bar meter: one column of segments per band, lit from the bottom in proportion to the
// band's value, with green, yellow and red zones. Bars sink by themselves every refresh period until the
// owner pushes new values. The highest segment a pushed value reached stays lit for kPeakHoldMs and then
// falls like the bar; a full-scale value latches the top segment red until the meter is clicked, or until
// Space, Delete or Backspace is pressed on it (Tab reaches it; it then shows a focus ring). The
// tooltip tells the level, the held peak and the latch in the meter's units.
class LevelMeter : public QWidget {
    Q_OBJECT
  public:
    enum Zone { Green = 0, Yellow = 1, Red = 2 };
    static constexpr int kDefaultRefreshPeriod = 50;
    static constexpr int kPeakHoldMs = 1500;

    explicit LevelMeter(QWidget* parent = nullptr);

    void SetBands(int bands);
    int Bands() const { return m_bands; }
    void SetLedCount(int count);
    int LedCount() const { return m_ledCount; }
    // Value of a full bar, and the values where the yellow and the red zones start.
    void SetRange(int range, int greenLimit, int yellowLimit);
    int Range() const { return m_range; }
    void SetBackgroundColor(const QColor& colour);

    // Sets one band's value; an index outside the band list changes nothing. Repaints either way.
    void SetData(int band, std::uint8_t value);
    // Sizes the band list to the band count, every band full.
    void ResetControl();
    // Starts the periodic decay (once); `periodMs` is the refresh period.
    void Start(int periodMs = kDefaultRefreshPeriod);
    void Stop();
    bool IsRunning() const { return m_timer.isActive(); }
    // One decay step: every band sinks by one segment's worth of value.
    void Tick();

    int Value(int band) const;
    // The held peak in the meter's units (0 when none), and whether the band's clip mark is latched.
    int Peak(int band) const;
    bool Clipped(int band) const;
    void ClearClips();
    // Language of the tooltip: 0 Chinese, anything else English.
    void SetLanguage(int language) { m_language = language; }
    QString ToolTipText(int band) const;

    int SegmentCount() const;
    int LitCount(int value) const;
    Zone ZoneOf(int segment) const;

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    int Fall() const;
    int HoldTicks() const;

    int m_bands = 8;
    int m_ledCount = 8;
    int m_range = 70;
    int m_greenLimit = 55;
    int m_yellowLimit = 65;
    QColor m_background{236, 236, 216};
    std::array<QColor, 3> m_lit{QColor(0, 255, 0), QColor(255, 255, 0), QColor(255, 0, 0)};
    std::array<QColor, 3> m_unlit{QColor(2, 128, 2), QColor(128, 128, 2), QColor(128, 2, 2)};
    std::vector<int> m_values;
    std::vector<int> m_peaks;
    std::vector<int> m_holds;  // ticks the peak stays where it is
    std::vector<bool> m_clipped;
    int m_periodMs = kDefaultRefreshPeriod;
    int m_language = 1;
    QTimer m_timer;
};

}  // namespace varnoth
