// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "ui/dialogs/DialogBuilder.h"
#include "ui/dialogs/DialogTemplate.h"
#include "ui/main/UserSettings.h"

namespace varnoth {
namespace {

constexpr int kDeadlineMs = 120000;

struct ProgramRun {
    int exitCode = -1;
    QString trace;
};

ProgramRun RunProgram(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VARNOTH_EXECUTABLE), arguments);
    ProgramRun run;
    if (!process.waitForFinished(kDeadlineMs)) {
        process.kill();
        process.waitForFinished(kDeadlineMs);
        run.trace = "the program did not end: " + QString::fromUtf8(process.readAllStandardError());
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.trace = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QSize WindowSize() {
    return ToPixels({0, 0, 579, 378}, BaseUnitsOf(DialogFontOf(StandardDialogFont()))).size();
}

// A picture of the window: the template's layout with the menu bar above it.
void ExpectWholeWindow(QSize picture) {
    EXPECT_EQ(picture.width(), WindowSize().width());
    EXPECT_GT(picture.height(), WindowSize().height()) << "no menu bar";
    EXPECT_LT(picture.height(), WindowSize().height() + WindowSize().height() / 10) << "more than a menu bar";
}

TEST(Program, SynchronisesWithTheVirtualAmplifierAndSavesItsWindow) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString file = folder.filePath("window.png");
    const ProgramRun run = RunProgram({"--simulate", "--trace", "--screenshot", file});
    ASSERT_EQ(run.exitCode, 0) << run.trace.toStdString();
    EXPECT_TRUE(run.trace.contains("Start thread:SynchronizeData")) << run.trace.toStdString();
    EXPECT_TRUE(run.trace.contains("Main window: synchronised (0), version check 0"))
        << run.trace.toStdString();
    EXPECT_TRUE(run.trace.contains(">Write:")) << "reports went to the amplifier";

    const QImage picture(file);
    ASSERT_FALSE(picture.isNull()) << "no picture at " << file.toStdString();
    ExpectWholeWindow(picture.size());
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 2) {
        for (int x = 0; x < picture.width(); x += 2) {
            colours.insert(picture.pixel(x, y));
        }
    }
    EXPECT_GT(colours.size(), 100) << "the picture is blank or nearly so";
}

TEST(Program, TellsOfAnotherModelAndOfAnUnknownScenario) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    // The program starts in the language last chosen.
    UserSettings::Write(QLatin1String(UserSettings::kLanguage), 1);
    const ProgramRun foreign =
        RunProgram({"--simulate=foreign", "--trace", "--screenshot", folder.filePath("foreign.png")});
    EXPECT_EQ(foreign.exitCode, 0) << foreign.trace.toStdString();
    EXPECT_TRUE(foreign.trace.contains(
        "Message: Error: This amplifier is a model this program does not control; it has been disconnected!"))
        << foreign.trace.toStdString();

    const ProgramRun unknown = RunProgram({"--simulate=unplugged-toaster"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.trace.contains("unknown simulation scenario")) << unknown.trace.toStdString();

    const ProgramRun unwritable =
        RunProgram({"--simulate", "--screenshot", folder.filePath("no-such-folder/window.png")});
    EXPECT_EQ(unwritable.exitCode, 1) << unwritable.trace.toStdString();
    EXPECT_TRUE(unwritable.trace.contains("cannot save the screenshot")) << unwritable.trace.toStdString();

    const ProgramRun wrong = RunProgram({"--screenshot"});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(wrong.trace.contains("Try 'varnoth --help' for more information."))
        << wrong.trace.toStdString();
}

TEST(Program, SavesTheDisconnectedWindowWhenNoAmplifierAnswersAndSaysWhenAnotherInstanceRuns) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString silentFile = folder.filePath("silent.png");
    const ProgramRun silent = RunProgram({"--simulate=silent", "--trace", "--screenshot", silentFile});
    EXPECT_EQ(silent.exitCode, 0) << silent.trace.toStdString();
    EXPECT_TRUE(silent.trace.contains("no synchronisation within")) << silent.trace.toStdString();
    ExpectWholeWindow(QImage(silentFile).size());

    QProcess first;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    first.setProcessEnvironment(environment);
    first.setProcessChannelMode(QProcess::MergedChannels);
    first.start(QStringLiteral(VARNOTH_EXECUTABLE), {"--simulate", "--trace"});
    QString firstTrace;
    while (!firstTrace.contains("Main window: language") && first.waitForReadyRead(kDeadlineMs)) {
        firstTrace += QString::fromUtf8(first.readAll());
    }
    const QString secondFile = folder.filePath("second.png");
    const ProgramRun second = RunProgram({"--simulate", "--screenshot", secondFile});
    first.kill();
    first.waitForFinished(kDeadlineMs);
    EXPECT_EQ(second.exitCode, 1) << second.trace.toStdString();
    EXPECT_TRUE(second.trace.contains("another instance")) << second.trace.toStdString();
    EXPECT_FALSE(QFile::exists(secondFile));
}

}  // namespace
}  // namespace varnoth
