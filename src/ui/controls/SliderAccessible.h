// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>

#include <optional>

namespace varnoth {

class TrackSlider;

// A slider as assistive technology meets it: its value is the number its owner shows ("-18.0dB" is
// -18.0, "x1.5" is 1.5, "1.2k" is 1200), whichever way the positions run, its text the shown text itself,
// and its range the numbers shown at the two ends. A shown word ("OFF", "-∞") counts as the number one
// step beyond its numeric neighbours. Setting a value, or the increase and decrease actions, moves the
// slider to the position whose shown number lies nearest as the user would, so that it reaches whatever
// the slider drives exactly as a drag does.
class SliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit SliderAccessible(TrackSlider* slider);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text type) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

    // The number a shown text starts with, if any.
    static std::optional<double> ShownNumber(const QString& text);

  private:
    TrackSlider* Slider() const;
    double NumberAt(int position) const;
    // +1 when the shown numbers grow with the position, -1 when they fall.
    int Direction() const;
};

}  // namespace varnoth
