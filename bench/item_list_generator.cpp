#include "bench/item_list_generator.h"

#include <cstdio>
#include <random>

namespace velmora::bench {
namespace {

void appendf(std::string& out, const char* format, auto... args) {
    char buffer[256];
    int n = std::snprintf(buffer, sizeof buffer, format, args...);
    out.append(buffer, static_cast<std::size_t>(n));
}

void head(std::string& out, std::size_t handle, const char* kind) {
    appendf(out, "((-1 . <Entity name: %zx>) (0 . %s) (5 . %zX) (8 . LAYER%zu)", 0x7ff700000000 + handle, kind,
            handle, handle % 20);
}

}  // namespace

std::string makeItemList(std::size_t entities) {
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> coord(-5000.0, 5000.0);
    std::uniform_real_distribution<double> radius(1.0, 200.0);
    std::uniform_real_distribution<double> angle(0.0, 6.283185307179586);
    std::string out = "\xEF\xBB\xBF";
    out.reserve(entities * 260);
    for (std::size_t i = 0; i < entities; ++i) {
        switch (i % 4) {
            case 0:
                head(out, i, "LINE");
                appendf(out, " (10 %.6f %.6f 0.0) (11 %.6f %.6f 0.0)", coord(rng), coord(rng), coord(rng), coord(rng));
                break;
            case 1:
                head(out, i, "ARC");
                appendf(out, " (10 %.6f %.6f 0.0) (40 . %.6f) (50 . %.15f) (51 . %.15f)", coord(rng), coord(rng),
                        radius(rng), angle(rng), angle(rng));
                break;
            case 2:
                head(out, i, "CIRCLE");
                appendf(out, " (62 . %zu) (10 %.6f %.6f 0.0) (40 . %.6f)", i % 7 + 1, coord(rng), coord(rng),
                        radius(rng));
                break;
            default: {
                head(out, i, "LWPOLYLINE");
                double x = coord(rng), y = coord(rng);
                appendf(out, " (90 . 4) (70 . 1) (43 . 0.0) (38 . 0.0) (39 . 0.0) (10 %.6f %.6f) (42 . 0.5)", x, y);
                appendf(out, " (10 %.6f %.6f) (10 %.6f %.6f) (42 . -0.25) (10 %.6f %.6f)", x + 100.0, y, x + 100.0,
                        y + 50.0, x, y + 50.0);
                break;
            }
        }
        out += " (210 0.0 0.0 1.0))\r\n";
    }
    return out;
}

}  // namespace velmora::bench
