// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace varnoth {

class EqGraph;
class CompressorCurve;
class LevelMeter;

// Every custom control at its size in the main window, filled with sample values, plus the status and
// channel pictures: a page to look the controls over.
class ControlGallery : public QWidget {
    Q_OBJECT
  public:
    explicit ControlGallery(QWidget* parent = nullptr);

    EqGraph* GraphicEq() const { return m_graphic; }
    EqGraph* ParametricEq() const { return m_parametric; }

  private:
    EqGraph* m_graphic = nullptr;
    EqGraph* m_parametric = nullptr;
};

}  // namespace varnoth
