// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

#include "RunningProgram.h"
#include "app/DisplayCheck.h"
#include "ui/main/SettingsFileCheck.h"
#include "ui/main/UserSettings.h"

namespace varnoth::test {
namespace {

constexpr int kQuitGuardMs = 15000;

// Whether the panel can open a window is decided only for the plain X11 case; whatever names a platform or
// a Wayland session is Qt's to decide.
TEST(DisplayCheck, SaysWhyOnlyWhenThePlainX11DisplayIsMissingOrSilent) {
    // The choice's fields in order: platform, X display, from -display, Wayland display, session type.
    const struct {
        DisplayChoice choice;
        const char* says;  // empty: a window may open
    } cases[] = {
        {{"", "", false, "", ""},
         "no display to open the window on: DISPLAY is not set. Run the panel in a desktop session, or "
         "use varnoth-cli."},
        {{"", ":93", false, "", ""},
         "no display to open the window on: cannot connect to the X server at :93 (DISPLAY). "},
        {{"", ":93", true, "", ""}, "cannot connect to the X server at :93 (-display)"},
        {{"", ":0", false, "", ""}, ""},
        {{"offscreen", "", false, "", ""}, ""},
        {{"xcb", "", false, "", ""}, ""},
        {{"wayland", ":93", false, "", ""}, ""},
        {{"", "", false, "wayland-0", ""}, ""},
        {{"", "", false, "", "wayland"}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.choice.platform + "|" + c.choice.x11Display + "|" + c.choice.waylandDisplay + "|" +
                     c.choice.sessionType);
        std::vector<std::string> asked;
        const std::string why = WhyNoDisplay(c.choice, [&](const std::string& display) {
            asked.push_back(display);
            return display == ":0";
        });
        if (*c.says == '\0') {
            EXPECT_EQ(why, "");
        } else {
            EXPECT_NE(why.find(c.says), std::string::npos) << why;
        }
        if (!c.choice.x11Display.empty() && c.choice.platform.empty()) {
            EXPECT_EQ(asked, std::vector<std::string>{c.choice.x11Display}) << "the X server named is asked";
        }
    }
}

// A display number no X server of this machine listens on.
QString SilentDisplay() {
    int number = 4093;
    while (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number))) {
        ++number;
    }
    return QStringLiteral(":%1").arg(number);
}

// Without a display the panel says so and ends with the status of an environment it cannot run in, instead
// of Qt's abort that advises reinstalling.
TEST(AppStart, WithoutADisplayThePanelSaysSoAndEndsWithStatusOne) {
    const QString silent = SilentDisplay();
    const struct {
        QString display;  // null: not set
        QString says;
    } cases[] = {
        {QString(),
         "varnoth: no display to open the window on: DISPLAY is not set. Run the panel in a desktop "
         "session, or use varnoth-cli.\n"},
        {silent, "varnoth: no display to open the window on: cannot connect to the X server at " + silent +
                     " (DISPLAY)."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.display.toStdString());
        Program program({"--simulate"}, {{"QT_QPA_PLATFORM", QString()},
                                         {"WAYLAND_DISPLAY", QString()},
                                         {"XDG_SESSION_TYPE", QString()},
                                         {"DISPLAY", c.display}});
        ASSERT_TRUE(program.WaitForExit()) << program.TraceText().toStdString();
        EXPECT_EQ(program.Process().exitStatus(), QProcess::NormalExit) << "no abort";
        EXPECT_EQ(program.Process().exitCode(), 1);
        EXPECT_TRUE(program.TraceText().contains(c.says)) << program.TraceText().toStdString();
        EXPECT_FALSE(program.TraceText().contains("Reinstalling")) << program.TraceText().toStdString();
    }
}

TEST(SettingsFileCheck, JudgesWhatStandsThereWithoutOpeningIt) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const auto path = [&](const char* name) { return folder.filePath(QLatin1String(name)); };
    const auto write = [&](const char* name, qint64 size) {
        QFile file(path(name));
        return file.open(QIODevice::WriteOnly) && file.write(QByteArray(size, 'k')) == size;
    };
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    ASSERT_TRUE(QDir(folder.path()).mkdir("folder"));
    ASSERT_TRUE(QFile::link(path("pipe"), path("link-to-pipe")));
    ASSERT_TRUE(write("small", 200));
    ASSERT_TRUE(write("largest", SettingsFileCheck::kLargest));
    ASSERT_TRUE(write("larger", SettingsFileCheck::kLargest + 1));
    ASSERT_TRUE(QFile::link(path("small"), path("link-to-small")));

    using Verdict = SettingsFileCheck::Verdict;
    const struct {
        QString path;
        Verdict verdict;
        mode_t type;
    } cases[] = {
        {path("missing"), Verdict::Missing, 0},
        {path("pipe"), Verdict::NotAFile, S_IFIFO},
        {path("folder"), Verdict::NotAFile, S_IFDIR},
        {path("link-to-pipe"), Verdict::NotAFile, S_IFIFO},
        {QStringLiteral("/dev/null"), Verdict::NotAFile, S_IFCHR},
        {path("small"), Verdict::Sound, S_IFREG},
        {path("link-to-small"), Verdict::Sound, S_IFREG},
        {path("largest"), Verdict::Sound, S_IFREG},
        {path("larger"), Verdict::TooLarge, S_IFREG},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const SettingsFileCheck check = SettingsFileCheck::Of(c.path);
        EXPECT_EQ(check.verdict, c.verdict);
        EXPECT_EQ(check.type, c.type);
    }
}

TEST(SettingsFileCheck, LooksAtTheFileQtsSettingsReaderOpens) {
    UserSettings::Write("language", 1);
    EXPECT_EQ(QSettings(QSettings::NativeFormat, QSettings::UserScope, "VARNOTH", "VARNOTH-Q317").fileName(),
              UserSettings::FilePath());
}

// What stands where the settings are kept never stops or stalls the start: a named pipe, a folder or a link
// to a pipe is left as it is and the run keeps nothing; a file far larger than settings are is set aside and
// the next write starts afresh; a sound file is read. Each is said once, and the run starts with the
// defaults (English under LC_ALL=C).
TEST(AppStart, ASettingsFileThatIsNoFileOrFarTooLargeIsRefusedAndTheRunStartsWithTheDefaults) {
    const QByteArray sound = "[General]\nlanguage=0\n";
    QByteArray junk = sound;
    for (int line = 0; junk.size() <= SettingsFileCheck::kLargest; ++line) {
        junk += "junk" + QByteArray::number(line) + "=" + QByteArray(60, 'j') + "\n";
    }
    const struct {
        const char* name;
        std::function<bool(const QString& file, const QString& folder)> make;
        const char* says;  // part of the notice about the file; empty: none
        const char* opens;
        std::function<void(const QString& file)> after;
    } cases[] = {
        {"named pipe",
         [](const QString& file, const QString&) {
             return ::mkfifo(QFile::encodeName(file).constData(), 0600) == 0;
         },
         " is a named pipe, not a file: the panel starts with the default settings and keeps none of this "
         "run.",
         "Main window: language 1",
         [](const QString& file) {
             struct stat status {};
             EXPECT_EQ(::lstat(QFile::encodeName(file).constData(), &status), 0);
             EXPECT_TRUE(S_ISFIFO(status.st_mode)) << "left as it was";
         }},
        {"folder", [](const QString& file, const QString&) { return QDir().mkdir(file); },
         " is a folder, not a file: the panel starts with the default settings and keeps none of this run.",
         "Main window: language 1",
         [](const QString& file) {
             EXPECT_TRUE(QFileInfo(file).isDir());
             EXPECT_TRUE(QDir(file).isEmpty());
         }},
        {"link to a named pipe",
         [](const QString& file, const QString& folder) {
             const QString pipe = folder + QStringLiteral("/pipe");
             return ::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0 && QFile::link(pipe, file);
         },
         " is a named pipe, not a file", "Main window: language 1",
         [](const QString& file) { EXPECT_TRUE(QFileInfo(file).isSymLink()) << "left as it was"; }},
        {"junk",
         [&](const QString& file, const QString&) {
             QFile out(file);
             return out.open(QIODevice::WriteOnly) && out.write(junk) == junk.size();
         },
         " bytes, far more than settings take: it was set aside as ", "Main window: language 1",
         [&](const QString& file) {
             QFile written(file);
             ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << "the window's view was written afresh";
             const QByteArray now = written.readAll();
             EXPECT_LT(now.size(), 1024) << "no junk carried along";
             EXPECT_TRUE(now.contains("micView")) << now.toStdString();
             EXPECT_EQ(QFileInfo(file + ".refused").size(), junk.size()) << "the junk is set aside whole";
         }},
        {"sound",
         [&](const QString& file, const QString&) {
             QFile out(file);
             return out.open(QIODevice::WriteOnly) && out.write(sound) == sound.size();
         },
         "", "Main window: language 0",
         [](const QString& file) {
             QFile written(file);
             ASSERT_TRUE(written.open(QIODevice::ReadOnly));
             const QByteArray now = written.readAll();
             EXPECT_TRUE(now.contains("language=0")) << now.toStdString();
             EXPECT_TRUE(now.contains("micView")) << now.toStdString();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir config;
        ASSERT_TRUE(config.isValid());
        ASSERT_TRUE(QDir(config.path()).mkdir("VARNOTH"));
        const QString file = config.filePath("VARNOTH/VARNOTH-Q317.conf");
        ASSERT_TRUE(c.make(file, config.path()));
        Program program({"--simulate"}, {{"XDG_CONFIG_HOME", config.path()}, {"LC_ALL", "C"}});
        // A start held by the file would fail here, at the deadline, rather than hang the test.
        ASSERT_TRUE(program.WaitForTrace("Main window: language")) << program.TraceText().toStdString();
        EXPECT_TRUE(program.TraceText().contains(c.opens)) << program.TraceText().toStdString();
        ASSERT_TRUE(program.Signal(SIGTERM));
        ASSERT_TRUE(program.WaitForExit(kQuitGuardMs)) << program.TraceText().toStdString();
        const QString trace = program.TraceText();
        const QString notice = "varnoth: The settings file " + file;
        if (*c.says == '\0') {
            EXPECT_FALSE(trace.contains("The settings file")) << trace.toStdString();
        } else {
            EXPECT_EQ(trace.count(notice), 1) << "said once\n" << trace.toStdString();
            const QString line = trace.mid(trace.indexOf(notice)).section(QLatin1Char('\n'), 0, 0);
            EXPECT_TRUE(line.contains(QLatin1String(c.says))) << line.toStdString();
        }
        c.after(file);
    }
}

}  // namespace
}  // namespace varnoth::test
