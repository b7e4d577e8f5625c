// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QRect>
#include <QString>

#include <functional>

#include "ui/dialogs/DialogTemplate.h"

class QDialog;
class QWidget;

namespace varnoth {

// Makes the widget of a template row the builder has no standard widget for (a custom control); returning
// nullptr lets the builder make the standard widget of the row's kind. The builder places it.
using ControlFactory = std::function<QWidget*(const ControlTemplate& control, QWidget* parent)>;

// The font of a template: its faces in order of preference at the template's size.
QFont DialogFontOf(const DialogFont& font);

// Dialog-unit base of a font, as the dialog manager measures it.
DialogBaseUnits BaseUnitsOf(const QFont& font);

QRect ToPixels(const DialogRect& units, const DialogBaseUnits& base);

// Turns a template into widgets on `dialog`: title, font, fixed client size, and one widget per row at its
// rectangle, carrying the row's control ID, caption and style, inside the group box around it.
void BuildDialog(QDialog& dialog, const DialogTemplate& dialogTemplate, const ControlFactory& factory = {});

// Puts every control of a built dialog into the innermost group box around its centre, keeping its place on
// screen: a screen reader meets the controls within their group, and a titled group labels them. A group box
// added inside another later takes its controls with another call. BuildDialog calls it.
void NestInGroups(QWidget& dialog);

// Moves a widget into another, keeping whether it is shown; its geometry is the caller's.
void MoveInto(QWidget& widget, QWidget& parent);

// The control with this ID among the dialog's descendants, or nullptr.
QWidget* FindControl(const QWidget& dialog, int id);

template <class Widget>
Widget* FindControl(const QWidget& dialog, int id) {
    return qobject_cast<Widget*>(FindControl(dialog, id));
}

// The control ID a widget was built with; -1 for a widget that is no template control.
int ControlIdOf(const QWidget& widget);
// Gives a widget a control ID, as the builder does for each row: FindControl finds it by it.
void SetControlId(QWidget& widget, int id);

// The caption of any control: the text of labels, buttons and edit fields, the title of group boxes, and a
// caption kept but not drawn for other controls (frames that host custom controls).
void SetControlText(QWidget& control, const QString& text);
QString ControlText(const QWidget& control);

}  // namespace varnoth
