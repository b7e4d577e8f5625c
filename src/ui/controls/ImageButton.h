// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QImage>
#include <QPixmap>
#include <array>

namespace varnoth {

// A push button drawn from a standard and an alternate (selected) picture, with hover and pressed
// looks prepared once, and its caption centred over the picture. It shows a focus ring while it has the
// keyboard focus.
class ImageButton : public QAbstractButton {
    Q_OBJECT
  public:
    enum Look { Standard, Pressed, Hover, Alternate, AlternatePressed, AlternateHover, LookCount };

    explicit ImageButton(QWidget* parent = nullptr);

    // Loads the two pictures from the image resources; false (and the button keeps what it had) when a
    // picture is missing or damaged.
    bool LoadImages(int standardId, int alternateId);
    void SetImages(const QImage& standard, const QImage& alternate);
    bool HasAltImage() const { return m_hasAltImage; }
    // Shows the alternate picture (the selected look).
    void SetAltState(bool on);
    bool AltState() const { return m_altState; }
    void SetTextColor(const QColor& colour);
    bool IsHover() const { return m_hover; }
    // The look the next paint uses.
    Look CurrentLook() const;

    // The hover picture: red, green and blue scaled by 1.05 and raised by 0.05 of full scale.
    static QImage Brightened(const QImage& image);

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Prepare();

    QColor m_textColor{0, 0, 0};
    bool m_hasAltImage = false;
    bool m_prepared = false;
    bool m_hover = false;
    bool m_altState = false;
    QImage m_stdImage;
    QImage m_altImage;
    std::array<QPixmap, LookCount> m_looks;
};

}  // namespace varnoth
