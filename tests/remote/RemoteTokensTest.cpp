// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "remote/RemoteTokens.h"

namespace varnoth {
namespace {

namespace fs = std::filesystem;

class RemoteTokensTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("varnoth-tokens-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    static mode_t ModeOf(const fs::path& path) {
        struct stat info {};
        ::stat(path.c_str(), &info);
        return info.st_mode & 07777;
    }

    fs::path m_dir;
};

TEST_F(RemoteTokensTest, TokensAreKeptPrivatelyAndSurviveARestartUntilRenewed) {
    const fs::path path = m_dir / "state" / "varnoth" / "remote-tokens";
    std::string error;
    const RemoteTokens first = RemoteTokens::LoadOrCreate(path, false, error);
    ASSERT_EQ(error, "");
    EXPECT_EQ(ModeOf(path), 0600);
    EXPECT_EQ(ModeOf(path.parent_path()), 0700);
    for (const RemoteRole role : {RemoteRole::Installer, RemoteRole::Staff}) {
        EXPECT_EQ(first.Of(role).size(), RemoteTokens::kHexDigits);
        EXPECT_EQ(first.Of(role).find_first_not_of("0123456789abcdef"), std::string::npos);
    }
    EXPECT_NE(first.Of(RemoteRole::Installer), first.Of(RemoteRole::Staff));

    const RemoteTokens again = RemoteTokens::LoadOrCreate(path, false, error);
    EXPECT_EQ(again.Of(RemoteRole::Installer), first.Of(RemoteRole::Installer));
    EXPECT_EQ(again.Of(RemoteRole::Staff), first.Of(RemoteRole::Staff));

    const RemoteTokens renewed = RemoteTokens::LoadOrCreate(path, true, error);
    EXPECT_NE(renewed.Of(RemoteRole::Installer), first.Of(RemoteRole::Installer));
    EXPECT_FALSE(renewed.Match(first.Of(RemoteRole::Installer))) << "renewing drops the old links";
    EXPECT_FALSE(renewed.Match(first.Of(RemoteRole::Staff)));
    EXPECT_EQ(renewed.Match(renewed.Of(RemoteRole::Staff)), RemoteRole::Staff);
}

TEST_F(RemoteTokensTest, AFileOthersCanReadIsNotTrusted) {
    const fs::path path = m_dir / "remote-tokens";
    fs::create_directories(m_dir);
    const std::string installer(32, '1');
    const std::string staff(32, '2');
    std::ofstream(path) << "installer " << installer << "\nstaff " << staff << "\n";
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    std::string error;
    const RemoteTokens tokens = RemoteTokens::LoadOrCreate(path, false, error);
    EXPECT_NE(tokens.Of(RemoteRole::Installer), installer);
    EXPECT_EQ(ModeOf(path), 0600);

    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    std::ofstream(path) << "installer " << installer << "\nstaff short\n";
    EXPECT_NE(RemoteTokens::LoadOrCreate(path, false, error).Of(RemoteRole::Staff), "short");
}

TEST_F(RemoteTokensTest, OnlyTheWholeTokenMatches) {
    const RemoteTokens tokens(std::string(32, 'a'), std::string(32, 'b'));
    EXPECT_EQ(tokens.Match(std::string(32, 'a')), RemoteRole::Installer);
    EXPECT_EQ(tokens.Match(std::string(32, 'b')), RemoteRole::Staff);
    for (const std::string& wrong : {std::string(), std::string(31, 'a'), std::string(33, 'a'),
                                     std::string(31, 'a') + 'b', std::string(64, 'a')}) {
        EXPECT_FALSE(tokens.Match(wrong)) << '"' << wrong << '"';
    }
}

}  // namespace
}  // namespace varnoth
