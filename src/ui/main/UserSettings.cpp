#include "ui/main/UserSettings.h"

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

}  // namespace varnoth
