// Tool-button pictures, drawn at run time so the tool bars read without image files.
#pragma once

#include <QIcon>

namespace vorn::app {

// The picture of the command named `name` (the part after m_/k_).
QIcon CommandIcon(const char* name);

} // namespace vorn::app
