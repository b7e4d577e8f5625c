#pragma once

#include <QImage>
#include <QString>

namespace varnoth {

// Registers the program's pictures with the resource system; call once before loading any of them.
void InitImageResources();

// Resource path of picture number `id`, e.g. ":/images/221.png".
QString ImageResourcePath(int id);

// The picture of number `id`, or a null image when it is missing or cannot be decoded.
QImage LoadImageResource(int id);

}  // namespace varnoth
