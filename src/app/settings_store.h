// The settings dialog's controls as INI values: the generic walk keyed by component name.
#pragma once

#include "lang/ini_file.h"
#include "lesson/recent_files.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace vorn::app {

// Check boxes go to `Checks` (1/0); edits (text), radio groups (item index), spin edits and
// scroll bars (value) to `Values`. Controls of other kinds are not stored.
void WriteDialogControls(lang::IniFile& ini, const QWidget* dialog);
// The reverse; a missing key keeps the control as it is, a radio group's item that it does not
// have takes the group's default.
void ReadDialogControls(const lang::IniFile& ini, QWidget* dialog);

// The scenes last opened or saved, newest first, as the "Файл" menu lists them.
inline constexpr int kRecentFileCount = lesson::kRecentFileCount;
// `list` with `path` moved (or put) in front and cut to kRecentFileCount: the lesson's rule on
// the names' bytes.
QStringList WithRecentFile(QStringList list, const QString& path);
// `RecentFiles`: File1..File8, each the file's bytes percent-encoded, so that a name code page
// 1251 cannot hold, or one that is not UTF-8, comes back whole; unused keys are left empty.
void WriteRecentFiles(lang::IniFile& ini, const QStringList& files);
QStringList ReadRecentFiles(const lang::IniFile& ini);

} // namespace vorn::app
