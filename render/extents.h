// Extents of the drawing about to be drawn: the XY box of the visible model
// lines, circles and arcs, or of the texts when there are none of those. Also
// the boxes of the four drawable kinds and the text helpers they need.
#pragma once

#include <string>
#include <vector>

#include "store/drawing_store.h"

namespace velmora {

struct Box {
    TAcadPoint min;
    TAcadPoint max;
};

// Writes store.drawingExtents; all zero when nothing counts.
void computeExtents(DrawingStore& store);


Box lineBounds(const TAcadPoint& a, const TAcadPoint& b);
Box circleBounds(const TAcadPoint& center, double radius);
// Counter-clockwise from `start` to `end` (radians, not normalised).
Box arcBounds(const TAcadPoint& center, double radius, double start, double end);
Box textBounds(const TAcadPoint& pt10, const TAcadPoint& pt11, SmallInt code71, double code40,
               double code41, double code50, double code44, SmallInt code72, SmallInt code73,
               const std::u16string& str, bool mtflag);
Box textBounds(const TTextBlk& text);

// Counter-clockwise about (0, 0) by `angle` radians; z stays. Angle 0 returns
// p unchanged.
TAcadPoint rotateAboutOrigin(const TAcadPoint& p, double angle);

// The paragraphs of an MTEXT string (split at ^J, \P and \p; double-quoted
// pieces kept whole), without a trailing blank paragraph or lone "}".
int splitParagraphs(const std::u16string& text, std::vector<std::u16string>& list);

}  // namespace velmora
