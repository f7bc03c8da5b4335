#pragma once
#include <QFont>
#include <QString>

namespace kelmor {

// The family of the font built into the program (Liberation Sans), which
// every text of the window uses on every machine; registered on first use.
// Needs the application object.
QString WindowFontFamily();

// The window's font at a character height in pixels.
QFont ControlFont(int pixelSize, bool bold = false);

} // namespace kelmor
