// A large R2010 DXF file as a CAD program writes it, for benchmarks: group
// codes right-aligned in three columns, CR LF, handles and subclass markers,
// coordinates with six or more decimals. At scale 1 (about 86 MB): 120,000
// LINE, 60,000 CIRCLE, 60,000 ARC, 60,000 LWPOLYLINE with 480,000 vertices
// (a quarter of them bulged), 75,000 TEXT and 20,000 INSERT of 50 small
// blocks, on 20 layers.
#pragma once

#include <string>

namespace velmora::bench {

std::string makeDxf(double scale);

}  // namespace velmora::bench
