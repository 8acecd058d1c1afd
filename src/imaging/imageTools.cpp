#include "imaging/imageTools.h"

#include <QPainter>

namespace imaging {

void DrawCentered(const TFastDIB& source, QPainter& target, int boxWidth, int boxHeight, TBgrColor backColor)
{
    if (boxWidth <= 0 || boxHeight <= 0)
        return;
    target.fillRect(0, 0, boxWidth, boxHeight, QColor(backColor.Red, backColor.Green, backColor.Blue));
    if (target.pen().style() != Qt::NoPen) {
        target.save();
        target.setBrush(Qt::NoBrush);
        // A one-pixel pen strokes one pixel beyond the rectangle's size.
        target.drawRect(0, 0, boxWidth - 1, boxHeight - 1);
        target.restore();
    }
    source.DrawAt(target, (boxWidth - source.Width()) / 2, (boxHeight - source.AbsHeight()) / 2);
}

void DrawCentered(const TFastDIB& source, TFastDIB& target, int boxWidth, int boxHeight, TBgrColor backColor)
{
    if (boxWidth <= 0 || boxHeight <= 0)
        return;
    target.FillRect(0, 0, boxWidth, boxHeight, backColor);
    const TBgrColor pen{};
    target.FillRect(0, 0, boxWidth, 1, pen);
    target.FillRect(0, boxHeight - 1, boxWidth, 1, pen);
    target.FillRect(0, 0, 1, boxHeight, pen);
    target.FillRect(boxWidth - 1, 0, 1, boxHeight, pen);
    source.DrawAt(target, (boxWidth - source.Width()) / 2, (boxHeight - source.AbsHeight()) / 2);
}

}  // namespace imaging
