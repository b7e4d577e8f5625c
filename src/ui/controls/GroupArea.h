// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGroupBox>

namespace varnoth {

// A group of controls inside a larger frame, drawn nowhere: a screen reader meets the controls within it and
// takes its title as their label. A click on its background is one on the frame around it.
class GroupArea : public QGroupBox {
    Q_OBJECT
  public:
    explicit GroupArea(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace varnoth
