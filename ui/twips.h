// Window layouts are given in twips (1/1440 inch): 15 twips make a pixel at 96 dpi, and
// the pixel size follows the screen's logical resolution.
#pragma once

#include <QLabel>
#include <QRect>
#include <QWidget>

#include <map>
#include <string>

namespace relperm::ui {

int twipsToPixels(int twips, const QWidget* widget);

// Places `child` at a rectangle given in twips of its parent.
void placeInTwips(QWidget* child, int left, int top, int width, int height);
// Whether `widget` stands where placeInTwips put it, so a growing window moves it.
bool isPlacedInTwips(const QWidget* widget);

// A window's layout: each control's rectangle in twips of its container, by control name.
struct TwipRect {
    int left, top, width, height;
};
using TwipLayout = std::map<std::string, TwipRect, std::less<>>;

// Places `widget` where `layout` puts the control of its objectName.
void placeByName(QWidget* widget, const TwipLayout& layout);

// Widens a wrapping label whose longest word would not fit its width in the chosen font,
// so a word is never cut; the label keeps its left edge.
void widenToLongestWord(QLabel* label);

} // namespace relperm::ui
