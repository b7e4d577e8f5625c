// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>

namespace varnoth {

class LevelMeter;

// A level meter as assistive technology meets it: a progress bar whose value is the first band's level within
// the meter's range and whose text is the meter's tooltip (level, held peak, the full-scale mark).
class LevelMeterAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit LevelMeterAccessible(LevelMeter* meter);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text type) const override;

    QVariant currentValue() const override;
    // A meter shows what it is given: setting it does nothing.
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override;
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

  private:
    LevelMeter* Meter() const;
};

}  // namespace varnoth
