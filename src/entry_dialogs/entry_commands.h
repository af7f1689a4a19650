// The main window's object commands that go through the entry dialogs.
#pragma once

#include "core/scene.h"

namespace vorn::entry {

class TPirEnter;
class TStandObjFrm;

// Tags 110..115: a new object of `kind` through the entry dialog, which opens on its defaults.
// Confirmed, message 93 with the name is reported; otherwise the new slot is given back. True
// when the object was created.
bool CreateObject(core::Env& env, TPirEnter& dialog, core::ObjectType kind);

// "З&мінити" and a double click: the entry dialog on a user object; without one, message 82.
bool EditExistingObject(core::Env& env, TPirEnter& dialog, int slot);

// Tag 10: the standard-objects dialog until it is cancelled or an object reaches the entry
// dialog; measures that are no numbers or fail in the arithmetic show message 14 and ask again.
bool CreateStandardObject(core::Env& env, TStandObjFrm& standard, TPirEnter& dialog);

} // namespace vorn::entry
