// Small views of a canvas for the render tests.
#pragma once

#include <string>
#include <vector>

#include "render/canvas.h"

namespace velmora::testsupport {

// One string per row: '.' for palette index 0, '#' for white (index 7), 'o'
// for any other index.
inline std::vector<std::string> picture(const Canvas& c) {
    std::vector<std::string> rows;
    for (int y = 0; y < c.height(); ++y) {
        std::string row;
        for (int x = 0; x < c.width(); ++x) {
            const int i = c.pixelIndex(x, y);
            row += i == 0 ? '.' : i == 7 ? '#' : 'o';
        }
        rows.push_back(row);
    }
    return rows;
}

// The pixels whose palette index is not 0, row by row.
inline std::vector<PixelPoint> litPixels(const Canvas& c) {
    std::vector<PixelPoint> lit;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            if (c.pixelIndex(x, y) != 0) lit.push_back({x, y});
    return lit;
}

}  // namespace velmora::testsupport
