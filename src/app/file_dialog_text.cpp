// Conversion of pipe-separated file filters to the toolkit's form.
#include "app/file_dialog_text.h"

#include <QStringList>

namespace vorn::app {

FileDialogText::FileDialogText(const char* name, const QString& title, const QString& filter,
                               QObject* parent)
    : QObject(parent), title(title), filter(filter) {
    setObjectName(QString::fromLatin1(name));
}

QString FileDialogText::qtFilter() const {
    return ToQtFilter(filter);
}

QString ToQtFilter(const QString& pipeFilter) {
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << parts[i].trimmed() + QStringLiteral(" (") + patterns.trimmed() + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

} // namespace vorn::app
