// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include <sys/types.h>

namespace varnoth {

// What stands where a settings file is kept, judged by its status alone, before Qt's settings reader opens
// it: that reader waits for a writer on a named pipe, and reads a file of any size whole and writes all of
// it back at the next change. A symbolic link is judged by what it leads to.
struct SettingsFileCheck {
    // The settings take a few hundred bytes (a few numbers and three folder paths): a file larger than
    // this holds something else.
    static constexpr qint64 kLargest = 64 * 1024;

    enum class Verdict { Missing, Sound, NotAFile, TooLarge };

    static SettingsFileCheck Of(const QString& path);

    Verdict verdict = Verdict::Missing;
    // What stands there: the file type bits of its mode (S_IFIFO, S_IFDIR, …).
    mode_t type = 0;
    qint64 size = 0;
};

}  // namespace varnoth
