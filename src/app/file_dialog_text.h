// FileDialogText: the title and type filter of an open or save dialog, as translatable texts.
#pragma once

#include <QObject>
#include <QString>

namespace vorn::app {

class FileDialogText : public QObject {
    Q_OBJECT
  public:
    // `filter` has the language files' form "Name|*.ext|Name|*.*".
    FileDialogText(const char* name, const QString& title, const QString& filter, QObject* parent);

    QString title;
    QString filter;

    // The toolkit's form "Name (*.ext);;Name (*.*)".
    QString qtFilter() const;
};

// "A|*.x|B|*.*" -> "A (*.x);;B (*.*)"; a trailing name without a pattern is dropped.
QString ToQtFilter(const QString& pipeFilter);

} // namespace vorn::app
