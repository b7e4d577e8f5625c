// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/SliderAccessible.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

#include "ui/controls/TrackSlider.h"

namespace varnoth {

SliderAccessible::SliderAccessible(TrackSlider* slider) : QAccessibleWidget(slider, QAccessible::Slider) {}

TrackSlider* SliderAccessible::Slider() const {
    return static_cast<TrackSlider*>(widget());
}

void* SliderAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface) {
        return static_cast<QAccessibleValueInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QString SliderAccessible::text(QAccessible::Text type) const {
    if (type == QAccessible::Value) {
        return Slider()->ShownAt(Slider()->value());
    }
    return QAccessibleWidget::text(type);
}

std::optional<double> SliderAccessible::ShownNumber(const QString& text) {
    static const QRegularExpression number(QStringLiteral("([-+\\x{2212}]?)(\\d+(?:[.,]\\d+)?)\\s*(k?)"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    QString digits = match.captured(2);
    digits.replace(QLatin1Char(','), QLatin1Char('.'));
    double value = digits.toDouble();
    if (!match.captured(3).isEmpty()) {
        value *= 1000;
    }
    return match.captured(1).isEmpty() || match.captured(1) == QLatin1String("+") ? value : -value;
}

double SliderAccessible::NumberAt(int position) const {
    const TrackSlider* slider = Slider();
    if (const std::optional<double> shown = ShownNumber(slider->ShownAt(position))) {
        return *shown;
    }
    // A word: one step beyond the two nearest numbers on the side they lie.
    for (const int side : {1, -1}) {
        std::optional<double> first;
        int firstAt = 0;
        for (int p = position + side; p >= slider->minimum() && p <= slider->maximum(); p += side) {
            const std::optional<double> shown = ShownNumber(slider->ShownAt(p));
            if (!shown) {
                continue;
            }
            if (!first) {
                first = shown;
                firstAt = p;
                continue;
            }
            return *first + (*first - *shown) * (firstAt - position) / (p - firstAt);
        }
    }
    return position;
}

int SliderAccessible::Direction() const {
    return NumberAt(Slider()->maximum()) >= NumberAt(Slider()->minimum()) ? 1 : -1;
}

QVariant SliderAccessible::currentValue() const {
    return NumberAt(Slider()->value());
}

void SliderAccessible::setCurrentValue(const QVariant& value) {
    bool ok = false;
    const double wanted = value.toDouble(&ok);
    TrackSlider* slider = Slider();
    if (!ok || !slider->isEnabled()) {
        return;
    }
    int best = slider->value();
    double distance = std::abs(NumberAt(best) - wanted);
    for (int p = slider->minimum(); p <= slider->maximum(); ++p) {
        const double d = std::abs(NumberAt(p) - wanted);
        if (d < distance) {
            best = p;
            distance = d;
        }
    }
    slider->MoveTo(best);
}

QVariant SliderAccessible::maximumValue() const {
    return std::max(NumberAt(Slider()->minimum()), NumberAt(Slider()->maximum()));
}

QVariant SliderAccessible::minimumValue() const {
    return std::min(NumberAt(Slider()->minimum()), NumberAt(Slider()->maximum()));
}

QVariant SliderAccessible::minimumStepSize() const {
    const TrackSlider* slider = Slider();
    const int p = slider->value() < slider->maximum() ? slider->value() : slider->value() - 1;
    return std::abs(NumberAt(p + 1) - NumberAt(p));
}

QStringList SliderAccessible::actionNames() const {
    QStringList names = QAccessibleWidget::actionNames();
    if (Slider()->isEnabled()) {
        names << increaseAction() << decreaseAction();
    }
    return names;
}

void SliderAccessible::doAction(const QString& actionName) {
    TrackSlider* slider = Slider();
    if (!slider->isEnabled()) {
        return;
    }
    const int step = slider->singleStep() * Direction();
    if (actionName == increaseAction()) {
        slider->MoveTo(slider->value() + step);
    } else if (actionName == decreaseAction()) {
        slider->MoveTo(slider->value() - step);
    } else {
        QAccessibleWidget::doAction(actionName);
    }
}

}  // namespace varnoth
