#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

namespace vodavav {

inline const QColor kWindowColour{0, 79, 117};
inline const QColor kListColour{0, 105, 155};

// Makes VemoxStyle the application's style.
void useVemoxStyle();

// The window font, "MS Sans Serif" at 8 points (its 13-pixel strike, 11 pixels to the em). Linux
// rarely has it installed, so Wine's copy is loaded when present; otherwise a sans of similar
// widths stands in so that no caption is cut.
QFont windowFont();

// The main window's palette: white text on the window colour.
QPalette windowPalette(const QPalette& base);
// The file browser's lists: white text on the list colour.
QPalette listPalette(const QPalette& base);
// The small lists inside the group boxes keep the platform's colours: black on white.
QPalette plainListPalette(const QPalette& base);

} // namespace vodavav
