// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QString>

#include <optional>

namespace varnoth {

// The persistent settings of the user (organisation "VARNOTH", application "VARNOTH-Q317").
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
