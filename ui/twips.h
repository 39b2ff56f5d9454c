// Window layouts are given in twips (1/1440 inch): 15 twips make a pixel at 96 dpi, and
// the pixel size follows the screen's logical resolution.
#pragma once

#include <QLabel>
#include <QRect>
#include <QWidget>

namespace relperm::ui {

int twipsToPixels(int twips, const QWidget* widget);

// Places `child` at a rectangle given in twips of its parent.
void placeInTwips(QWidget* child, int left, int top, int width, int height);

// Widens a wrapping label whose longest word would not fit its width in the chosen font,
// so a word is never cut; the label keeps its left edge.
void widenToLongestWord(QLabel* label);

} // namespace relperm::ui
