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

    // An integer by name, 0 when missing or unreadable.
    static int Read(const QString& name);
    // Failures to write are ignored.
    static void Write(const QString& name, int value);
    // A point by name, none when missing or unreadable.
    static std::optional<QPoint> ReadPoint(const QString& name);
    static void WritePoint(const QString& name, QPoint value);
};

}  // namespace varnoth
