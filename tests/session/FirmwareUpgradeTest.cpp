// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "FakeTransport.h"
#include "NullReplySink.h"
#include "device/DeviceLink.h"
#include "session/CarriedFirmware.h"
#include "session/FirmwareUpgrade.h"

namespace varnoth {
namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

// One report as the amplifier sees it: opcode, 16-bit address, then the count or third argument.
struct Sent {
    int opcode;
    int address;
    int third;
    bool operator==(const Sent&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Sent& s) {
    return out << "(" << s.opcode << ", " << s.address << ", " << s.third << ")";
}

Bytes Pattern(std::size_t size) {
    Bytes image(size);
    for (std::size_t i = 0; i < size; ++i) {
        image[i] = static_cast<std::uint8_t>(i * 13 + 7);
    }
    return image;
}

// An upgrader on a fake link that answers every report at once and notes the progress each chunk went out
// with.
class UpgradeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        wire->SetResponder([this](const Report& sent) {
            const bool closing = sent[2] == 0xE4 && sent[3] == 0x00;
            if (sent[1] == 0x02 && !closing) {
                std::lock_guard lock(mutex);
                progress.push_back(upgrade.GetProgress());
            }
            return std::vector<Report>{test::MakeReport({0, sent[1]})};
        });
        link.Attach(std::make_unique<test::FakeTransport>(wire));
        link.SetConnected(true);
        link.StartReader();
    }

    std::vector<Sent> SentReports() const {
        std::vector<Sent> sent;
        for (const Report& r : wire->Sent()) {
            sent.push_back({r[1], r[2] << 8 | r[3], r[4]});
        }
        return sent;
    }

    std::vector<int> Progress() {
        std::lock_guard lock(mutex);
        return progress;
    }

    std::string WriteFile(const std::string& name, const Bytes& bytes) {
        const fs::path path = dir / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    void TearDown() override { fs::remove_all(dir); }

    test::NullReplySink sink;
    std::shared_ptr<test::FakeWire> wire = std::make_shared<test::FakeWire>();
    DeviceLink link{sink};
    FirmwareUpgrade upgrade{link};
    std::mutex mutex;
    std::vector<int> progress;
    fs::path dir = [] {
        const fs::path d =
            fs::temp_directory_path() /
            ("varnoth-upgrade-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(d);
        return d;
    }();
};

TEST_F(UpgradeTest, ImagesGoOutPageByPageThenInChunksThenTheirHeadAt0xE400) {
    struct Case {
        std::size_t size;
        std::vector<int> pages;
        std::vector<int> chunkCounts;
        std::vector<int> progress;
    };
    std::vector<int> progress1000;
    for (int off = 0; off < 1000; off += 56) {
        progress1000.push_back(off / 10);
    }
    const Case cases[] = {
        {1000,
         {0x0000, 0x0200},
         {56, 56, 56, 56, 56, 56, 56, 56, 56, 56, 56, 56, 56, 56, 56, 56, 56, 48},
         progress1000},
        {112, {0x0000}, {56, 56}, {0, 50}},
        {113, {0x0000}, {56, 56, 1}, {0, 49, 99}},
    };
    ASSERT_EQ(progress1000.size(), 18u);
    EXPECT_EQ((std::vector<int>(progress1000.begin(), progress1000.begin() + 4)),
              (std::vector<int>{0, 5, 11, 16}));
    EXPECT_EQ(progress1000.back(), 95);

    for (const Case& c : cases) {
        wire->ClearSent();
        {
            std::lock_guard lock(mutex);
            progress.clear();
        }
        const Bytes image = Pattern(c.size);
        const UpgradeResult result = upgrade.StartUpgrade(image);
        EXPECT_TRUE(result.sent) << result.message;

        std::vector<Sent> expected;
        for (int page : c.pages) {
            expected.push_back({0x01, page, 0});
        }
        int off = 0;
        for (int count : c.chunkCounts) {
            expected.push_back({0x02, off, count});
            off += count;
        }
        expected.push_back({0x01, 0xE400, 0x20});
        expected.push_back({0x02, 0xE400, 3});
        EXPECT_EQ(SentReports(), expected) << c.size << "-byte image";
        EXPECT_EQ(Progress(), c.progress) << c.size << "-byte image";
        EXPECT_EQ(upgrade.GetProgress(), 100) << "the last chunk acknowledged completes the progress";

        const std::vector<Report> reports = wire->Sent();
        const Report& first = reports[c.pages.size()];
        EXPECT_EQ((Bytes(first.begin() + 5, first.begin() + 8)), (Bytes{image[0], 0xF1, 0x88}));
        EXPECT_TRUE(std::equal(image.begin() + 3, image.begin() + 56, first.begin() + 8));
        const Report& head = reports.back();
        EXPECT_EQ((Bytes(head.begin() + 5, head.begin() + 8)), (Bytes(image.begin(), image.begin() + 3)))
            << "the unaltered first three bytes close the transfer";
    }
}

TEST_F(UpgradeTest, ImagesThatCannotBeAddressedOrAreTextAreRefusedBeforeAnythingIsSent) {
    struct Case {
        std::string name;
        Bytes bytes;
        UpgradeFault fault;
        std::string says;
    };
    const std::string hexText = ":10000000000102030405060708090A0B0C0D0E0F78\r\n:00000001FF\r\n";
    Bytes hexBytes(hexText.begin(), hexText.end());
    while (hexBytes.size() < 200) {
        hexBytes.insert(hexBytes.end(), hexText.begin(), hexText.end());
    }
    const Case cases[] = {
        {"empty.bin", {}, UpgradeFault::TooSmall, "holds 0 bytes"},
        {"two.bin", Pattern(2), UpgradeFault::TooSmall, "holds 2 bytes"},
        {"short.bin", Pattern(99), UpgradeFault::TooSmall, "at least 100"},
        {"huge.bin", Pattern(65537), UpgradeFault::TooLarge, "more than 65536"},
        {"image.hex", Pattern(1000), UpgradeFault::HexFile, "Intel HEX"},
        {"IMAGE.HEX", Pattern(1000), UpgradeFault::HexFile, "Intel HEX"},
        {"disguised.bin", hexBytes, UpgradeFault::HexFile, "Intel HEX"},
        {"zeros.bin", Bytes(100), UpgradeFault::OneValue, "every byte is 0x00"},
        {"erased.bin", Bytes(4096, 0xFF), UpgradeFault::OneValue, "every byte is 0xFF"},
        {"notes.bin", Bytes(300, 'a'), UpgradeFault::TextFile, "text file"},
    };
    for (const Case& c : cases) {
        const std::string path = WriteFile(c.name, c.bytes);
        const UpgradeResult result = upgrade.StartUpgrade(path);
        EXPECT_FALSE(result.sent) << c.name;
        EXPECT_EQ(result.fault, c.fault) << c.name << ": " << result.message;
        EXPECT_NE(result.message.find(c.says), std::string::npos) << c.name << ": " << result.message;
        EXPECT_NE(result.message.find(c.name), std::string::npos)
            << "the message names the file: " << result.message;
    }
    const UpgradeResult missing = upgrade.StartUpgrade((dir / "missing.bin").string());
    EXPECT_FALSE(missing.sent);
    EXPECT_NE(missing.message.find("Can't open"), std::string::npos) << missing.message;
    const fs::path pipe = dir / "pipe.bin";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    for (const fs::path& special : {pipe, fs::path("/dev/zero"), dir}) {
        const UpgradeResult refused = upgrade.StartUpgrade(special.string());
        EXPECT_FALSE(refused.sent) << special;
        EXPECT_NE(refused.message.find("not a regular file"), std::string::npos) << refused.message;
    }
    EXPECT_FALSE(upgrade.StartUpgrade(Bytes(99)).sent) << "an image in memory is checked too";
    EXPECT_TRUE(wire->Sent().empty());

    EXPECT_TRUE(upgrade.StartUpgrade(WriteFile("smallest.bin", Pattern(100))).sent);
}

TEST_F(UpgradeTest, FilesOfAnotherKindAreRefusedWhileImagesOfEverySizeGoOut) {
    struct Case {
        const char* file;
        UpgradeFault fault;
        const char* says;
    };
    const Case refused[] = {
        {"notes-utf8.txt", UpgradeFault::TextFile, "text file"},
        {"notes-gb18030.txt", UpgradeFault::TextFile, "text file"},
        {"notes-utf16.txt", UpgradeFault::TextFile, "text file"},
        {"notes-utf16-nomark.txt", UpgradeFault::TextFile, "text file"},
        {"image-bom.hex.bin", UpgradeFault::HexFile, "Intel HEX"},
        {"archive.zip", UpgradeFault::OtherKind, "an archive"},
        {"archive.gz", UpgradeFault::OtherKind, "an archive"},
        {"picture-head.png", UpgradeFault::OtherKind, "a picture"},
        {"document.pdf", UpgradeFault::OtherKind, "a document"},
        {"program.elf", UpgradeFault::OtherKind, "a program"},
    };
    for (const Case& c : refused) {
        const UpgradeResult result = upgrade.StartUpgrade(std::string(VARNOTH_FILE_KINDS) + "/" + c.file);
        EXPECT_FALSE(result.sent) << c.file;
        EXPECT_EQ(result.fault, c.fault) << c.file << ": " << result.message;
        EXPECT_NE(result.message.find(c.says), std::string::npos) << c.file << ": " << result.message;
    }
    EXPECT_TRUE(wire->Sent().empty()) << "nothing of a refused file went out";

    // Raw images begin and go on with anything: an 8051 jump, zero padding, erased flash, noise.
    std::mt19937 random(25);
    for (const std::size_t size : {std::size_t{100}, std::size_t{101}, std::size_t{512}, std::size_t{6000},
                                   std::size_t{65535}, FirmwareUpgrade::kMaxImageSize}) {
        Bytes image(size);
        std::generate(image.begin(), image.end(), [&] { return static_cast<std::uint8_t>(random()); });
        image[0] = 0x02;
        std::fill(image.begin() + static_cast<std::ptrdiff_t>(size / 2), image.end(), 0xFF);
        const UpgradeResult result = upgrade.StartUpgrade(WriteFile("image.bin", image));
        EXPECT_TRUE(result.sent) << size << " bytes: " << result.message;
    }
    const Bytes carried(TestFirmwareImage().begin(), TestFirmwareImage().end());
    EXPECT_TRUE(upgrade.StartUpgrade(WriteFile("test-image.bin", carried)).sent);
}

TEST_F(UpgradeTest, ASecondTransferIsRefusedWhileOneRuns) {
    wire->HoldTransfers(true);
    const Bytes image = Pattern(1000);
    auto first = std::async(std::launch::async, [&] { return upgrade.StartUpgrade(image); });
    ASSERT_TRUE(wire->WaitForHeldTransfer());
    EXPECT_TRUE(upgrade.IsRunning());
    const UpgradeResult second = upgrade.StartUpgrade(image);
    EXPECT_FALSE(second.sent);
    EXPECT_NE(second.message.find("already running"), std::string::npos) << second.message;
    wire->HoldTransfers(false);
    EXPECT_TRUE(first.get().sent);
    EXPECT_EQ(wire->Sent().size(), 22u) << "only the first transfer's reports went out";
}

TEST_F(UpgradeTest, TheTransferStopsAtTheFirstReportNotSentOrNotAcknowledgedAndNeverSendsTheClosingPair) {
    // A 1000-byte image: reports 1..2 announce the pages, 3..20 carry the chunks, 21..22 are the closing
    // pair.
    struct Case {
        const char* what;
        std::size_t failing;  // the report (from 1) that fails
        bool notSent;         // it does not go out (else it gets no reply)
        int progress;
        const char* says;
    };
    const Case cases[] = {
        {"first announcement unanswered", 1, false, 0, "did not acknowledge"},
        {"first chunk not sent", 3, true, 0, "could not be sent"},
        {"a middle chunk unanswered", 11, false, 44, "page 1 of 2 (44% acknowledged)"},
        {"last chunk unanswered", 20, false, 95, "page 2 of 2 (95% acknowledged)"},
        {"closing announcement unanswered", 21, false, 100, "did not confirm the end"},
    };
    link.SetTiming([] {
        LinkTiming timing;
        timing.replyWait = std::chrono::milliseconds(50);
        return timing;
    }());
    for (const Case& c : cases) {
        wire->ClearSent();
        std::size_t seen = 0;
        wire->SetResponder([&](const Report& sent) {
            const bool failing = ++seen == c.failing;
            wire->SetTransferResult(failing && c.notSent ? 0 : static_cast<int>(kReportSize));
            return failing ? std::vector<Report>{} : std::vector<Report>{test::MakeReport({0, sent[1]})};
        });
        const UpgradeResult result = upgrade.StartUpgrade(Pattern(1000));
        wire->SetTransferResult(static_cast<int>(kReportSize));
        EXPECT_FALSE(result.sent) << c.what;
        EXPECT_NE(result.message.find(c.says), std::string::npos) << c.what << ": " << result.message;
        EXPECT_EQ(upgrade.GetProgress(), c.progress) << c.what;
        const std::vector<Sent> sent = SentReports();
        EXPECT_EQ(sent.size(), c.failing) << c.what << ": nothing goes out after the failure";
        EXPECT_EQ(std::count(sent.begin(), sent.end(), Sent{0x02, 0xE400, 3}), 0)
            << c.what << ": the amplifier is never told to run a partial image";
    }
}

TEST_F(UpgradeTest, AStopRequestEndsTheTransferAtTheNextReportWithoutTheClosingPair) {
    int seen = 0;
    bool stopAtFifth = true;
    wire->SetResponder([&](const Report& sent) {
        if (++seen == 5 && stopAtFifth) {
            upgrade.RequestStop();
        }
        return std::vector<Report>{test::MakeReport({0, sent[1]})};
    });
    const UpgradeResult result = upgrade.StartUpgrade(Pattern(1000));
    EXPECT_FALSE(result.sent);
    EXPECT_NE(result.message.find("stopped"), std::string::npos) << result.message;
    EXPECT_EQ(wire->Sent().size(), 5u);
    stopAtFifth = false;
    EXPECT_TRUE(upgrade.StartUpgrade(Pattern(1000)).sent) << "the request does not outlive its transfer";
}

TEST(UpgradeVersion, TheCheckComparesTheModelAndTheFirmwareDate) {
    struct Case {
        const char* name;
        const char* date;
        FirmwareCheck expected;
    };
    const Case cases[] = {
        {"vq317x", "2011-11-28", FirmwareCheck::Same},
        {"VQ317X", "2011-11-27", FirmwareCheck::Older},
        {"Vq317X", "2010-12-31", FirmwareCheck::Older},
        {"VQ317X", "2012-01-01", FirmwareCheck::Newer},
        {"VQ317X", "2011-11-29", FirmwareCheck::Newer},
        {"VQ421", "2011-11-28", FirmwareCheck::ForeignModel},
        {"VQ317XL", "2011-11-27", FirmwareCheck::ForeignModel},
        {"", "2011-11-27", FirmwareCheck::ForeignModel},
        {"VQ317X", "2011-02-30", FirmwareCheck::Same},
        {"VQ317X", "1899-01-01", FirmwareCheck::Same},
        {"VQ317X", "2011-13-01", FirmwareCheck::Same},
        {"VQ317X", "20x1-11-01", FirmwareCheck::Same},
        {"VQ317X", "2011-11", FirmwareCheck::Same},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FirmwareUpgrade::CheckVersion(c.name, c.date), c.expected) << c.name << " " << c.date;
    }
    EXPECT_EQ(FirmwareUpgrade::DateText(FirmwareUpgrade::kImageDate), "2011-11-28");
}

}  // namespace
}  // namespace varnoth
