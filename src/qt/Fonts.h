#pragma once
#include <QFont>

namespace kelmor {

// The window's font at a character height in pixels. A narrow sans serif
// first, so the captions fit the layout's sizes; DejaVu Sans is always there.
QFont ControlFont(int pixelSize, bool bold = false);

} // namespace kelmor
