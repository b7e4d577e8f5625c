// SPDX-License-Identifier: GPL-3.0-or-later
#include "LayoutCheck.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>

#include <algorithm>
#include <climits>
#include <optional>

#include "ui/controls/GroupArea.h"
#include "ui/controls/GroupBox.h"
#include "ui/controls/ImageButton.h"
#include "ui/dialogs/DialogBuilder.h"

namespace varnoth::test {
namespace {

// Room a push button's frame takes on each side.
constexpr int kButtonFrame = 2;
// Pixels a text keeps clear of the controls beside it, so that its first or last glyph does not touch them.
constexpr int kTextGap = 2;

// A control as it shows: where it lies in the dialog's coordinates, whatever group it is nested in.
struct Shown {
    const QWidget* widget;
    QRect at;
};

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
    return qobject_cast<const QGroupBox*>(&widget) != nullptr;
}

bool IsTickBox(const QWidget& widget) {
    return qobject_cast<const QCheckBox*>(&widget) != nullptr ||
           qobject_cast<const QRadioButton*>(&widget) != nullptr;
}

QSize LabelTextSize(const QLabel& label) {
    const QFontMetrics fm(label.font());
    const QString text = label.text();
    QSize needed = LineSize(fm, text);
    if (label.wordWrap()) {
        const QRect wrapped = fm.boundingRect(QRect(0, 0, label.contentsRect().width(), INT_MAX),
                                              Qt::TextWordWrap | label.alignment(), text);
        needed = QSize(std::min(needed.width(), wrapped.width()), wrapped.height());
    }
    return needed;
}

QStyleOptionButton TickBoxOption(const QAbstractButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    return option;
}

// Where a check box or radio button draws its box and its text, in its own coordinates.
QRect TickBoxDrawn(const QAbstractButton& button) {
    const bool radio = qobject_cast<const QRadioButton*>(&button) != nullptr;
    const QStyleOptionButton option = TickBoxOption(button);
    const QStyle& style = *button.style();
    const QRect box = style.subElementRect(
        radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &option, &button);
    const QRect contents = style.subElementRect(
        radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &option, &button);
    if (button.text().isEmpty()) {
        return box;
    }
    const QRect text = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignLeft | Qt::AlignVCenter,
                                           LineSize(QFontMetrics(button.font()), button.text()), contents);
    return box.united(text);
}

// Where a control draws its text, in its own coordinates: none for a control without text, the whole
// control for one that draws a frame around its text.
std::optional<QRect> Drawn(const QWidget& widget) {
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        if (!label->pixmap().isNull() || label->text().isEmpty()) {
            return std::nullopt;
        }
        return QStyle::alignedRect(Qt::LeftToRight, label->alignment(), LabelTextSize(*label),
                                   label->contentsRect()) &
               label->rect();
    }
    if (IsTickBox(widget)) {
        return TickBoxDrawn(static_cast<const QAbstractButton&>(widget)) & widget.rect();
    }
    if (qobject_cast<const QPushButton*>(&widget) != nullptr ||
        qobject_cast<const QComboBox*>(&widget) != nullptr ||
        qobject_cast<const QLineEdit*>(&widget) != nullptr ||
        qobject_cast<const ImageButton*>(&widget) != nullptr) {
        return widget.rect();
    }
    return std::nullopt;
}

bool DrawsText(const QWidget& widget) {
    return qobject_cast<const QLabel*>(&widget) != nullptr || IsTickBox(widget);
}

void CheckControlText(const QWidget& widget, std::vector<std::string>& problems) {
    const QFontMetrics fm(widget.font());
    const QSize room = widget.size();
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        if (!label->pixmap().isNull() || label->text().isEmpty()) {
            return;
        }
        CheckText(widget, label->text(), LabelTextSize(*label), label->contentsRect().size(), problems);
        return;
    }
    if (const auto* image = qobject_cast<const ImageButton*>(&widget)) {
        CheckText(widget, image->text(), LineSize(fm, image->text()), room, problems);
        return;
    }
    if (IsTickBox(widget)) {
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

// Where a group box draws its title, in its own coordinates; empty without one.
QRect TitleOf(const QGroupBox& group) {
    if (const auto* own = qobject_cast<const GroupBox*>(&group)) {
        return own->CaptionRect();
    }
    if (group.title().isEmpty()) {
        return {};
    }
    QStyleOptionGroupBox option;
    option.initFrom(&group);
    option.text = group.title();
    option.textAlignment = group.alignment();
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect room =
        group.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &group);
    // A title in a face that stands in for missing glyphs may be taller than the room the style gives it.
    const QSize text = LineSize(QFontMetrics(group.font()), group.title());
    return room.united(
        QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, QSize(room.width(), text.height()), room));
}

// How far down a group box draws the line along its top, as it draws itself in whatever style: the first row
// it paints in at a column past its rounded corners and away from its title. Drawing it into an image
// changes nothing the check looks at.
int TopLineOf(const QGroupBox& group, const QRect& title) {
    QImage drawn(group.size(), QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    const_cast<QGroupBox&>(group).render(&drawn, QPoint(), QRegion(), QWidget::RenderFlags());
    constexpr int kCorner = 8;
    int line = group.height();
    for (const int x : {kCorner, group.width() - 1 - kCorner}) {
        if (x < 0 || x >= group.width() || (x >= title.left() && x <= title.right())) {
            continue;
        }
        for (int y = 0; y < std::min(line, group.height()); ++y) {
            if (qAlpha(drawn.pixel(x, y)) != 0) {
                line = y;
                break;
            }
        }
    }
    return line < group.height() ? line : title.bottom();
}

// A group box holds the controls it frames; a picture the areas drawn on it.
bool Holds(const Shown& group, const Shown& other) {
    const auto* picture = qobject_cast<const QLabel*>(group.widget);
    const bool holder = IsGroup(*group.widget) || (picture != nullptr && !picture->pixmap().isNull());
    return holder && group.at.contains(other.at);
}

// A group's title and the line along its top keep clear of the controls inside it. A group drawn nowhere
// has neither, and is not drawn over either.
void CheckGroupFrame(const Shown& group, const std::vector<Shown>& shown,
                     std::vector<std::string>& problems) {
    const auto& box = static_cast<const QGroupBox&>(*group.widget);
    if (qobject_cast<const GroupArea*>(&box) != nullptr) {
        return;
    }
    const QRect ownTitle = TitleOf(box);
    const QRect title = ownTitle.translated(group.at.topLeft());
    const int line = group.at.top() + TopLineOf(box, ownTitle);
    for (const Shown& other : shown) {
        if (other.widget == group.widget || !Holds(group, other) ||
            qobject_cast<const GroupArea*>(other.widget) != nullptr) {
            continue;
        }
        if (title.intersects(other.at)) {
            problems.push_back(Name(*other.widget) + " runs into the title of " + Name(*group.widget));
        } else if (other.at.top() <= line) {
            problems.push_back("the top line of " + Name(*group.widget) + " crosses " + Name(*other.widget));
        }
    }
}

// Whether the text one control draws comes closer than the gap to what the other draws.
bool TextTouches(const Shown& text, const Shown& other) {
    const std::optional<QRect> drawn = Drawn(*text.widget);
    const std::optional<QRect> beside = Drawn(*other.widget);
    if (!drawn || !beside || !DrawsText(*text.widget)) {
        return false;
    }
    const QRect room = drawn->translated(text.at.topLeft()).adjusted(-kTextGap, 0, kTextGap, 0);
    return room.intersects(beside->translated(other.at.topLeft()));
}

}  // namespace

std::vector<std::string> LayoutProblems(const QWidget& dialog) {
    std::vector<std::string> problems;
    std::vector<Shown> shown;
    for (const QWidget* widget : dialog.findChildren<QWidget*>()) {
        if (widget->window() != &dialog || !widget->isVisibleTo(&dialog) ||
            !widget->property("varnothControlId").isValid() || widget->geometry().isEmpty()) {
            continue;
        }
        shown.push_back({widget, QRect(widget->mapTo(&dialog, QPoint()), widget->size())});
        CheckControlText(*widget, problems);
        if (!dialog.rect().contains(shown.back().at)) {
            problems.push_back(Name(*widget) + " sticks out of the dialog");
        } else if (widget->parentWidget() != &dialog &&
                   !widget->parentWidget()->rect().contains(widget->geometry())) {
            problems.push_back(Name(*widget) + " sticks out of the group it lies in");
        }
    }
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (IsGroup(*shown[i].widget)) {
            CheckGroupFrame(shown[i], shown, problems);
        }
        for (std::size_t j = i + 1; j < shown.size(); ++j) {
            const Shown& a = shown[i];
            const Shown& b = shown[j];
            if (Holds(a, b) || Holds(b, a)) {
                continue;
            }
            if (a.at.intersects(b.at)) {
                problems.push_back(Name(*a.widget) + " overlaps " + Name(*b.widget));
            } else if (TextTouches(a, b) || TextTouches(b, a)) {
                problems.push_back("the texts of " + Name(*a.widget) + " and " + Name(*b.widget) +
                                   " run into each other");
            }
        }
    }
    return problems;
}

std::string Lines(const std::vector<std::string>& problems) {
    std::string lines;
    for (const std::string& problem : problems) {
        lines += "\n  " + problem;
    }
    return lines;
}

}  // namespace varnoth::test
