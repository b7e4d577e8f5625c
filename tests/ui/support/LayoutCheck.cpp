// SPDX-License-Identifier: GPL-3.0-or-later
#include "LayoutCheck.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <climits>

#include "ui/controls/GroupBox.h"
#include "ui/controls/ImageButton.h"
#include "ui/dialogs/DialogBuilder.h"

namespace varnoth::test {
namespace {

// Room a push button's frame takes on each side.
constexpr int kButtonFrame = 2;

std::string Name(const QWidget& widget) {
    return std::string(widget.metaObject()->className()) + " " + std::to_string(ControlIdOf(widget));
}

std::string Describe(const QWidget& widget, const QString& text, QSize needed) {
    const QRect g = widget.geometry();
    return Name(widget) + " \"" + text.toStdString() + "\" needs " + std::to_string(needed.width()) + "x" +
           std::to_string(needed.height()) + " px, has " + std::to_string(g.width()) + "x" +
           std::to_string(g.height());
}

void CheckText(const QWidget& widget, const QString& text, QSize needed, QSize room,
               std::vector<std::string>& problems) {
    if (!text.isEmpty() && (needed.width() > room.width() || needed.height() > room.height())) {
        problems.push_back(Describe(widget, text, needed));
    }
}

// The size one line of text takes, with the faces that stand in for glyphs the font lacks.
QSize LineSize(const QFontMetrics& fm, const QString& text) {
    return fm.boundingRect(QRect(0, 0, INT_MAX / 2, INT_MAX / 2), Qt::AlignLeft | Qt::AlignTop, text).size();
}

bool IsGroup(const QWidget& widget) {
    return qobject_cast<const QGroupBox*>(&widget) != nullptr ||
           qobject_cast<const GroupBox*>(&widget) != nullptr;
}

void CheckControlText(const QWidget& widget, std::vector<std::string>& problems) {
    const QFontMetrics fm(widget.font());
    const QSize room = widget.size();
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        if (!label->pixmap().isNull() || label->text().isEmpty()) {
            return;
        }
        const QString text = label->text();
        const QRect inside = label->contentsRect();
        QSize needed = LineSize(fm, text);
        if (label->wordWrap()) {
            const QRect wrapped = fm.boundingRect(QRect(0, 0, inside.width(), INT_MAX),
                                                  Qt::TextWordWrap | label->alignment(), text);
            needed = QSize(std::min(needed.width(), wrapped.width()), wrapped.height());
        }
        CheckText(widget, text, needed, inside.size(), problems);
        return;
    }
    if (const auto* image = qobject_cast<const ImageButton*>(&widget)) {
        CheckText(widget, image->text(), LineSize(fm, image->text()), room, problems);
        return;
    }
    if (qobject_cast<const QCheckBox*>(&widget) != nullptr ||
        qobject_cast<const QRadioButton*>(&widget) != nullptr) {
        const auto& button = static_cast<const QAbstractButton&>(widget);
        const bool radio = qobject_cast<const QRadioButton*>(&widget) != nullptr;
        const QStyle& style = *widget.style();
        const int indicator = style.pixelMetric(
            radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth, nullptr, &widget);
        const int spacing = style.pixelMetric(
            radio ? QStyle::PM_RadioButtonLabelSpacing : QStyle::PM_CheckBoxLabelSpacing, nullptr, &widget);
        CheckText(widget, button.text(), LineSize(fm, button.text()) + QSize(indicator + spacing, 0), room,
                  problems);
        return;
    }
    if (const auto* push = qobject_cast<const QPushButton*>(&widget)) {
        CheckText(widget, push->text(), LineSize(fm, push->text()) + QSize(2 * kButtonFrame, 0), room,
                  problems);
        return;
    }
    if (const auto* list = qobject_cast<const QComboBox*>(&widget)) {
        for (int i = 0; i < list->count(); ++i) {
            const QString text = list->itemText(i);
            QStyleOptionComboBox option;
            option.initFrom(list);
            const QSize needed = widget.style()->sizeFromContents(
                QStyle::CT_ComboBox, &option, QSize(fm.horizontalAdvance(text), fm.height()), list);
            CheckText(widget, text, QSize(needed.width(), fm.height()), room, problems);
        }
        return;
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(&widget)) {
        CheckText(widget, group->title(),
                  QSize(fm.horizontalAdvance(group->title()) + 2 * fm.averageCharWidth(), fm.height()), room,
                  problems);
        return;
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(&widget)) {
        CheckText(widget, edit->text(), QSize(fm.horizontalAdvance(edit->text()) + 4, fm.height()), room,
                  problems);
    }
}

// A group box holds the controls it frames; a picture the areas drawn on it.
bool Holds(const QWidget& group, const QWidget& other) {
    const auto* picture = qobject_cast<const QLabel*>(&group);
    const bool holder = IsGroup(group) || (picture != nullptr && !picture->pixmap().isNull());
    return holder && group.geometry().contains(other.geometry());
}

}  // namespace

std::vector<std::string> LayoutProblems(const QWidget& dialog) {
    std::vector<std::string> problems;
    std::vector<const QWidget*> shown;
    for (const QObject* child : dialog.children()) {
        const auto* widget = qobject_cast<const QWidget*>(child);
        if (widget == nullptr || widget->isWindow() || !widget->isVisibleTo(&dialog) ||
            !widget->property("varnothControlId").isValid() || widget->geometry().isEmpty()) {
            continue;
        }
        shown.push_back(widget);
        CheckControlText(*widget, problems);
        if (!dialog.rect().contains(widget->geometry())) {
            problems.push_back(Name(*widget) + " sticks out of the dialog");
        }
    }
    for (std::size_t i = 0; i < shown.size(); ++i) {
        for (std::size_t j = i + 1; j < shown.size(); ++j) {
            const QWidget& a = *shown[i];
            const QWidget& b = *shown[j];
            if (a.geometry().intersects(b.geometry()) && !Holds(a, b) && !Holds(b, a)) {
                problems.push_back(Name(a) + " overlaps " + Name(b));
            }
        }
    }
    return problems;
}

}  // namespace varnoth::test
