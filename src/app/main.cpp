#include <QApplication>
#include <QStringList>

#include "app/CVarnothApp.h"
#include "device/Trace.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (QApplication::arguments().contains(QStringLiteral("--trace"))) {
        varnoth::EnableTraceToStderr();
    }
    varnoth::CVarnothApp app;
    return app.Run();
}
