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
// owner pushes new values.
class LevelMeter : public QWidget {
    Q_OBJECT
  public:
    enum Zone { Green = 0, Yellow = 1, Red = 2 };
    static constexpr int kDefaultRefreshPeriod = 50;

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
    int SegmentCount() const;
    int LitCount(int value) const;
    Zone ZoneOf(int segment) const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int m_bands = 8;
    int m_ledCount = 8;
    int m_range = 70;
    int m_greenLimit = 55;
    int m_yellowLimit = 65;
    QColor m_background{236, 236, 216};
    std::array<QColor, 3> m_lit{QColor(0, 255, 0), QColor(255, 255, 0), QColor(255, 0, 0)};
    std::array<QColor, 3> m_unlit{QColor(2, 128, 2), QColor(128, 128, 2), QColor(128, 2, 2)};
    std::vector<int> m_values;
    QTimer m_timer;
};

}  // namespace varnoth
