// recovery_probe: the program's window and start-up with scripted answers, for the recovery
// tests that kill it. Usage: recovery_probe --dir DIR [--scene FILE] [--answer yes|no]
// [--change] [--out FILE]. With --change it deletes the first object, says "changed", says
// "autosaved PATH" after its first autosave and runs until killed; otherwise it writes the
// scene's bytes to --out, says what it holds and closes as the user would (answering No).
#include "app/app_paths.h"
#include "app/startup.h"
#include "app/user_dialogs.h"
#include "app/vorn2frm.h"
#include "core/scene_file.h"
#include "lang/ini_file.h"

#include <QApplication>
#include <QLocale>
#include <QTimer>

#include <clocale>
#include <iostream>

namespace {

using namespace vorn;

// Prints every box; the first question is answered as told, any other with No.
class ProbeDialogs : public app::UserDialogs {
  public:
    explicit ProbeDialogs(bool yes) : m_yes(yes) {}
    QString openFileName(const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString saveFileName(const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
    core::Answer messageBox(core::BoxKind, const QString& text, app::BoxButtons buttons) override {
        std::cout << "box: " << text.toStdString() << std::endl;
        if (buttons == app::BoxButtons::Ok) return core::Answer::Yes;
        const bool yes = m_yes && !m_asked;
        m_asked = true;
        return yes ? core::Answer::Yes : core::Answer::No;
    }
    bool selectObjects(core::LoadSelection&) override { return false; }

  private:
    bool m_yes;
    bool m_asked = false;
};

} // namespace

int main(int argc, char** argv) {
    QString dir, scene, out;
    bool yes = false, change = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--dir" && i + 1 < argc)
            dir = QString::fromLocal8Bit(argv[++i]);
        else if (a == "--scene" && i + 1 < argc)
            scene = QString::fromLocal8Bit(argv[++i]);
        else if (a == "--out" && i + 1 < argc)
            out = QString::fromLocal8Bit(argv[++i]);
        else if (a == "--answer" && i + 1 < argc)
            yes = std::string(argv[++i]) == "yes";
        else if (a == "--change")
            change = true;
        else {
            std::cerr << "usage: recovery_probe --dir DIR [--scene FILE] [--answer yes|no] "
                         "[--change] [--out FILE]\n";
            return 2;
        }
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());

    app::TVorn2frm window;
    window.setDialogs(std::make_unique<ProbeDialogs>(yes));
    window.setProgramDir(dir);
    window.enableRecovery(app::PathFromLocalBytes(recovery::RecoveryDirOfEnvironment()));
    window.show();
    app::StartUp startUp(window, nullptr, scene);
    QTimer watch;
    QObject::connect(&startUp, &app::StartUp::finished, [&] {
        core::Scene& s = window.scene();
        if (change) {
            core::DeleteObject(window.env(), 2, false);
            std::cout << "changed" << std::endl;
            QObject::connect(&watch, &QTimer::timeout, [&] {
                if (!window.recoveryStore()->holds()) return;
                std::cout << "autosaved " << window.recoveryStore()->scenePath() << std::endl;
                watch.stop();
            });
            watch.start(10);
            return;
        }
        const std::vector<std::uint8_t> bytes = core::SerializeScene(s);
        if (!out.isEmpty())
            lang::writeFileAtomically(
                app::LocalBytesOfPath(out),
                std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        std::cout << "holds objects=" << s.objectCount() - 1 << " modified=" << s.sceneModified
                  << " file=" << app::LocalBytesOfPath(window.currentFileName()) << std::endl;
        window.close();
        QApplication::quit();
    });
    startUp.start();
    return QApplication::exec();
}
