#pragma once

#include <QWidget>

namespace varnoth {

class CEqPanel;
class CCompressPanel;
class CPeakMeterCtrl;

// Every custom control at its size in the main window, filled with sample values, plus the status and
// channel pictures: a page to look the controls over.
class CControlGallery : public QWidget {
    Q_OBJECT
  public:
    explicit CControlGallery(QWidget* parent = nullptr);

    CEqPanel* GraphicEq() const { return m_graphic; }
    CEqPanel* ParametricEq() const { return m_parametric; }

  private:
    CEqPanel* m_graphic = nullptr;
    CEqPanel* m_parametric = nullptr;
};

}  // namespace varnoth
