// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QLabel>

#include <functional>
#include <optional>

namespace varnoth {

// A static text whose colour is chosen when it is painted, so that it follows the state it shows (the
// connection, the shown path, its own number). It can fill a background of its own; otherwise it is
// transparent.
class ColourLabel : public QLabel {
    Q_OBJECT

  public:
    using ColourRule = std::function<QColor(const ColourLabel& label)>;

    explicit ColourLabel(const QString& text, QWidget* parent = nullptr);

    void SetColourRule(ColourRule rule);
    void SetBackground(std::optional<QColor> background);
    // The colour the next paint uses.
    QColor TextColour() const;
    std::optional<QColor> Background() const { return m_background; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    ColourRule m_rule;
    std::optional<QColor> m_background;
};

}  // namespace varnoth
