// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "OffscreenPlatform.h"
#include "ui/controls/ImageResources.h"
#include "ui/main/Language.h"

int main(int argc, char* argv[]) {
    // Settings and the single-instance mark of the programs started live in private folders.
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
