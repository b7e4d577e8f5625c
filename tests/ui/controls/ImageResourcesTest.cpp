// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "ui/controls/ControlGallery.h"
#include "ui/controls/ImageResources.h"

namespace varnoth {
namespace {

TEST(ImageResources, EveryPictureExistsAtItsSize) {
    struct Case {
        int id, width, height;
    };
    const Case cases[] = {
        {221, 30, 18}, {222, 30, 18}, {223, 30, 18},   {224, 29, 18},   {225, 30, 18}, {226, 30, 18},
        {227, 30, 18}, {228, 29, 18}, {236, 97, 19},   {237, 107, 39},  {238, 20, 29}, {239, 20, 29},
        {213, 26, 26}, {214, 26, 26}, {207, 212, 480}, {210, 516, 110}, {211, 76, 76}, {230, 812, 409},
        {234, 16, 10}, {235, 16, 10}, {209, 256, 256},
    };
    for (const Case& c : cases) {
        const QImage image = LoadImageResource(c.id);
        ASSERT_FALSE(image.isNull()) << "picture " << c.id;
        EXPECT_EQ(image.size(), QSize(c.width, c.height)) << "picture " << c.id;
        const QImage doubled(QStringLiteral(":/images/%1@2x.png").arg(c.id));
        EXPECT_EQ(doubled.size(), QSize(2 * c.width, 2 * c.height)) << "double-resolution picture " << c.id;
    }
    EXPECT_TRUE(LoadImageResource(9999).isNull());
}

TEST(ControlGallery, RendersEveryControl) {
    ControlGallery gallery;
    gallery.show();
    const QImage image = gallery.grab().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), gallery.size());
    const QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    EXPECT_TRUE(image.save(folder.filePath(QStringLiteral("controls-gallery.png"))));
}

}  // namespace
}  // namespace varnoth
