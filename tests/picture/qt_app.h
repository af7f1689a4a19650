// A headless Qt application for the picture tests, created on first use.
#pragma once

namespace vorn::test {

// Makes sure a QApplication exists, on the "offscreen" platform unless one is chosen.
void EnsureQtApp();

} // namespace vorn::test
