#include "ui/dialogs/DialogSupport.h"

#include <QDialog>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>

#include "ui/controls/ImageResources.h"

namespace varnoth {

void ClearDefaultButtons(QDialog& dialog) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

void SetSolidBackground(QWidget& widget, const QColor& colour) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

bool ShowPicture(QLabel& label, int imageId) {
    const QImage image = LoadImageResource(imageId);
    if (image.isNull()) {
        return false;
    }
    label.setPixmap(QPixmap::fromImage(image));
    return true;
}

}  // namespace varnoth
