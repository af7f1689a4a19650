// Choice of the settings folder and the language search folders.
#include "app/app_paths.h"

#include <QDir>
#include <QFileInfo>

namespace vorn::app {

QString UserConfigDir() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(base + QStringLiteral("/vorn3d"));
}

namespace {

QString ShareDir(const QString& programDir) {
    return QDir::cleanPath(programDir + QStringLiteral("/../share/vorn3d"));
}

} // namespace

bool IsInstalledLayout(const QString& programDir) {
    return QDir(QDir::cleanPath(programDir)).dirName() == QStringLiteral("bin") &&
           QFileInfo(ShareDir(programDir)).isDir();
}

QString WritableDataDir(const QString& programDir, const QString& configDir) {
    const QFileInfo program(programDir);
    if (program.isDir() && program.isWritable() && !IsInstalledLayout(programDir))
        return QDir::cleanPath(programDir);
    QDir().mkpath(configDir);
    return QDir::cleanPath(configDir);
}

QStringList LanguageDirs(const QString& programDir, const QString& configDir) {
    QStringList dirs;
    const QString share = ShareDir(programDir);
    for (const QString& d : {QDir::cleanPath(programDir), QDir::cleanPath(configDir), share})
        if (!dirs.contains(d) && QFileInfo(d).isDir()) dirs << d;
    return dirs;
}

} // namespace vorn::app
