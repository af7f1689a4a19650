// The settings dialog's controls as INI values: the generic walk keyed by component name.
#pragma once

#include "lang/ini_file.h"

class QWidget;

namespace vorn::app {

// Check boxes go to `Checks` (1/0); edits (text), radio groups (item index), spin edits and
// scroll bars (value) to `Values`. Controls of other kinds are not stored.
void WriteDialogControls(lang::IniFile& ini, const QWidget* dialog);
// The reverse; a missing key keeps the control as it is, a radio group's item that it does not
// have takes the group's default.
void ReadDialogControls(const lang::IniFile& ini, QWidget* dialog);

} // namespace vorn::app
