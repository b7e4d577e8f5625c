// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/DialogSupport.h"

#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>

#include <utility>

#include "session/DeviceSession.h"

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

void SendThenTell(DeviceSession& session, QObject& context, std::function<FeatureNotice()> send,
                  std::function<void(const FeatureNotice&)> tell) {
    // The guard is only read on this thread; the application object outlives every link.
    const QPointer<QObject> guard(&context);
    const bool queued = session.RunOnLink([send, tell, guard] {
        FeatureNotice said = send();
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [guard, tell, said = std::move(said)] {
                if (guard) {
                    tell(said);
                }
            },
            Qt::QueuedConnection);
    });
    if (!queued) {
        tell(send());
    }
}

}  // namespace varnoth
