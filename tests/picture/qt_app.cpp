// A headless Qt application for the picture tests, created on first use.
#include "qt_app.h"

#include <QApplication>

namespace vorn::test {

void EnsureQtApp() {
    if (QApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_picture_qt";
    static char* argv[] = {name, nullptr};
    // Never destroyed: a static one would be torn down after Qt's own globals.
    new QApplication(argc, argv);
}

} // namespace vorn::test
