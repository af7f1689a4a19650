// Tool-button pictures, drawn at run time so the tool bars read without image files.
#pragma once

#include <QIcon>
#include <QString>

class QAction;

namespace vorn::app {

// The picture of the command named `name` (the part after m_/k_), with `letters` where the
// picture has them.
QIcon CommandIcon(const char* name);
QIcon CommandIcon(const char* name, const QString& letters);

// The measurement buttons name what they take in a few letters ("т,пл": point and plane), which
// a language file replaces. These are the built-in ones; empty for a picture without letters.
QString DefaultIconLetters(const char* name);
bool HasIconLetters(const QAction* action);
QString IconLetters(const QAction* action);
// Redraws the action's picture with new letters.
void SetIconLetters(QAction* action, const QString& letters);

} // namespace vorn::app
