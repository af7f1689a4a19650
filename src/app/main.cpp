// vorn3d: start-up of the program — splash, main window, pause, then the start-up timer.
#include "app/app_paths.h"
#include "app/pres_frm.h"
#include "app/startup.h"
#include "app/vorn2frm.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QScreen>
#include <QThread>

#include <clocale>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VORN-3D"));
    // Numbers are read and written with "." whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());

    // A relative scene name means the folder the program was started from, so it is resolved
    // before the program's folder becomes the current one. QApplication has taken its own
    // options out of argv.
    const QString sceneFile = vorn::app::CommandLineFile(argc, argv);
    QDir::setCurrent(QApplication::applicationDirPath());

    auto* splash = new vorn::app::TPresFrm;
    splash->show();
    QApplication::processEvents();

    vorn::app::TVorn2frm window;
    window.registerWindow(splash);
    QThread::msleep(500);
    // The built-in texts, written at every start as the template for translators.
    window.exportLanguage();
    // Without a window manager "maximised" means nothing; start at the screen's size anyway.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.setGeometry(screen->availableGeometry());
    window.showMaximized();
    splash->raise();

    // Unsaved work survives a kill: autosaved to the user's state folder, offered at next start.
    window.enableRecovery(
        vorn::app::PathFromLocalBytes(vorn::recovery::RecoveryDirOfEnvironment()));
    vorn::app::StartUp startUp(window, splash, sceneFile);
    startUp.start();
    return QApplication::exec();
}
