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

void UserSettings::Write(const QString& name, int value) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QLatin1String(kOrganisation),
                       QLatin1String(kApplication));
    settings.setValue(name, value);
    settings.sync();
}

}  // namespace varnoth
