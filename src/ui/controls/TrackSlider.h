// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSlider>

namespace varnoth {

// A plain trackbar that tells its owner only about moves the user made: `userMoved` comes when a key,
// a click on the groove or a thumb drag changed the value, never for a value the program sets (a
// refresh, a range change) nor for an action that could not move it (a key at the end of the range).
// Only the left button acts on it, so a middle click cannot jump the thumb to the pointer.
class TrackSlider : public QSlider {
    Q_OBJECT
  public:
    explicit TrackSlider(Qt::Orientation orientation, QWidget* parent = nullptr);

  signals:
    void userMoved();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

    // Sets the value on the user's behalf: reported when it changes.
    void MoveBy(int delta);

  private:
    bool m_userAction = false;
};

}  // namespace varnoth
