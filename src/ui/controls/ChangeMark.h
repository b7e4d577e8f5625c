// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QWidget>

namespace varnoth {

// A small dot in the top right corner of the widget it marks, the way an editor marks a document with
// unsaved changes: a filled circle with a light rim, so that it stands out on light and on coloured
// buttons alike. It covers only its own corner, follows the marked widget's size and lets every mouse
// event through to it.
class ChangeMark : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kDiameter = 7;

    explicit ChangeMark(QWidget& marked, QColor colour = QColor(220, 20, 20));

    void SetMarked(bool marked) { setVisible(marked); }
    bool IsMarked() const { return !isHidden(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void Place();

    QColor m_colour;
};

}  // namespace varnoth
