#pragma once

#include "imaging/FastDIB.h"

class QPainter;

namespace imaging {

// Fills the box (0, 0)-(boxWidth, boxHeight) with backColor, outlines it with the target's pen
// and draws source centred in it. The picture is expected to fit the box.
void DrawCentered(const TFastDIB& source, QPainter& target, int boxWidth, int boxHeight, TBgrColor backColor);
// The same onto another buffer, whose pen is always the default black one-pixel line.
void DrawCentered(const TFastDIB& source, TFastDIB& target, int boxWidth, int boxHeight, TBgrColor backColor);

}  // namespace imaging
