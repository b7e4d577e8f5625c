// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QTimer>

#include "ui/controls/TrackSlider.h"

namespace varnoth {

// A slider that moves one step toward the pointer per click and per auto-repeat tick while the button
// is held, and one step per wheel notch. A press on the thumb starts a normal drag; holding the button on
// the groove moves no further once the thumb covers the pointer. Vertical sliders have their minimum at the
// top. Every move the user made is reported by `scrolled`; the receiver reads the position from the slider.
class StepSlider : public TrackSlider {
    Q_OBJECT
  public:
    // Which scroll notification a move produces.
    enum ScrollMessage { HScroll, VScroll };
    static constexpr int kRepeatPeriodMs = 200;

    explicit StepSlider(Qt::Orientation orientation, QWidget* parent = nullptr);

    int Step() const { return m_step; }
    void SetStep(int step) { m_step = step; }
    // One step toward `point` (client coordinates), reported when the value changed.
    void StepToward(const QPoint& point);
    QRect ThumbRect() const;

  signals:
    void scrolled(varnoth::StepSlider* slider, varnoth::StepSlider::ScrollMessage message);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    ScrollMessage OwnMessage() const { return orientation() == Qt::Vertical ? VScroll : HScroll; }
    // The auto-repeat tick: a step toward the pointer unless the thumb already covers it.
    void Repeat();

    int m_step = 1;
    QPoint m_pointer;
    QTimer m_repeat;
    ScrollMessage m_message = HScroll;
};

}  // namespace varnoth
