// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>

#include "OffscreenPlatform.h"
#include "ui/controls/ImageResources.h"

int main(int argc, char** argv) {
    varnoth::test::UseOffscreenPlatformUnlessGiven();
    QApplication app(argc, argv);
    varnoth::InitImageResources();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
