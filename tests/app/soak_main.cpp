// soak_gui: runs the GUI soak driver in a temporary folder that stands in for home, settings
// and temporary files. Usage: soak_gui --steps N --seed S [--samples DIR] [--inputs DIR]
// [--log FILE] [--step-timeout SEC] [--keep] [--verbose]
#include "soak_driver.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLocale>
#include <QUrl>

#include <clocale>
#include <cstdlib>
#include <iostream>
#include <unistd.h>

namespace {

// Links the help window would hand to the desktop end here: the run starts no other program.
class UrlSink : public QObject {
    Q_OBJECT
  public Q_SLOTS:
    void openUrl(const QUrl& url) {
        std::cerr << "soak: link not followed: " << url.toString().toStdString() << "\n";
    }
};

QString env(const char* name) {
    return qEnvironmentVariable(name);
}

int usage() {
    std::cerr << "usage: soak_gui --steps N --seed S [--samples DIR] [--inputs DIR] [--log FILE]"
                 " [--step-timeout SEC] [--keep] [--verbose]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    vorn::soak::Options options;
    QString inputsDir;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--steps" && hasValue)
            options.steps = std::atol(argv[++i]);
        else if (a == "--seed" && hasValue)
            options.seed = std::strtoull(argv[++i], nullptr, 10);
        else if (a == "--samples" && hasValue)
            options.samplesDir = QString::fromLocal8Bit(argv[++i]);
        else if (a == "--inputs" && hasValue)
            inputsDir = QString::fromLocal8Bit(argv[++i]);
        else if (a == "--log" && hasValue)
            options.logFile = QString::fromLocal8Bit(argv[++i]);
        else if (a == "--step-timeout" && hasValue)
            options.stepTimeoutSec = std::atoi(argv[++i]);
        else if (a == "--keep")
            keep = true;
        else if (a == "--verbose")
            options.verbose = true;
        else
            return usage();
    }
    if (options.steps <= 0 || options.stepTimeoutSec <= 0) return usage();

    // Everything the program may write goes under one temporary folder: the user's home,
    // configuration, caches and temporary files are redirected there.
    const QString originalCwd = QDir::currentPath();
    const QString originalHome = env("HOME");
    const QString originalConfig = env("XDG_CONFIG_HOME");
    const QString tmpBase = env("TMPDIR").isEmpty() ? QStringLiteral("/tmp") : env("TMPDIR");
    QByteArray tmpl = QDir(tmpBase).filePath("vorn_soak_XXXXXX").toLocal8Bit();
    if (!::mkdtemp(tmpl.data())) {
        std::cerr << "soak: cannot create a temporary folder under " << tmpBase.toStdString()
                  << "\n";
        return 2;
    }
    options.root = QString::fromLocal8Bit(tmpl);
    const QDir root(options.root);
    for (const char* sub : {"home", "config", "cache", "data", "runtime", "tmp", "prog"})
        QDir().mkpath(root.filePath(sub));
    QFile::setPermissions(root.filePath("runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("HOME", root.filePath("home").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", root.filePath("config").toLocal8Bit());
    qputenv("XDG_CACHE_HOME", root.filePath("cache").toLocal8Bit());
    qputenv("XDG_DATA_HOME", root.filePath("data").toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", root.filePath("runtime").toLocal8Bit());
    qputenv("TMPDIR", root.filePath("tmp").toLocal8Bit());
    if (env("QT_QPA_PLATFORM").isEmpty() && env("DISPLAY").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The program makes its own folder the current one.
    QDir::setCurrent(root.filePath("prog"));

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VORN-3D"));
    QApplication::setQuitOnLastWindowClosed(false);
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());
    UrlSink sink;
    for (const char* scheme : {"http", "https", "file", "mailto", "ftp"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &sink, "openUrl");

    const QDir source(QStringLiteral(VORN_SOURCE_DIR));
    for (const QString& name : QDir(source.filePath("lang")).entryList({"*.lng"}, QDir::Files))
        options.dataFiles << source.filePath("lang/" + name);
    options.dataFiles << source.filePath("help/vorn3ukr.html");
    if (!inputsDir.isEmpty())
        for (const QString& name : QDir(inputsDir).entryList(QDir::Files, QDir::Name))
            options.extraInputs << QDir(inputsDir).filePath(name);
    // Where a stray write would land: the start folder, the program's folder, the real home.
    options.watchDirs = {originalCwd, QApplication::applicationDirPath()};
    if (!originalHome.isEmpty())
        options.watchDirs << originalHome << originalHome + "/.config/vorn3d";
    if (!originalConfig.isEmpty()) options.watchDirs << originalConfig + "/vorn3d";

    std::cerr << "soak: folder " << options.root.toStdString() << ", seed " << options.seed << ", "
              << options.steps << " steps\n";
    int result = 0;
    {
        vorn::soak::Driver driver(options);
        result = driver.run();
    }
    for (const char* scheme : {"http", "https", "file", "mailto", "ftp"})
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    if (result == 0 && !keep)
        QDir(options.root).removeRecursively();
    else
        std::cerr << "soak: the run's folder is kept: " << options.root.toStdString() << "\n";
    return result;
}

#include "soak_main.moc"
