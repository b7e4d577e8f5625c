// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/main/DroppedFiles.h"

namespace varnoth {
namespace {

using Files = std::vector<std::string>;

// The name of a mode data file saved on a Chinese Windows PC: "模式数据.vqm" in GBK, not UTF-8.
const std::string kGbkName = "\xc4\xa3\xca\xbd\xca\xfd\xbe\xdd.vqm";

TEST(DroppedFiles, ALocalFileUriBecomesTheBytesOfItsName) {
    struct Case {
        const char* what;
        std::string list;
        Files files;
    };
    const Case cases[] = {
        {"a GBK name, escaped",
         "file:///home/ktv/%C4%A3%ca%BD%CA%FD%be%DD.vqm\r\n",
         {"/home/ktv/" + kGbkName}},
        {"a UTF-8 name, escaped", "file:///tmp/%E6%A8%A1%E5%BC%8F1.vqm", {"/tmp/模式1.vqm"}},
        {"an escaped space and percent sign", "file:///tmp/a%20b%25.vqm\n", {"/tmp/a b%.vqm"}},
        {"the local host named", "file://localhost/tmp/set.vqm\r\n", {"/tmp/set.vqm"}},
        {"no authority", "file:/tmp/set.vqm", {"/tmp/set.vqm"}},
        {"the scheme in capitals", "FILE:///tmp/set.vqm", {"/tmp/set.vqm"}},
        {"comments and several files",
         "# dragged\r\nfile:///a.vqm\r\nfile:///b.vqm\r\n",
         {"/a.vqm", "/b.vqm"}},
        {"an escaped line break stays in the name", "file:///tmp/a%0Ab.vqm", {"/tmp/a\nb.vqm"}},
        {"another host", "file://studio-pc/tmp/set.vqm\r\n", {}},
        {"another scheme", "https://example.org/set.vqm\r\nsmb://pc/share/set.vqm", {}},
        {"a relative path", "file:set.vqm", {}},
        {"a broken escape", "file:///tmp/%C4%A.vqm\r\nfile:///tmp/%G1.vqm\r\nfile:///tmp/%", {}},
        {"an escaped NUL", "file:///tmp/a%00.vqm", {}},
        {"a plain NUL", std::string("file:///tmp/a\0b.vqm", 19), {}},
        {"nothing", "", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LocalFilesOfUriList(c.list), c.files) << c.what;
    }
}

}  // namespace
}  // namespace varnoth
