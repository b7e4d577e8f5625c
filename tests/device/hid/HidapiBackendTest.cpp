// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "device/hid/HidapiBackend.h"

namespace varnoth {
namespace {

class TempFile {
  public:
    explicit TempFile(const std::string& name)
        : m_path((std::filesystem::temp_directory_path() / (name + std::to_string(getpid()))).string()) {
        std::ofstream(m_path) << "not a device";
    }
    ~TempFile() { std::remove(m_path.c_str()); }
    const std::string& Path() const { return m_path; }

  private:
    std::string m_path;
};

TEST(HidapiBackend, RefusesPathsThatAreNotHidDevices) {
    HidapiBackend backend;
    TempFile plain("varnoth-not-hidraw-");

    for (const std::string& path : {std::string("/nonexistent/hidraw99"), plain.Path()}) {
        SCOPED_TRACE(path);
        HidOpenOutcome outcome = backend.Open({path, kNormalIds, {}});
        EXPECT_EQ(outcome.device, nullptr);
        EXPECT_EQ(outcome.error, HidOpenError::Failed);
        EXPECT_NE(outcome.message.find(path), std::string::npos) << outcome.message;
    }
}

TEST(HidapiBackend, TellsAccessDeniedApartFromOtherFailures) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root may open any file";
    }
    HidapiBackend backend;
    TempFile locked("varnoth-locked-");
    ASSERT_EQ(chmod(locked.Path().c_str(), 0), 0);

    HidOpenOutcome outcome = backend.Open({locked.Path(), kNormalIds, {}});
    EXPECT_EQ(outcome.device, nullptr);
    EXPECT_EQ(outcome.error, HidOpenError::AccessDenied) << outcome.message;
}

}  // namespace
}  // namespace varnoth
