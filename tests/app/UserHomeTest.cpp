// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/UserHome.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace varnoth {
namespace {

// Without HOME (or with an unusable one) the settings would go under the root folder: the user's home folder
// from the user database is taken instead; a usable HOME is kept.
TEST(UserHome, AMissingHomeIsTheUserDatabasesAndAGivenOneIsKept) {
    const char* before = std::getenv("HOME");
    const std::string saved = before != nullptr ? before : "";
    const passwd* entry = ::getpwuid(::getuid());
    ASSERT_NE(entry, nullptr) << "the test needs a user with an entry";

    for (const char* unusable : {static_cast<const char*>(nullptr), "", "relative"}) {
        if (unusable == nullptr) {
            ::unsetenv("HOME");
        } else {
            ::setenv("HOME", unusable, 1);
        }
        EXPECT_EQ(EnsureHomeFolder(), "");
        ASSERT_NE(std::getenv("HOME"), nullptr);
        EXPECT_EQ(std::string(std::getenv("HOME")), entry->pw_dir) << (unusable ? unusable : "unset");
    }
    ::setenv("HOME", "/somewhere/else", 1);
    EXPECT_EQ(EnsureHomeFolder(), "");
    EXPECT_EQ(std::string(std::getenv("HOME")), "/somewhere/else");

    if (before != nullptr) {
        ::setenv("HOME", saved.c_str(), 1);
    } else {
        ::unsetenv("HOME");
    }
}

}  // namespace
}  // namespace varnoth
