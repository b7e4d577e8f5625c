// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QString>

#include <optional>
#include <vector>

#include "ui/main/SettingsFileCheck.h"

namespace varnoth {

// The persistent settings of the user (organisation "VARNOTH", application "VARNOTH-Q317").
//
// The first use looks at the files Qt's settings reader would open in the user's folder before it opens
// them. What is not a file (a named pipe, a folder, a device) stays untouched and the run keeps no settings;
// a file far larger than settings take is set aside under the name FILE.refused, so that the next write
// starts afresh. Either way the run starts with the defaults.
class UserSettings {
  public:
    static constexpr char kLanguage[] = "language";
    static constexpr char kWindowPosition[] = "windowPosition";
    // The view the window was closed in: 1 microphone, 0 music; graphic EQ page 0..3.
    static constexpr char kMicView[] = "micView";
    static constexpr char kEqPage[] = "eqPage";
    // The file dialogs whose last folder is remembered.
    static constexpr char kLoadModeFileFolder[] = "folders/loadModeFile";
    static constexpr char kSaveModeFileFolder[] = "folders/saveModeFile";
    static constexpr char kFirmwareImageFolder[] = "folders/firmwareImage";

    // A settings file the first use refused, and what became of it.
    struct Refusal {
        QString path;
        SettingsFileCheck check;
        // Where an oversized file went; empty when it stays where it is (then the run keeps no settings).
        QString setAside;
    };

    // The file the settings are kept in.
    static QString FilePath();
    // What the first use refused, in the order found; empty when the files were sound. The start-up tells it.
    static const std::vector<Refusal>& Refusals();

    // An integer by name, 0 when missing or unreadable.
    static int Read(const QString& name);
    // An integer by name, `fallback` when missing, unreadable or outside low..high.
    static int Read(const QString& name, int fallback, int low, int high);
    // Failures to write are ignored.
    static void Write(const QString& name, int value);
    // A point by name, none when missing or unreadable.
    static std::optional<QPoint> ReadPoint(const QString& name);
    static void WritePoint(const QString& name, QPoint value);

    // The folder a file dialog opens in: the one last chosen in it; when that has gone, the nearest folder
    // above it that still exists; the home folder when nothing was chosen yet.
    static QString StartFolder(const QString& dialog);
    // Remembers the folder of the file the user chose in the dialog.
    static void RememberFolder(const QString& dialog, const QString& chosenFile);
};

}  // namespace varnoth
