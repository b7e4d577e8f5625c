#include "ui/controls/ImageResources.h"

#include <QImageReader>

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

QImage LoadImageResource(int id) {
    QImageReader reader(ImageResourcePath(id));
    return reader.read();
}

}  // namespace varnoth
