// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QPixmap>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "ui/controls/EqPoint.h"
#include "ui/controls/WheelGesture.h"

class QMenu;

namespace varnoth {

// An equaliser drawn as a frequency-response graph: grid, summed curve, the selected band's shaded
// response and one handle per band. Bands are picked and dragged with the mouse (left: frequency and
// gain; right: Q of peaking bands in scale mode 1). The wheel over a handle steps its gain (Shift: its Q),
// Ctrl for fine steps; the band a run of notches began on stays its target while the handle moves away from
// the pointer, until a pause or a move of the pointer (WheelGesture). Keys: Left/Right pick the previous/next
// band, Up/Down step its gain, Shift+Up/Down its Q where the wheel's Shift does, Shift+Left/Right its
// frequency, Ctrl for fine steps; F2 or Enter asks the owner to type the band's values (as a double-click on
// its handle); Tab reaches the graph. A hovered handle is highlighted and its tooltip tells its values. A
// right click without a drag opens the context menu (also the Menu key). The selected band's label goes
// beside its handle where it covers no other handle.
class EqGraph : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kMaxPoints = 17;
    // Steps of the wheel and the keys; the fine gain step (Ctrl) applies where gains have decimals.
    static constexpr float kGainStep = 1.0f;
    static constexpr float kFineGainStep = 0.2f;
    static constexpr float kQStep = 0.5f;
    static constexpr float kFineQStep = 0.15f;
    static constexpr double kFrequencyStepOctaves = 1.0 / 12;
    static constexpr double kFineFrequencyStepOctaves = 1.0 / 48;

    explicit EqGraph(QWidget* parent = nullptr, int controlId = 0);

    // Sets the number of bands; 4 and 10 also load the parametric and graphic layouts.
    void SetPointCount(int n);
    int PointCount() const { return m_count; }
    EqPoint& Point(int i) { return m_points.at(static_cast<std::size_t>(i)); }
    const EqPoint& Point(int i) const { return m_points.at(static_cast<std::size_t>(i)); }
    static void CalcResponse(EqPoint& point);

    int Selected() const { return m_selected; }
    // The point a held mouse button moves, or -1: it follows the pointer, not the values it is given.
    int DraggedPoint() const { return m_leftDrag || m_rightDrag ? m_selected : -1; }
    void SetSelected(int index);
    // 0: whole-dB labels; 1: one-decimal gains with Q shown and editable. Redraws the grid.
    int ScaleMode() const { return m_scaleMode; }
    void SetScaleMode(int mode);
    bool IsOff() const { return m_off; }
    void SetOff(bool off);
    // Non-zero: English info line; 0: Chinese.
    int Language() const { return m_language; }
    void SetLanguage(int language);
    int ControlId() const { return m_controlId; }
    // Drops the cached grid so that the next paint draws it again.
    void DiscardBackground();

    // Text of the info line before the gain, and the gain text itself, for the selected band.
    static QString InfoText(const EqPoint& point, int scaleMode, int language);
    static QString InfoGainText(const EqPoint& point, int scaleMode);
    // Colour of the info line's gain text; fully transparent beyond 14 dB.
    static QColor InfoGainColor(float gain);
    // A handle's tooltip: its frequency, gain and (where the graph shows it) Q, in the shown units.
    static QString ToolTipText(const EqPoint& point, int scaleMode, int language);

    // The values the owner takes a band's values for, as the parameters' steps give them: a band under a held
    // mouse button shows these in its label and the info line, so that what is held is what is sent.
    void SetHeldValues(std::function<EqPoint(const EqPoint&)> heldValues) {
        m_heldValues = std::move(heldValues);
    }
    // The clock that tells notches of one wheel gesture apart; tests give their own.
    void SetWheelClock(WheelGesture::Clock clock) { m_wheelGesture.SetClock(std::move(clock)); }

    // The selected band's label: where it is drawn and its lines ("F:900.0Hz", "G:+0.0dB", "Q:1.000"); an
    // empty rectangle and no lines while no band is selected or the graph is off.
    struct Label {
        QRect rect;
        QStringList lines;
    };
    Label SelectedLabel() const;
    // Where band i's handle is drawn.
    QRect HandleRect(int band) const;

    // The band under the pointer, -1 for none.
    int Hovered() const { return m_hovered; }
    // Moves every band's gain by delta dB within its limits, as one change (pointsChanged).
    void ShiftAllGains(float delta);
    // The context menu: the graph's own actions, then what the owner adds on menuAboutToShow.
    std::unique_ptr<QMenu> ContextMenu();

  signals:
    // A band's frequency, gain or Q was changed by the user, or a drag over it ended.
    void pointChanged(const varnoth::EqPoint& point, int controlId);
    // A button press or a key picked a band.
    void pointSelected(const varnoth::EqPoint& point, int controlId);
    // Several bands changed at once.
    void pointsChanged(int controlId);
    // The context menu is being built: the owner may add its actions.
    void menuAboutToShow(QMenu* menu, int controlId);
    // A double-click on a band's handle, or F2 or Enter on the picked band: the owner may offer to type its
    // values.
    void pointDoubleClicked(int index, int controlId);

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    struct Plot {
        int left, top, w, h, bottom;
        double XOf(double freq) const;
        double YOf(double gain) const;
        double ColumnX(int j) const { return left + static_cast<double>(j) * w / kEqColumns; }
    };
    Plot PlotArea() const;
    void BuildBackground();
    void DrawCurves(QPainter& painter, const Plot& plot);
    void DrawHandle(QPainter& painter, const Plot& plot, EqPoint& point);
    struct LabelLine {
        QString tag, value;
    };
    struct LaidOutLabel {
        QRect rect;
        std::vector<LabelLine> lines;
        int valueLeft = 0;  // from the rectangle's left edge
    };
    std::vector<LabelLine> LabelLines(const EqPoint& shown) const;
    QRect PlaceLabel(int band, QSize size, const Plot& plot) const;
    LaidOutLabel LayOutLabel() const;
    QRect HandleRect(const EqPoint& point, const Plot& plot) const;
    // A band as its label and the info line show it: a dragged band by the values it is sent as.
    EqPoint Shown(const EqPoint& point) const;
    void DrawSelectedLabel(QPainter& painter);
    void DrawInfoLine(QPainter& painter, const EqPoint& point);
    int HitTest(int px, int py) const;
    int HitTestAt(const QPoint& client) const;
    void Edited(EqPoint& point);
    void SelectBand(int index);
    float GainStep(bool fine) const;
    bool QEditable(const EqPoint& point) const;
    void ShowMenu(const QPoint& globalPos);

    std::array<EqPoint, kMaxPoints> m_points{};
    int m_count = 0;
    int m_selected = -1;
    bool m_leftDrag = false;
    bool m_rightDrag = false;
    int m_dragX = 0;
    int m_dragY = 0;
    QPoint m_rightPress;
    bool m_rightMoved = false;
    int m_hovered = -1;
    int m_wheelRemainder = 0;
    WheelGesture m_wheelGesture;
    // The band the wheel gesture turns and where the pointer was at its last notch.
    int m_wheelBand = -1;
    QPoint m_wheelAt;
    std::function<EqPoint(const EqPoint&)> m_heldValues;
    int m_scaleMode = 0;
    bool m_off = false;
    int m_language = 1;
    int m_controlId = 0;
    QPixmap m_background;
    QFont m_labelFont;
    QFont m_infoFont;
    QFont m_numberFont;
    QFont m_offFont;
};

}  // namespace varnoth
