// SPDX-License-Identifier: GPL-3.0-or-later
// Shows every custom control with sample values. With --grab FILE the page is saved as a PNG instead.
#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

#include "ui/controls/ControlGallery.h"
#include "ui/controls/ImageResources.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    varnoth::InitImageResources();
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption grab(QStringLiteral("grab"), QStringLiteral("Save the page to <file>."),
                                  QStringLiteral("file"));
    parser.addOption(grab);
    parser.process(app);

    varnoth::ControlGallery gallery;
    if (parser.isSet(grab)) {
        gallery.show();
        const QString file = parser.value(grab);
        if (!gallery.grab().save(file)) {
            std::fprintf(stderr, "Cannot write %s\n", qPrintable(file));
            return 1;
        }
        return 0;
    }
    gallery.show();
    return QApplication::exec();
}
