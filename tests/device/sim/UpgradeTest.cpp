// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "SimTestSupport.h"
#include "device/Opcodes.h"
#include "device/sim/SimTransport.h"
#include "device/sim/VirtualAmp.h"

namespace varnoth {
namespace {

using test::Command;
using Bytes = std::vector<std::uint8_t>;

Report DataChunk(std::size_t address, const std::uint8_t* data, std::size_t count) {
    Report r = Command(op::UpgradeData, {static_cast<int>(address >> 8), static_cast<int>(address & 0xFF),
                                         static_cast<int>(count)});
    std::copy(data, data + count, r.begin() + 5);
    return r;
}

// Sends an image the way the host does: page announcements, chunks of 56 bytes with bytes 1 and 2 of the
// image replaced, then the closing announcement and the image's own first three bytes at 0xE400.
void SendImage(Transport& link, Bytes image) {
    const Bytes head(image.begin(), image.begin() + 3);
    image[1] = 0xF1;
    image[2] = 0x88;
    for (std::size_t a = 0; a < image.size(); a += 512) {
        test::Exchange(link,
                       Command(op::UpgradeBlock, {static_cast<int>(a >> 8), static_cast<int>(a & 0xFF)}));
    }
    for (std::size_t off = 0; off < image.size(); off += 56) {
        const std::size_t n = std::min<std::size_t>(56, image.size() - off);
        test::Exchange(link, DataChunk(off, image.data() + off, n));
    }
    test::Exchange(link, Command(op::UpgradeBlock, {0xE4, 0x00, 0x20}));
    test::Exchange(link, Command(op::UpgradeData, {0xE4, 0x00, 3, head[0], head[1], head[2]}));
}

class UpgradeTest : public ::testing::Test {
  protected:
    void SetUp() override { amp->SetUpgradeMode(true); }

    std::shared_ptr<VirtualAmp> amp = std::make_shared<VirtualAmp>();
    SimTransport link{amp};
};

TEST_F(UpgradeTest, FlashHoldsTheAlteredImageAndTheOriginalHeadAt0xE400) {
    Bytes image(1000);
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    SendImage(link, image);

    const UpgradeFlash flash = amp->Flash();
    Bytes expected = image;
    expected[1] = 0xF1;
    expected[2] = 0x88;
    EXPECT_EQ(flash.Image(0xE400), expected);
    EXPECT_EQ(Bytes(flash.Bytes().begin() + 0xE400, flash.Bytes().begin() + 0xE403),
              Bytes(image.begin(), image.begin() + 3));
    EXPECT_FALSE(flash.Written(0xE403));
    EXPECT_EQ(flash.Bytes()[1000], 0xFF) << "flash past the image stays erased";

    const std::vector<UpgradeFlash::Announcement> pages{{0x0000, 0}, {0x0200, 0}, {0xE400, 0x20}};
    EXPECT_EQ(flash.Announcements(), pages);
    ASSERT_EQ(flash.Chunks().size(), 19u);
    EXPECT_EQ(flash.Chunks()[17], (UpgradeFlash::Chunk{952, 48}));
    EXPECT_EQ(flash.Chunks()[18], (UpgradeFlash::Chunk{0xE400, 3}));
    EXPECT_EQ(flash.UnannouncedWrites(), 0u);
    EXPECT_EQ(flash.RejectedChunks(), 0u);
}

TEST_F(UpgradeTest, RefusesChunksThatDoNotFitAndNotesUnannouncedPages) {
    const std::uint8_t data[56] = {1, 2, 3};
    EXPECT_EQ(test::Exchange(link, DataChunk(0x1000, data, 4))[3], VirtualAmp::kDone);
    Report tooLong = DataChunk(0x1000, data, 56);
    tooLong[4] = 57;
    EXPECT_EQ(test::Exchange(link, tooLong)[3], VirtualAmp::kIgnored);
    EXPECT_EQ(test::Exchange(link, DataChunk(0xFFF0, data, 17))[3], VirtualAmp::kIgnored);

    const UpgradeFlash flash = amp->Flash();
    EXPECT_EQ(flash.RejectedChunks(), 2u);
    EXPECT_EQ(flash.UnannouncedWrites(), 1u);
    EXPECT_EQ(flash.Bytes()[0x1002], 3);
    EXPECT_FALSE(flash.Written(0xFFF0));
}

TEST_F(UpgradeTest, OnlyUpgradeCommandsAreKnownAndUpgradeExitEndsPcControl) {
    const Report name = test::Exchange(link, Command(op::ReadDevName));
    EXPECT_EQ(name[1], VirtualAmp::kAck);
    EXPECT_EQ(name[3], VirtualAmp::kIgnored);
    test::Exchange(link, Command(op::WriteRegister, {10, 32, 0, 1}));
    EXPECT_EQ(amp->Register(10, 32, 0), 58) << "registers do not change in upgrade mode";

    EXPECT_EQ(test::Exchange(link, Command(op::UpgradeExit, {0, 0, 1}))[3], VirtualAmp::kDone);
    EXPECT_EQ(amp->PcControl().lastFarewell, op::UpgradeExit);
    EXPECT_FALSE(amp->PcControl().underPcControl);
}

}  // namespace
}  // namespace varnoth
