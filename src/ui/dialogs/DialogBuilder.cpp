// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/DialogBuilder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStringList>
#include <QVariant>

namespace varnoth {

namespace {

constexpr char kControlIdProperty[] = "varnothControlId";
constexpr char kTextProperty[] = "text";

Qt::Alignment HorizontalAlignment(unsigned style) {
    if (style & kRightAligned) {
        return Qt::AlignRight;
    }
    if (style & kCentred) {
        return Qt::AlignHCenter;
    }
    return Qt::AlignLeft;
}

QWidget* MakeStandardWidget(const ControlTemplate& control, QWidget* parent) {
    const QString caption = QString::fromUtf8(control.caption ? control.caption : "");
    const Qt::Alignment alignment = HorizontalAlignment(control.style);
    switch (control.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(caption, parent);
            label->setAlignment(alignment | Qt::AlignTop);
            label->setWordWrap(true);
            return label;
        }
        case ControlKind::PushButton:
            return new QPushButton(caption, parent);
        case ControlKind::CheckBox:
            return new QCheckBox(caption, parent);
        case ControlKind::RadioButton:
            return new QRadioButton(caption, parent);
        case ControlKind::GroupBox: {
            auto* box = new QGroupBox(caption, parent);
            box->setAlignment(alignment);
            return box;
        }
        case ControlKind::Picture: {
            auto* picture = new QLabel(parent);
            picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return picture;
        }
        case ControlKind::Frame: {
            auto* frame = new QFrame(parent);
            frame->setProperty(kTextProperty, caption);
            return frame;
        }
        case ControlKind::ProgressBar: {
            auto* bar = new QProgressBar(parent);
            bar->setTextVisible(false);
            return bar;
        }
        case ControlKind::Trackbar:
            return new QSlider((control.style & kVertical) ? Qt::Vertical : Qt::Horizontal, parent);
        case ControlKind::DropDownList:
            return new QComboBox(parent);
        case ControlKind::Edit: {
            auto* edit = new QLineEdit(caption, parent);
            edit->setAlignment(alignment);
            edit->setReadOnly(control.style & kReadOnly);
            return edit;
        }
    }
    return new QWidget(parent);
}

}  // namespace

QFont DialogFontOf(const DialogFont& font) {
    QStringList faces;
    for (const char* face : font.faces) {
        faces << QString::fromUtf8(face);
    }
    QFont result;
    result.setFamilies(faces);
    result.setPointSize(font.pointSize);
    return result;
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int alphabet =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogBaseUnits{AverageCharWidth(alphabet), metrics.height()};
}

QRect ToPixels(const DialogRect& units, const DialogBaseUnits& base) {
    const DialogRect pixels = DialogUnitsToPixels(units, base);
    return QRect(pixels.x, pixels.y, pixels.width, pixels.height);
}

void BuildDialog(QDialog& dialog, const DialogTemplate& dialogTemplate, const ControlFactory& factory) {
    const QFont font = DialogFontOf(dialogTemplate.font);
    dialog.setFont(font);
    dialog.setWindowTitle(QString::fromUtf8(dialogTemplate.title ? dialogTemplate.title : ""));
    const DialogBaseUnits base = BaseUnitsOf(font);
    // A line of Chinese text takes the height of the face that carries its glyphs, which may be taller than
    // the dialog font's own line: labels are never made lower than that line.
    const int lineHeight =
        QFontMetrics(font)
            .boundingRect(QRect(0, 0, 1000, 1000), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("中Ag"))
            .height();
    dialog.setFixedSize(ToPixels({0, 0, dialogTemplate.width, dialogTemplate.height}, base).size());

    for (const ControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = factory ? factory(control, &dialog) : nullptr;
        if (widget == nullptr) {
            widget = MakeStandardWidget(control, &dialog);
        }
        SetControlId(*widget, control.id);
        QRect geometry = ToPixels(control.rect, base);
        if (control.kind == ControlKind::Label && geometry.height() < lineHeight) {
            geometry.setHeight(lineHeight);
        }
        widget->setGeometry(geometry);
        widget->setEnabled(!(control.style & kDisabled));
        widget->setVisible(!(control.style & kHidden));
    }
    NestInGroups(dialog);
}

void NestInGroups(QWidget& dialog) {
    const QList<QGroupBox*> groups = dialog.findChildren<QGroupBox*>();
    const auto inDialog = [&dialog](const QWidget& widget) {
        return QRect(widget.mapTo(&dialog, QPoint()), widget.size());
    };
    QList<QWidget*> controls = dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QGroupBox* group : groups) {
        controls += group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    }
    for (QWidget* control : controls) {
        if (control->isWindow() || qobject_cast<QGroupBox*>(control) != nullptr) {
            continue;
        }
        const QRect at = inDialog(*control);
        QGroupBox* inner = nullptr;
        for (QGroupBox* group : groups) {
            const QRect area = inDialog(*group);
            if (area.contains(at.center()) &&
                (inner == nullptr || area.width() * area.height() < inner->width() * inner->height())) {
                inner = group;
            }
        }
        if (inner != nullptr && inner != control->parentWidget()) {
            MoveInto(*control, *inner);
            control->setGeometry(at.translated(-inDialog(*inner).topLeft()));
        }
    }
}

void MoveInto(QWidget& widget, QWidget& parent) {
    // Before the window's first showing every child counts as hidden; one hidden on purpose stays so.
    const bool hidden = widget.isHidden() && widget.testAttribute(Qt::WA_WState_ExplicitShowHide);
    widget.setParent(&parent);
    widget.setVisible(!hidden);
}

QWidget* FindControl(const QWidget& dialog, int id) {
    for (QWidget* child : dialog.findChildren<QWidget*>()) {
        if (ControlIdOf(*child) == id) {
            return child;
        }
    }
    return nullptr;
}

void SetControlId(QWidget& widget, int id) {
    widget.setProperty(kControlIdProperty, id);
}

int ControlIdOf(const QWidget& widget) {
    const QVariant id = widget.property(kControlIdProperty);
    return id.isValid() ? id.toInt() : -1;
}

void SetControlText(QWidget& control, const QString& text) {
    if (auto* box = qobject_cast<QGroupBox*>(&control)) {
        box->setTitle(text);
        return;
    }
    control.setProperty(kTextProperty, text);
}

QString ControlText(const QWidget& control) {
    if (const auto* box = qobject_cast<const QGroupBox*>(&control)) {
        return box->title();
    }
    return control.property(kTextProperty).toString();
}

}  // namespace varnoth
