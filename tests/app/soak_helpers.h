// Small helpers the soak driver's files share: names of widgets in the log, folder tests.
#pragma once

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QWidget>

#include <string>

namespace vorn::soak {

inline std::string str(const QString& s) {
    return s.toStdString();
}

inline std::string describe(const QWidget* w) {
    if (!w) return "(none)";
    std::string name = w->metaObject()->className();
    if (!w->objectName().isEmpty()) name += " " + str(w->objectName());
    return name;
}

inline bool insideFolder(const QString& path, const QString& folder) {
    const QString p = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QString f = QDir::cleanPath(folder);
    return p == f || p.startsWith(f + '/');
}

} // namespace vorn::soak
