#pragma once

#include <QString>

namespace varnoth {

// The persistent settings of the user (organisation "VARNOTH", application "VARNOTH-Q317").
class UserSettings {
  public:
    static constexpr char kLanguage[] = "language";

    // An integer by name, 0 when missing or unreadable.
    static int Read(const QString& name);
    // Failures to write are ignored.
    static void Write(const QString& name, int value);
};

}  // namespace varnoth
