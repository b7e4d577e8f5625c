// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/LanguageTable.h"

#include <gtest/gtest.h>

namespace varnoth {
namespace {

TEST(LanguageTable, ReadsTheStringSectionWithFirstOccurrenceRemarksAndEmptyValues) {
    const LanguageTable table = LanguageTable::Parse(
        "\xEF\xBB\xBF[String]\r\n"
        "//主界面\r\n"
        "IDD229_1012=载入\r\n"
        "IDD180_1111=first\r\n"
        "IDD180_1111=second\r\n"
        "IDD229_1019=\r\n"
        "  IDD180_title = 设置  \r\n"
        "//IDD229_1013=remark\r\n"
        "no equals sign here\r\n"
        "\r\n"
        "[Other]\r\n"
        "IDD229_1018=other section\r\n"
        "[String]\r\n"
        "IDD241_title=last line without line end");

    EXPECT_EQ(table.Lookup("IDD229_1012"), "载入");
    EXPECT_EQ(table.Lookup("IDD180_1111"), "first") << "a duplicated key counts with its first occurrence";
    EXPECT_EQ(table.Lookup("IDD229_1019"), "") << "an empty value";
    EXPECT_EQ(table.Lookup("idd180_TITLE"), "设置") << "keys ignore case; blanks around key and value drop";
    EXPECT_EQ(table.Lookup("IDD229_1013"), "") << "a remark line is no entry";
    EXPECT_EQ(table.Lookup("//IDD229_1013"), "") << "a remark line is no entry";
    EXPECT_EQ(table.Lookup("IDD229_1018"), "") << "only section String counts";
    EXPECT_EQ(table.Lookup("IDD241_title"), "last line without line end");
    EXPECT_EQ(table.Lookup("IDD229_9999"), "") << "a missing key";
}

TEST(LanguageTable, KeysNameTheTemplateAndTheControl) {
    EXPECT_EQ(LanguageTable::TitleKey(204), "IDD204_title");
    EXPECT_EQ(LanguageTable::ControlKey(229, 1012), "IDD229_1012");
}

TEST(LanguageTable, TextOutsideTheSectionOrDamagedGivesNoEntries) {
    EXPECT_EQ(LanguageTable::Parse("IDD229_1012=LOAD\n").Lookup("IDD229_1012"), "");
    EXPECT_EQ(LanguageTable::Parse("[String\nIDD229_1012=LOAD\n").Lookup("IDD229_1012"), "");
    EXPECT_EQ(LanguageTable::Parse(std::string_view("[String]\n=\0x\n", 13)).Lookup(""), "");
}

}  // namespace
}  // namespace varnoth
