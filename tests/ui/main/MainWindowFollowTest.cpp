// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLabel>
#include <QSlider>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "../../device/TraceCapture.h"
#include "MainWindowFixture.h"
#include "session/RegisterMap.h"
#include "ui/main/MainWindowTemplate.h"
#include "ui/main/WindowUndo.h"

namespace varnoth::test {
namespace {

using namespace std::chrono_literals;
using namespace mainwin;

using FollowTheAmplifier = MainWindowTest;

constexpr int kMicOutput = 0;
constexpr int kMusicOutput = 1;

// The trace line of every register write on the wire starts so.
bool IsRegisterWrite(const std::string& line) {
    return line.rfind(">Write: 2 9 ", 0) == 0;
}
bool IsLevelRead(const std::string& line) {
    return line.rfind(">Write: 2 10 8 48 ", 0) == 0;
}
bool IsVolumeRead(const std::string& line) {
    return line.rfind(">Write: 2 11 10 32 ", 0) == 0;
}
long Count(const TraceCapture& trace, bool (*kind)(const std::string&)) {
    const std::vector<std::string> lines = trace.Lines();
    return std::count_if(lines.begin(), lines.end(), kind);
}

// Someone turns the music volume with the remote: at the next read of the volumes the panel shows it,
// and nothing goes back to the amplifier.
TEST_F(FollowTheAmplifier, AVolumeTurnedOnTheAmplifierShowsWithoutAnythingWritten) {
    OpenSynchronised();
    const TraceCapture trace;
    // Just after a read: the next one is a whole interval away.
    ASSERT_TRUE(QTest::qWaitFor([&] { return Count(trace, IsVolumeRead) > 0; }, kDeadlineMs));
    const long reads = Count(trace, IsVolumeRead);
    const auto turned = std::chrono::steady_clock::now();
    ASSERT_EQ(Amp().TurnVolume(kMusicOutput, 30), 30);

    ASSERT_TRUE(QTest::qWaitFor([&] { return Text(kMusicVolValue) == "30"; }, kDeadlineMs));
    const auto shown = std::chrono::steady_clock::now();
    RecordProperty(
        "shown_after_ms",
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(shown - turned).count()));
    EXPECT_EQ(Ctl<QSlider>(kMusicVolSlider).value(), 30);
    EXPECT_EQ(Session().Store().Value(pos::MusicVol), 30);
    EXPECT_GT(Count(trace, IsVolumeRead), reads);
    EXPECT_EQ(Count(trace, IsRegisterWrite), 0) << "following writes nothing";
    EXPECT_EQ(Amp().Volume(kMusicOutput), 30);
    EXPECT_EQ(Window().Undo().History().UndoCount(), 0u) << "a followed volume is no edit";
}

// The user set the mic volume, then someone turned it on the amplifier: the volume's step stays in its place
// and writes nothing, the undo after it takes back the edit before, not the volume the amplifier has left
// since.
TEST_F(FollowTheAmplifier, UndoNeverWritesBackAVolumeTheAmplifierHasLeft) {
    m_followInterval = 100ms;
    OpenSynchronised();
    const std::uint8_t gain = Session().Store().Value(pos::InputGain_Mic);
    Drag(2100, 127 - 30);
    Window().Undo().NewGesture();
    Drag(kMicVolSlider, 10);
    ASSERT_EQ(DeviceValue(pos::MicVol), 10);
    ASSERT_EQ(Window().Undo().History().UndoCount(), 2u);

    Amp().TurnVolume(kMicOutput, 25);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Text(kMicVolValue) == "25"; }, kDeadlineMs));
    EXPECT_EQ(Window().Undo().History().UndoCount(), 2u) << "the step of the volume alone keeps its place";

    const TraceCapture trace;
    Window().Undo().Undo();
    WaitUntilSent();
    EXPECT_EQ(Count(trace, IsRegisterWrite), 0) << "the overtaken step writes nothing";
    Window().Undo().Undo();
    EXPECT_EQ(DeviceValue(pos::InputGain_Mic), gain);
    EXPECT_EQ(Amp().Volume(kMicOutput), 25);
    EXPECT_EQ(Session().Store().Value(pos::MicVol), 25);
    EXPECT_EQ(Text(kMicVolValue), "25");
    EXPECT_EQ(Count(trace, IsRegisterWrite), 2) << "the gain's pair, nothing else";
}

// A slider the user holds keeps the user's value and the poll reads no volumes meanwhile; let go, the panel
// shows what the amplifier holds.
TEST_F(FollowTheAmplifier, AHeldSliderPausesFollowingUntilItIsLetGo) {
    m_followInterval = 50ms;
    OpenSynchronised();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Window().IsPollingLevels(); }, kDeadlineMs));
    const QString before = Text(kMicVolValue);
    auto& slider = Ctl<QSlider>(kMicVolSlider);
    slider.setSliderDown(true);
    {
        // A poll waits while anything is queued, so the second level read after the hold was asked for while
        // the slider was held, and a volume read that was already on its way went out before it.
        const TraceCapture settling;
        ASSERT_TRUE(QTest::qWaitFor([&] { return Count(settling, IsLevelRead) >= 2; }, kDeadlineMs));
    }
    const TraceCapture trace;
    Amp().TurnVolume(kMicOutput, 33);
    // Polls that would each have read the volumes, had the slider not been held.
    ASSERT_TRUE(QTest::qWaitFor([&] { return Count(trace, IsLevelRead) >= 2; }, kDeadlineMs));
    EXPECT_EQ(Count(trace, IsVolumeRead), 0) << "no volumes are read while a slider is held";
    EXPECT_EQ(Text(kMicVolValue), before);

    slider.setSliderDown(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Text(kMicVolValue) == "33"; }, kDeadlineMs));
    EXPECT_EQ(slider.value(), 33);
    EXPECT_EQ(Count(trace, IsRegisterWrite), 0);
}

}  // namespace
}  // namespace varnoth::test
