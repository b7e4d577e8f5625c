// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/UserSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace varnoth {

namespace {

constexpr char kOrganisation[] = "VARNOTH";
constexpr char kApplication[] = "VARNOTH-Q317";

}  // namespace

int UserSettings::Read(const QString& name) {
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QLatin1String(kOrganisation),
                             QLatin1String(kApplication));
    bool ok = false;
    const int value = settings.value(name).toInt(&ok);
    return ok ? value : 0;
}

std::optional<QPoint> UserSettings::ReadPoint(const QString& name) {
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QLatin1String(kOrganisation),
                             QLatin1String(kApplication));
    const QVariant value = settings.value(name);
    if (value.typeId() != QMetaType::QPoint) {
        return std::nullopt;
    }
    return value.toPoint();
}

void UserSettings::WritePoint(const QString& name, QPoint value) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QLatin1String(kOrganisation),
                       QLatin1String(kApplication));
    settings.setValue(name, value);
    settings.sync();
}

void UserSettings::Write(const QString& name, int value) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QLatin1String(kOrganisation),
                       QLatin1String(kApplication));
    settings.setValue(name, value);
    settings.sync();
}

int UserSettings::Read(const QString& name, int fallback, int low, int high) {
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QLatin1String(kOrganisation),
                             QLatin1String(kApplication));
    bool ok = false;
    const int value = settings.value(name).toInt(&ok);
    return ok && value >= low && value <= high ? value : fallback;
}

QString UserSettings::StartFolder(const QString& dialog) {
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QLatin1String(kOrganisation),
                             QLatin1String(kApplication));
    const QString remembered = QDir::cleanPath(settings.value(dialog).toString());
    if (!QDir::isAbsolutePath(remembered)) {
        return QDir::homePath();
    }
    // The root itself only when it was chosen: a folder that has gone with all above it is no hint.
    for (QString folder = remembered;;) {
        if (QFileInfo(folder).isDir() && (folder != QDir::rootPath() || folder == remembered)) {
            return folder;
        }
        const QString parent = QFileInfo(folder).path();
        if (parent == folder) {
            break;
        }
        folder = parent;
    }
    return QDir::homePath();
}

void UserSettings::RememberFolder(const QString& dialog, const QString& chosenFile) {
    if (chosenFile.isEmpty()) {
        return;
    }
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QLatin1String(kOrganisation),
                       QLatin1String(kApplication));
    settings.setValue(dialog, QFileInfo(chosenFile).absolutePath());
    settings.sync();
}

}  // namespace varnoth
