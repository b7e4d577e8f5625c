// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "device/sim/SimProvider.h"
#include "files/ModeDataCheck.h"
#include "files/ModeDataFile.h"
#include "session/DeviceSession.h"
#include "session/ParameterTable.h"

namespace varnoth {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

Bytes ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A sound file image in which nearly every byte differs from its neighbours and from a fresh store: 0x80 +
// its offset, moved into its field's range where that is narrower.
Bytes Distinct() {
    ModeDataFile::Image image{};
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(0x80 + i);
    }
    while (const std::optional<ModeDataFault> fault = ModeDataCheck::FirstFault(image)) {
        const int span = fault->max - fault->min;
        image[fault->offset] =
            static_cast<std::uint8_t>(fault->min + (span > 0 ? 1 + fault->value % span : 0));
    }
    return Bytes(image.begin(), image.end());
}

// Everything a load may change: the file image of the session plus both machine copies.
struct SessionState {
    ModeDataFile::Image image;
    MachineSettings::Record working;
    bool operator==(const SessionState&) const = default;
};

SessionState StateOf(const DeviceSession& session) {
    return {ModeDataFile::Snapshot(session), session.GetMachineSet().GetWorkingRecord()};
}

class ModeDataFileTest : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }

    // A session on the virtual amplifier that has read everything, machine record and IR keys included.
    std::unique_ptr<DeviceSession> SyncedSession(const sim::MachineRecord& machine) {
        VirtualAmpState state = VirtualAmpState::Factory();
        state.machine = machine;
        for (std::size_t i = 0; i < state.ir.size(); ++i) {
            state.ir[i] = static_cast<std::uint8_t>(0x30 + i);
        }
        state.micControlSubTime = 12;
        state.micControlSubRate = 34;
        provider->Amp()->SetState(state);
        auto session = std::make_unique<DeviceSession>(provider);
        EXPECT_EQ(session->Connect(nullptr), 1);
        session->ReadAll();
        // The last replies may still be on their way on a busy machine.
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while ((session->GetRemote().GetRecord() != state.ir ||
                session->GetMachineSet().GetSavedRecord() != machine) &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(1ms);
        }
        return session;
    }

    fs::path dir =
        fs::temp_directory_path() /
        ("varnoth-files-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::shared_ptr<SimProvider> provider = std::make_shared<SimProvider>();
};

TEST_F(ModeDataFileTest, AFreshStoreIsSavedAsTheDefaultPattern) {
    DeviceSession session;
    const fs::path path = dir / "fresh.vqm";
    const ModeDataFile::Result result = ModeDataFile::SaveData(session, path.string());
    ASSERT_TRUE(result.ok) << result.message;

    Bytes expected;
    for (const auto& [count, value] : std::vector<std::pair<int, std::uint8_t>>{
             {24, 0}, {22, 0x40}, {18, 0}, {4, 0x40}, {4, 0}, {40, 0x40}, {29, 0}}) {
        expected.insert(expected.end(), count, value);
    }
    EXPECT_EQ(ReadBytes(path), expected);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1)
        << "no temporary file is left beside the saved one";
}

TEST_F(ModeDataFileTest, ALoadedFileWrittenToTheDeviceIsSavedBackByteForByte) {
    const fs::path original = dir / "venue.vqm";
    const Bytes bytes = Distinct();
    WriteBytes(original, bytes);

    auto session = SyncedSession({1, 2, 3, 4, 5, 6, 7, 1, 0x3F, 0xAB, 0xCD});
    ASSERT_TRUE(ModeDataFile::LoadData(*session, original.string()).ok);
    session->WriteAll();
    const fs::path copy = dir / "copy.vqm";
    ASSERT_TRUE(ModeDataFile::SaveData(*session, copy.string()).ok);
    session->Disconnect(false);

    Bytes expected = bytes;
    // Writing to the device settles the switches to the values the store keeps for them.
    expected[24] = 0x7F;
    expected[35] = 0x7F;
    expected[69] = 1;
    expected[ModeDataFile::kMachineAt + 9] = 0xAB;
    expected[ModeDataFile::kMachineAt + 10] = 0xCD;
    EXPECT_EQ(ReadBytes(copy), expected) << "all but the machine record's reserved pair round-trip";

    const VirtualAmpState amp = provider->Amp()->State();
    EXPECT_EQ(amp.micControlSubTime, bytes[112]);
    EXPECT_EQ(amp.micControlSubRate, bytes[113]);
    EXPECT_TRUE(std::equal(amp.ir.begin(), amp.ir.end(), bytes.begin() + ModeDataFile::kIrAt));
    EXPECT_TRUE(
        std::equal(amp.machine.begin(), amp.machine.begin() + 9, bytes.begin() + ModeDataFile::kMachineAt));
}

TEST_F(ModeDataFileTest, LoadingKeepsTheMachineRecordsReservedBytesAndHonoursTheSessionFlags) {
    const fs::path path = dir / "other.vqm";
    const Bytes bytes = Distinct();
    WriteBytes(path, bytes);
    const sim::MachineRecord device{1, 10, 11, 30, 31, 32, 33, 0, 0, 0xAB, 0xCD};

    for (const bool takeRecords : {true, false}) {
        auto session = SyncedSession(device);
        session->SetWritesMachineRecord(takeRecords);
        session->SetWritesRemoteRecord(takeRecords);
        const RemoteCodes::Record irBefore = session->GetRemote().GetRecord();
        ASSERT_TRUE(ModeDataFile::LoadData(*session, path.string()).ok);
        session->Disconnect(false);

        const MachineSettings::Record working = session->GetMachineSet().GetWorkingRecord();
        MachineSettings::Record expected = device;
        if (takeRecords) {
            std::copy_n(bytes.begin() + ModeDataFile::kMachineAt, 9, expected.begin());
        }
        EXPECT_EQ(working, expected) << (takeRecords ? "bytes 0..8 from the file"
                                                     : "machine record untouched");
        EXPECT_EQ(session->GetMachineSet().GetSavedRecord(), device)
            << "the saved copy waits for the write-all";
        const RemoteCodes::Record ir = session->GetRemote().GetRecord();
        if (takeRecords) {
            EXPECT_TRUE(std::equal(ir.begin(), ir.end(), bytes.begin() + ModeDataFile::kIrAt));
        } else {
            EXPECT_EQ(ir, irBefore);
        }
        EXPECT_EQ(session->GetMicControlSubTime(), bytes[112]);
        EXPECT_EQ(session->Store().GetFileBlock()[0], bytes[0]);
    }
}

TEST_F(ModeDataFileTest, FilesThatAreNotExactly141ReadableBytesAreRefusedAndChangeNothing) {
    struct Case {
        std::string name;
        std::size_t size;  // bytes written; npos: a folder; npos - 1: nothing there; npos - 2: a pipe
        std::string says;
    };
    constexpr std::size_t kFolder = std::string::npos;
    constexpr std::size_t kMissing = std::string::npos - 1;
    constexpr std::size_t kPipe = std::string::npos - 2;
    const Case cases[] = {
        {"short.vqm", 140, "holds 140 bytes"}, {"long.vqm", 142, "holds more than 141 bytes"},
        {"empty.vqm", 0, "holds 0 bytes"},     {"hundred.vqm", 100, "holds 100 bytes"},
        {"folder.vqm", kFolder, "a folder"},   {"missing.vqm", kMissing, "Can't open"},
        {"pipe.vqm", kPipe, "a pipe"},
    };
    auto session = SyncedSession({1, 2, 3, 4, 5, 6, 7, 1, 0x3F, 0xAB, 0xCD});
    session->Disconnect(false);
    const SessionState before = StateOf(*session);
    for (const Case& c : cases) {
        const fs::path path = dir / c.name;
        if (c.size == kFolder) {
            fs::create_directory(path);
        } else if (c.size == kPipe) {
            ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        } else if (c.size != kMissing) {
            Bytes bytes = Distinct();
            bytes.resize(c.size, 0x11);
            WriteBytes(path, bytes);
        }
        const ModeDataFile::Result result = ModeDataFile::LoadData(*session, path.string());
        EXPECT_FALSE(result.ok) << c.name;
        EXPECT_EQ(result.caption, kCantReadCaption);
        EXPECT_NE(result.message.find(c.says), std::string::npos) << result.message;
        EXPECT_NE(result.message.find(path.string()), std::string::npos)
            << "names the file: " << result.message;
        EXPECT_EQ(StateOf(*session), before) << c.name << " changed the session";
    }
    if (geteuid() != 0) {
        const fs::path locked = dir / "locked.vqm";
        WriteBytes(locked, Distinct());
        fs::permissions(locked, fs::perms::none);
        EXPECT_FALSE(ModeDataFile::LoadData(*session, locked.string()).ok);
        EXPECT_EQ(StateOf(*session), before) << "an unreadable file changed the session";
    }
}

TEST_F(ModeDataFileTest, ASaveOverAnotherUsersFileKeepsItsOwnerGroupAndMode) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "only root may save over another user's file";
    }
    DeviceSession session;
    const fs::path path = dir / "users.vqm";
    WriteBytes(path, Distinct());
    ASSERT_EQ(chown(path.c_str(), 4321, 4322), 0);
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(ModeDataFile::SaveData(session, path.string()).ok);
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 4321u) << "the file stays its owner's";
    EXPECT_EQ(info.st_gid, 4322u);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(ModeDataFileTest, AFailedSaveReportsTheErrorAndLeavesTheOldFileAsItWas) {
    DeviceSession session;
    session.Store().SetValue(pos::MicVol, 7);

    const fs::path folder = dir / "taken.vqm";
    fs::create_directory(folder);
    // Each failure says the system's reason in the user's language; only a protected file is said to be one.
    fs::create_symlink("loop-b.vqm", dir / "loop-a.vqm");
    fs::create_symlink("loop-a.vqm", dir / "loop-b.vqm");
    struct Failure {
        std::string path;
        int error;
        int language;
        const char* reason;
    };
    const Failure failures[] = {
        {(dir / "no-such-folder" / "set.vqm").string(), ENOENT, 1, "Reason: the folder does not exist."},
        {(dir / "no-such-folder" / "set.vqm").string(), ENOENT, 0, "原因：文件夹不存在"},
        {(dir / (std::string(300, 'n') + ".vqm")).string(), ENAMETOOLONG, 1, "Reason: the name is too long."},
        {(dir / "loop-a.vqm").string(), ELOOP, 0, "原因：符号链接循环"},
    };
    for (const Failure& f : failures) {
        const ModeDataFile::Result result = ModeDataFile::SaveData(session, f.path, f.language);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.caption, kCantWriteCaption);
        EXPECT_EQ(result.message.rfind(
                      "Errcode=" + std::to_string(f.error) + ",Can't write to file:\n" + f.path, 0),
                  0u)
            << result.message;
        EXPECT_NE(result.message.find(f.reason), std::string::npos) << result.message;
        EXPECT_EQ(result.message.find("write protected"), std::string::npos)
            << "a missing folder, a long name or a loop is no write protection: " << result.message;
    }
    for (const std::string& nameless : {std::string(), (dir / "sub").string() + "/", (dir / ".").string()}) {
        const ModeDataFile::Result result = ModeDataFile::SaveData(session, nameless);
        EXPECT_FALSE(result.ok) << "a name without a file part is refused: \"" << nameless << "\"";
        EXPECT_NE(result.message.find("no file name"), std::string::npos) << result.message;
    }
    EXPECT_FALSE(fs::exists(dir / "sub")) << "nothing was written for a folder name";
    fs::remove(dir / "loop-a.vqm");
    fs::remove(dir / "loop-b.vqm");

    const fs::path old = dir / "old.vqm";
    const Bytes oldBytes = Distinct();
    WriteBytes(old, oldBytes);
    if (geteuid() != 0) {
        fs::permissions(old, fs::perms::owner_read);
        EXPECT_FALSE(ModeDataFile::SaveData(session, old.string()).ok) << "a read-only file is not replaced";
        EXPECT_EQ(ReadBytes(old), oldBytes);
        fs::permissions(old, fs::perms::owner_read | fs::perms::owner_write);
    }
    ASSERT_TRUE(ModeDataFile::SaveData(session, old.string()).ok);
    EXPECT_EQ(ReadBytes(old).size(), ModeDataFile::kSize);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2)
        << "the folder and the saved file, no temporary files";
}

TEST_F(ModeDataFileTest, AWriteCutShortLeavesTheOldFileWhole) {
    const fs::path old = dir / "old.vqm";
    const Bytes oldBytes = Distinct();
    WriteBytes(old, oldBytes);
    // A child process that may write no file beyond 100 bytes, so the new image cannot be written whole.
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        DeviceSession session;
        const ModeDataFile::Result result = ModeDataFile::SaveData(session, old.string());
        _exit(!result.ok && result.message.rfind("Errcode=27,", 0) == 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the save reported success, or not the file-too-large error";
    EXPECT_EQ(ReadBytes(old), oldBytes);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1)
        << "no temporary file is left";
}

TEST(ModeFileExtension, ASavedNameEndsInVqmInAnyCaseAndKeepsItsOwnCase) {
    const std::pair<const char*, const char*> cases[] = {
        {"set", "set.vqm"},           {"set.txt", "set.vqm"},     {"set.json", "set.vqm"},
        {"set.vqm", "set.vqm"},       {"Set.VQM", "Set.VQM"},     {"set.Vqm", "set.Vqm"},
        {"backup.bin", "backup.vqm"}, {"a.b/set", "a.b/set.vqm"}, {"/tmp/x.y.z", "/tmp/x.y.vqm"},
        {"venue.", "venue.vqm"},
    };
    for (const auto& [chosen, expected] : cases) {
        EXPECT_EQ(WithModeFileExtension(chosen), expected) << chosen;
    }
}

TEST(ModeDataCheck, NamesTheFirstFieldOutsideWhatThePanelProducesWithItsValueAndRange) {
    struct Case {
        std::size_t offset;
        std::uint8_t value;
        const char* field;  // nullptr: the value is allowed
        const char* range;
    };
    constexpr std::size_t kMachine = ModeDataFile::kMachineAt;
    const Case cases[] = {
        {0, 128, "InputGain_Mic", "0..127"},
        {11, 9, "CompressPreset_Mic", "0..8"},
        {17, 2, "CompressOn_Music", "0..1"},
        {24, 0x7F, nullptr, nullptr},
        {55, 28, "EffectPreset.1", "0..27"},
        {64, 0xFF, nullptr, nullptr},  // reserved
        {69, 2, "SubPhase180", "0..1"},
        {72, 49, "MicGEQ.0", "50..78"},
        {111, 79, "SubGEQ.9", "50..78"},
        {113, 100, "MicControlSubRate", "0..99"},
        {kMachine + 0, 2, "Machine.VolMode", "0..1"},
        {kMachine + 1, 37, "Machine.PowerMicVol", "0..36 / 255"},
        {kMachine + 2, 0xFF, nullptr, nullptr},  // power-on volume off
        {kMachine + 6, 0xFF, "Machine.MaxSubVol", "0..36"},
        {kMachine + 8, 0x40, "Machine.LockBits", "0..63"},
        {kMachine + 9, 0xFF, nullptr, nullptr},  // reserved pair
        {ModeDataFile::kIrAt + 3, 0xFF, nullptr, nullptr},
    };
    DeviceSession fresh;
    for (const Case& c : cases) {
        ModeDataFile::Image image = ModeDataFile::Snapshot(fresh);
        image[c.offset] = c.value;
        const std::optional<ModeDataFault> fault = ModeDataCheck::FirstFault(image);
        if (c.field == nullptr) {
            EXPECT_FALSE(fault) << "offset " << c.offset << " refused as " << fault->field;
            continue;
        }
        ASSERT_TRUE(fault) << c.field << " = " << int(c.value) << " passed";
        EXPECT_EQ(fault->field, c.field);
        const std::optional<ParameterRef> ref = FindParameter(c.field);
        for (int language : {0, 1}) {
            const std::string text = fault->Message().In(language);
            // The window's name of a parameter, not the table's: "mic EQ band 1", not MicGEQ.0.
            const std::string named = ref ? ref->Title(language) : c.field;
            if (ref) {
                EXPECT_EQ(text.find(c.field), std::string::npos) << "an internal name: " << text;
            }
            for (const std::string& part : {named, std::to_string(c.value), std::string(c.range)}) {
                EXPECT_NE(text.find(part), std::string::npos) << "language " << language << ": " << text;
            }
        }
    }
    ModeDataFile::Image twoFaults = ModeDataFile::Snapshot(fresh);
    twoFaults[kMachine + 3] = 40;
    twoFaults[80] = 0;
    EXPECT_EQ(ModeDataCheck::FirstFault(twoFaults)->field, "MicGEQ.8") << "the first in file order";
}

TEST_F(ModeDataFileTest, AFileOfValuesThePanelCannotProduceIsRefusedAndFilesThePanelWroteLoad) {
    auto session = SyncedSession({1, 2, 3, 4, 5, 6, 7, 1, 0x3F, 0xAB, 0xCD});
    session->Disconnect(false);
    const fs::path panelFile = dir / "panel.vqm";
    ASSERT_TRUE(ModeDataFile::SaveData(*session, panelFile.string()).ok);
    DeviceSession fresh;
    const fs::path freshFile = dir / "fresh.vqm";
    ASSERT_TRUE(ModeDataFile::SaveData(fresh, freshFile.string()).ok);

    const SessionState before = StateOf(*session);
    const fs::path hostile = dir / "hostile.vqm";
    WriteBytes(hostile, Bytes(ModeDataFile::kSize, 0xFF));
    for (int language : {0, 1}) {
        const ModeDataFile::Result result = ModeDataFile::LoadData(*session, hostile.string(), language);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.caption, language == 0 ? kBadContentsCaptionChinese : kBadContentsCaption);
        EXPECT_NE(result.message.find(language == 0 ? "话筒增益" : "mic gain"), std::string::npos)
            << "the field as the window names it: " << result.message;
        EXPECT_NE(result.message.find(hostile.string()), std::string::npos) << result.message;
    }
    EXPECT_EQ(StateOf(*session), before) << "a refused file changed the session";

    for (const fs::path& path : {panelFile, freshFile}) {
        const ModeDataFile::Result result = ModeDataFile::LoadData(*session, path.string());
        EXPECT_TRUE(result.ok) << path << ": " << result.message;
    }
}

TEST_F(ModeDataFileTest, SavingWritesOnlyRegularFilesAndThroughLinksTheirTargets) {
    DeviceSession session;
    const ModeDataFile::Image image = ModeDataFile::Snapshot(session);
    const Bytes expected(image.begin(), image.end());

    const fs::path pipe = dir / "pipe.vqm";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::pair<fs::path, const char*> refused[] = {
        {pipe, "a pipe"}, {"/dev/null", "a device"}, {dir, "a folder"}};
    for (const auto& [path, says] : refused) {
        const ModeDataFile::Result result = ModeDataFile::SaveData(session, path.string());
        EXPECT_FALSE(result.ok) << path;
        EXPECT_NE(result.message.find(says), std::string::npos) << result.message;
    }

    // A link to an existing file, a relative link to a file not there yet, and a link to that link.
    fs::create_directory(dir / "real");
    const fs::path existing = dir / "real" / "old.vqm";
    WriteBytes(existing, Bytes(3, 1));
    fs::create_symlink(existing, dir / "to-old.vqm");
    fs::create_symlink("real/new.vqm", dir / "dangling.vqm");
    fs::create_symlink("dangling.vqm", dir / "chain.vqm");
    for (const char* link : {"to-old.vqm", "chain.vqm"}) {
        const ModeDataFile::Result result = ModeDataFile::SaveData(session, (dir / link).string());
        ASSERT_TRUE(result.ok) << link << ": " << result.message;
        EXPECT_TRUE(fs::is_symlink(dir / link)) << link << " is still a link";
    }
    EXPECT_EQ(ReadBytes(existing), expected);
    EXPECT_EQ(ReadBytes(dir / "real" / "new.vqm"), expected);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), fs::directory_iterator()), 2)
        << "no temporary file is left beside the targets";

    fs::create_symlink("loop.vqm", dir / "loop.vqm");
    EXPECT_FALSE(ModeDataFile::SaveData(session, (dir / "loop.vqm").string()).ok);
}

}  // namespace
}  // namespace varnoth
