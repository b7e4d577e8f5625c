// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QGroupBox>

namespace varnoth {

// A group box drawn as a rounded frame in a chosen colour, with an optional caption cut into the top
// edge. The caption is taken from the title on the first paint and kept.
class GroupBox : public QGroupBox {
    Q_OBJECT
  public:
    explicit GroupBox(QWidget* parent = nullptr);

    void SetBorderColor(const QColor& colour);
    QColor BorderColor() const { return m_frame; }
    void SetCaptionBackground(const QColor& colour);
    void SetTextColor(const QColor& colour);
    QString Caption() const { return m_caption; }
    // Where the caption is drawn, in the box's coordinates; empty without one.
    QRect CaptionRect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void Changed();

    QString m_caption;
    QColor m_frame;
    QColor m_captionBackground;
    QColor m_text;
};

}  // namespace varnoth
