// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include <gtest/gtest.h>
#include <signal.h>

#include "RunningProgram.h"
#include "ui/main/UserSettings.h"

namespace varnoth::test {
namespace {

// How long a quit by a signal may take before the test takes it for one waiting for a person: the farewell
// takes at most 2 s; the rest is room for a loaded machine, not a measure of speed.
constexpr int kQuitGuardMs = 15000;

// Logout, kill and Ctrl+C end the program as its close box does: the amplifier gets its farewell. Then the
// program ends by the signal, as varnoth-cli does, so that a shell loop or the service manager sees it.
TEST(AppQuit, SigtermAndSigintEndTheProgramWithTheFarewellAndByTheSignal) {
    for (const int signalNumber : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signalNumber);
        Program program({"--simulate"});
        ASSERT_TRUE(program.WaitForTrace("Main window: synchronised")) << program.TraceText().toStdString();
        ASSERT_TRUE(program.Signal(signalNumber));
        ASSERT_TRUE(program.WaitForExit(kQuitGuardMs)) << "still running\n"
                                                       << program.TraceText().toStdString();
        EXPECT_TRUE(program.EndedBy(signalNumber))
            << "status " << program.Process().exitStatus() << ", code " << program.Process().exitCode();
        const QString trace = program.TraceText();
        const auto signalled = trace.indexOf(QStringLiteral("signal %1:").arg(signalNumber));
        ASSERT_GE(signalled, 0) << trace.toStdString();
        EXPECT_GT(trace.indexOf(">Write: 2 138 ", signalled), signalled) << trace.toStdString();
    }
}

// Edits an amplifier never acknowledged do not hold a quit by a signal for a person to read about them: they
// are named on stderr and the program ends. The edits are made as a user makes them, with keys on the
// window's focused control once the synchronisation's progress window has gone.
TEST(AppQuit, SigtermAfterEditsTheAmplifierNeverAcknowledgedEndsAtOnceAndNamesThemOnStderr) {
    if (!Installed(QStringLiteral("Xvfb")) || !Installed(QStringLiteral("xdotool"))) {
        GTEST_SKIP() << "needs Xvfb and xdotool (tools/setup installs them)";
    }
    VirtualDisplay display;
    ASSERT_FALSE(display.Name().isEmpty()) << "Xvfb did not start";
    UserSettings::Write("language", 1);
    for (const char* scenario : {"silent", "lossy"}) {
        SCOPED_TRACE(scenario);
        Program program({QStringLiteral("--simulate=") + QLatin1String(scenario)},
                        {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", display.Name()}, {"LC_ALL", "C"}});
        ASSERT_TRUE(program.WaitForTrace("Main window: the progress window has closed"))
            << program.TraceText().toStdString();
        const QString window = display.WindowOf(program.Process().processId());
        ASSERT_FALSE(window.isEmpty()) << "no window shown";
        // Three steps up, then on the next two controls; Ctrl+B then marks the title once all were taken.
        ASSERT_TRUE(display
                        .Tool({"windowfocus", "--sync", window, "key", "Up", "Up", "Up", "Tab", "Up", "Tab",
                               "Up", "ctrl+b"})
                        .has_value());
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return display.Tool({"getwindowname", window}).value_or(QString()).contains("[B]");
            },
            kDeadlineMs))
            << "the keys did not reach the window";

        ASSERT_TRUE(program.Signal(SIGTERM));
        ASSERT_TRUE(program.WaitForExit(kQuitGuardMs)) << "the program waits, for a person?\n"
                                                       << program.TraceText().toStdString();
        EXPECT_TRUE(program.EndedBy(SIGTERM))
            << "status " << program.Process().exitStatus() << ", code " << program.Process().exitCode();
        EXPECT_TRUE(program.TraceText().contains(
            "\nvarnoth: The amplifier did not acknowledge these changes; they may not have reached it: "))
            << program.TraceText().toStdString();
    }
}

// SIGTERM while the amplifier's flash is written: the program ends only after the transfer has ended, with
// the closing pair and then the farewell, never in between. The upgrade is started as a user starts it: the
// virtual amplifier is switched on in upgrade mode and both questions are answered Yes.
TEST(AppQuit, SigtermDuringAFirmwareTransferWaitsForItsEnd) {
    if (!Installed(QStringLiteral("Xvfb")) || !Installed(QStringLiteral("xdotool"))) {
        GTEST_SKIP() << "needs Xvfb and xdotool (tools/setup installs them)";
    }
    VirtualDisplay display;
    ASSERT_FALSE(display.Name().isEmpty()) << "Xvfb did not start";
    UserSettings::Write("language", 0);  // the question is answered by its Chinese caption
    // 122 reports at 30 ms each: the transfer takes about 4 s.
    Program program({"--simulate=slow-upgrade"}, {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", display.Name()}});
    ASSERT_TRUE(program.WaitForTrace("Main window: language")) << program.TraceText().toStdString();
    QStringList answered;
    // "The machine is in upgrade mode, upgrade?": the upgrade dialog then sends the image without asking
    // again.
    ASSERT_TRUE(display.PressReturnIn(QStringLiteral("升级"), answered)) << program.TraceText().toStdString();
    ASSERT_TRUE(program.WaitForTrace(">Write: 2 2 0 112 ")) << "the third chunk went out\n"
                                                            << program.TraceText().toStdString();
    ASSERT_TRUE(program.Signal(SIGTERM));
    ASSERT_TRUE(program.WaitForExit());
    const QString trace = program.TraceText();
    EXPECT_TRUE(program.EndedBy(SIGTERM)) << trace.toStdString();
    const auto signalled = trace.indexOf(QStringLiteral("signal %1:").arg(SIGTERM));
    ASSERT_GE(signalled, 0) << trace.toStdString();
    const auto waiting =
        trace.indexOf("quit requested: closing when the firmware transfer has ended", signalled);
    EXPECT_GT(waiting, signalled) << trace.toStdString();
    const auto lastChunk = trace.indexOf(">Write: 2 2 23 104 8 ", signalled);
    const auto closing = trace.indexOf(">Write: 2 1 228 0 32 ", signalled);
    const auto closingWrite = trace.indexOf(">Write: 2 2 228 0 3 ", signalled);
    const auto farewell = trace.indexOf(">Write: 2 3 0 0 1 ", signalled);
    EXPECT_GT(lastChunk, signalled) << "the image was sent to its end after the signal\n"
                                    << trace.toStdString();
    EXPECT_GT(closing, lastChunk) << trace.toStdString();
    EXPECT_GT(closingWrite, closing) << trace.toStdString();
    EXPECT_GT(farewell, closingWrite) << "the farewell comes after the transfer, not in its middle\n"
                                      << trace.toStdString();
    EXPECT_EQ(trace.indexOf(">Write: 2 3 ", signalled), farewell) << "one farewell only\n"
                                                                  << trace.toStdString();
    EXPECT_TRUE(trace.contains("firmware transfer ended: The firmware image (6000 bytes) was sent"))
        << trace.toStdString();
}

}  // namespace
}  // namespace varnoth::test
