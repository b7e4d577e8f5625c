// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>

#include "OffscreenPlatform.h"
#include "ui/controls/ImageResources.h"
#include "ui/main/Language.h"

int main(int argc, char** argv) {
    varnoth::test::UseOffscreenPlatformUnlessGiven();
    QApplication app(argc, argv);
    varnoth::InitImageResources();
    varnoth::InitLanguageResources();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
