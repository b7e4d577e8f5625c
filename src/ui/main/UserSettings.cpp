// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/UserSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <cstdio>
#include <memory>

namespace varnoth {

namespace {

constexpr char kOrganisation[] = "VARNOTH";
constexpr char kApplication[] = "VARNOTH-Q317";

QString UserConfigFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

// What the first use found; the settings are read and written only when `usable`.
struct Guard {
    bool usable = true;
    std::vector<UserSettings::Refusal> refusals;
};

const Guard& TheGuard() {
    static const Guard guard = [] {
        Guard made;
        // Qt's reader opens the organisation's file in the same folder too.
        for (const QString& path :
             {UserSettings::FilePath(), UserConfigFolder() + QLatin1Char('/') + QLatin1String(kOrganisation) +
                                            QStringLiteral(".conf")}) {
            const SettingsFileCheck check = SettingsFileCheck::Of(path);
            if (check.verdict == SettingsFileCheck::Verdict::Missing ||
                check.verdict == SettingsFileCheck::Verdict::Sound) {
                continue;
            }
            UserSettings::Refusal refusal{path, check, {}};
            if (check.verdict == SettingsFileCheck::Verdict::TooLarge) {
                const QString aside = path + QStringLiteral(".refused");
                // rename() replaces what an earlier run set aside.
                if (std::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) ==
                    0) {
                    refusal.setAside = aside;
                }
            }
            made.usable = made.usable && !refusal.setAside.isEmpty();
            made.refusals.push_back(refusal);
        }
        return made;
    }();
    return guard;
}

// The settings, or nothing when the first use refused their file.
std::unique_ptr<QSettings> Open() {
    if (!TheGuard().usable) {
        return nullptr;
    }
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QLatin1String(kOrganisation), QLatin1String(kApplication));
}

}  // namespace

QString UserSettings::FilePath() {
    return UserConfigFolder() + QLatin1Char('/') + QLatin1String(kOrganisation) + QLatin1Char('/') +
           QLatin1String(kApplication) + QStringLiteral(".conf");
}

const std::vector<UserSettings::Refusal>& UserSettings::Refusals() {
    return TheGuard().refusals;
}

int UserSettings::Read(const QString& name) {
    const std::unique_ptr<QSettings> settings = Open();
    if (!settings) {
        return 0;
    }
    bool ok = false;
    const int value = settings->value(name).toInt(&ok);
    return ok ? value : 0;
}

std::optional<QPoint> UserSettings::ReadPoint(const QString& name) {
    const std::unique_ptr<QSettings> settings = Open();
    if (!settings) {
        return std::nullopt;
    }
    const QVariant value = settings->value(name);
    if (value.typeId() != QMetaType::QPoint) {
        return std::nullopt;
    }
    return value.toPoint();
}

void UserSettings::WritePoint(const QString& name, QPoint value) {
    if (const std::unique_ptr<QSettings> settings = Open()) {
        settings->setValue(name, value);
        settings->sync();
    }
}

void UserSettings::Write(const QString& name, int value) {
    if (const std::unique_ptr<QSettings> settings = Open()) {
        settings->setValue(name, value);
        settings->sync();
    }
}

int UserSettings::Read(const QString& name, int fallback, int low, int high) {
    const std::unique_ptr<QSettings> settings = Open();
    if (!settings) {
        return fallback;
    }
    bool ok = false;
    const int value = settings->value(name).toInt(&ok);
    return ok && value >= low && value <= high ? value : fallback;
}

QString UserSettings::StartFolder(const QString& dialog) {
    const std::unique_ptr<QSettings> settings = Open();
    const QString remembered = settings ? QDir::cleanPath(settings->value(dialog).toString()) : QString();
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
    if (const std::unique_ptr<QSettings> settings = Open()) {
        settings->setValue(dialog, QFileInfo(chosenFile).absolutePath());
        settings->sync();
    }
}

}  // namespace varnoth
