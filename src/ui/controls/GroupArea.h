// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGroupBox>

namespace varnoth {

// A group of controls inside a larger frame, drawn nowhere: a screen reader meets the controls within it and
// takes its title as their label. The controls inside take the mouse as anywhere else; a click or a wheel
// turn on its bare background goes on to the frame around it.
class GroupArea : public QGroupBox {
    Q_OBJECT
  public:
    explicit GroupArea(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};

}  // namespace varnoth
