// SPDX-License-Identifier: GPL-3.0-or-later
// The main of every widget test: Qt's application on the offscreen platform unless one is given, the
// program's pictures and language tables, and private folders for the settings and the single-instance
// mark, which the programs a test starts share.
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "OffscreenPlatform.h"
#include "ui/controls/ImageResources.h"
#include "ui/main/Language.h"

int main(int argc, char* argv[]) {
    QTemporaryDir home;
    QTemporaryDir session;
    if (!home.isValid() || !session.isValid()) {
        return 1;
    }
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
    qputenv("XDG_RUNTIME_DIR", session.path().toUtf8());
    varnoth::test::UseOffscreenPlatformUnlessGiven();
    QApplication application(argc, argv);
    varnoth::InitLanguageResources();
    varnoth::InitImageResources();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
