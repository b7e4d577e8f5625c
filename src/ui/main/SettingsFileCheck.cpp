// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/SettingsFileCheck.h"

#include <QFile>

#include <sys/stat.h>

namespace varnoth {

SettingsFileCheck SettingsFileCheck::Of(const QString& path) {
    SettingsFileCheck check;
    struct stat status {};
    // Whatever cannot be looked at (nothing there, a folder that may not be entered) is left to the reader,
    // which finds nothing to read either.
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        return check;
    }
    check.type = status.st_mode & S_IFMT;
    check.size = status.st_size;
    if (!S_ISREG(status.st_mode)) {
        check.verdict = Verdict::NotAFile;
    } else if (check.size > kLargest) {
        check.verdict = Verdict::TooLarge;
    } else {
        check.verdict = Verdict::Sound;
    }
    return check;
}

}  // namespace varnoth
