// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/ImageResources.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QPixmap>

// The resource registration macro must be used outside any namespace.
static void RegisterImageResources() {
    Q_INIT_RESOURCE(images);
}

namespace varnoth {

void InitImageResources() {
    RegisterImageResources();
}

QString ImageResourcePath(int id) {
    return QStringLiteral(":/images/%1.png").arg(id);
}

QIcon CarriedApplicationIcon() {
    InitImageResources();
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

QImage LoadImageResource(int id) {
    if (qGuiApp != nullptr && qGuiApp->devicePixelRatio() > 1.0) {
        QImageReader doubled(QStringLiteral(":/images/%1@2x.png").arg(id));
        QImage image = doubled.read();
        if (!image.isNull()) {
            image.setDevicePixelRatio(2.0);
            return image;
        }
    }
    QImageReader reader(ImageResourcePath(id));
    return reader.read();
}

QPixmap ImagePixmap(int id) {
    return QPixmap::fromImage(LoadImageResource(id));
}

}  // namespace varnoth
