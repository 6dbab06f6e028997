#include "geometry/arbitrary_axis.h"

#include <cmath>

#include "geometry/float_checks.h"

namespace velmora {

TAcadPoint crossProduct(const TAcadPoint& a, const TAcadPoint& b) {
    return TAcadPoint{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

TAcadPoint normalizeVector(const TAcadPoint& v) {
    Extended length = roundToDouble(std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z));
    if (!(length > 0)) return v;
    return TAcadPoint{v.x / length, v.y / length, v.z / length};
}

TAcadPoint arbitraryAxisToWorld(const TAcadPoint& p, const TAcadPoint& n) {
    const Extended threshold = kArbitraryAxisThreshold;
    TAcadPoint w = (std::fabs(n.x) < threshold && std::fabs(n.y) < threshold)
                       ? TAcadPoint{0, 1, 0}
                       : TAcadPoint{0, 0, 1};
    TAcadPoint ax = normalizeVector(crossProduct(w, n));
    TAcadPoint ay = normalizeVector(crossProduct(n, ax));
    return TAcadPoint{p.x * ax.x + p.y * ay.x + p.z * n.x,
                      p.x * ax.y + p.y * ay.y + p.z * n.y,
                      p.x * ax.z + p.y * ay.z + p.z * n.z};
}

}  // namespace velmora
