#include "bench/dxf_generator.h"

#include <cstdio>
#include <random>

namespace velmora::bench {
namespace {

class DxfWriter {
public:
    explicit DxfWriter(std::string& out) : out_(out) {}

    void pair(int code, const char* value) {
        char buffer[32];
        int n = std::snprintf(buffer, sizeof buffer, "%3d\r\n", code);
        out_.append(buffer, static_cast<std::size_t>(n));
        out_ += value;
        out_ += "\r\n";
    }
    void pair(int code, const std::string& value) { pair(code, value.c_str()); }
    void real(int code, double value) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.6f", value);
        pair(code, buffer);
    }
    void integer(int code, long long value) { pair(code, std::to_string(value)); }
    void point(int code, double x, double y, double z) {
        real(code, x);
        real(code + 10, y);
        real(code + 20, z);
    }
    void handle() {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%llX", next_++);
        pair(5, buffer);
    }
    void entity(const char* kind, const std::string& layer, const char* subclass) {
        pair(0, kind);
        handle();
        pair(330, "1F");
        pair(100, "AcDbEntity");
        pair(8, layer);
        pair(100, subclass);
    }

private:
    std::string& out_;
    unsigned long long next_ = 0x100;
};

std::string layerName(int i) { return "LAYER-" + std::to_string(i % 20); }

struct Shapes {
    std::mt19937_64 rng{2010};
    std::uniform_real_distribution<double> coord{-50000.0, 50000.0};
    std::uniform_real_distribution<double> radius{1.0, 500.0};
    std::uniform_real_distribution<double> angle{0.0, 360.0};
};

void header(DxfWriter& w) {
    w.pair(0, "SECTION");
    w.pair(2, "HEADER");
    w.pair(9, "$ACADVER");
    w.pair(1, "AC1024");
    w.pair(9, "$DWGCODEPAGE");
    w.pair(3, "ANSI_1252");
    w.pair(9, "$INSUNITS");
    w.integer(70, 4);
    w.pair(0, "ENDSEC");
    w.pair(0, "SECTION");
    w.pair(2, "TABLES");
    w.pair(0, "TABLE");
    w.pair(2, "LAYER");
    w.handle();
    w.integer(70, 20);
    for (int i = 0; i < 20; ++i) {
        w.pair(0, "LAYER");
        w.handle();
        w.pair(100, "AcDbSymbolTableRecord");
        w.pair(100, "AcDbLayerTableRecord");
        w.pair(2, layerName(i));
        w.integer(70, 0);
        w.integer(62, i % 7 + 1);
        w.pair(6, "Continuous");
    }
    w.pair(0, "ENDTAB");
    w.pair(0, "ENDSEC");
}

void blocks(DxfWriter& w) {
    w.pair(0, "SECTION");
    w.pair(2, "BLOCKS");
    for (int b = 0; b < 50; ++b) {
        w.pair(0, "BLOCK");
        w.handle();
        w.pair(100, "AcDbEntity");
        w.pair(8, "0");
        w.pair(100, "AcDbBlockBegin");
        w.pair(2, "PART-" + std::to_string(b));
        w.integer(70, 0);
        w.point(10, 0, 0, 0);
        for (int k = 0; k < 4; ++k) {
            w.entity("LINE", "0", "AcDbLine");
            w.point(10, k * 10.0, 0, 0);
            w.point(11, k * 10.0 + 5, 10, 0);
        }
        w.entity("CIRCLE", "0", "AcDbCircle");
        w.point(10, 5, 5, 0);
        w.real(40, 3.5 + b * 0.01);
        w.pair(0, "ENDBLK");
        w.handle();
        w.pair(100, "AcDbEntity");
        w.pair(8, "0");
        w.pair(100, "AcDbBlockEnd");
    }
    w.pair(0, "ENDSEC");
}

void entities(DxfWriter& w, Shapes& s, double scale) {
    auto count = [&](int n) { return static_cast<int>(n * scale); };
    w.pair(0, "SECTION");
    w.pair(2, "ENTITIES");
    for (int i = 0; i < count(120000); ++i) {
        w.entity("LINE", layerName(i), "AcDbLine");
        w.point(10, s.coord(s.rng), s.coord(s.rng), 0);
        w.point(11, s.coord(s.rng), s.coord(s.rng), 0);
    }
    for (int i = 0; i < count(60000); ++i) {
        w.entity("CIRCLE", layerName(i), "AcDbCircle");
        w.point(10, s.coord(s.rng), s.coord(s.rng), 0);
        w.real(40, s.radius(s.rng));
    }
    for (int i = 0; i < count(60000); ++i) {
        w.entity("ARC", layerName(i), "AcDbCircle");
        w.point(10, s.coord(s.rng), s.coord(s.rng), 0);
        w.real(40, s.radius(s.rng));
        w.pair(100, "AcDbArc");
        w.real(50, s.angle(s.rng));
        w.real(51, s.angle(s.rng));
    }
    for (int i = 0; i < count(60000); ++i) {
        w.entity("LWPOLYLINE", layerName(i), "AcDbPolyline");
        w.integer(90, 8);
        w.integer(70, i % 2);
        w.real(43, 0);
        const double x = s.coord(s.rng), y = s.coord(s.rng);
        for (int k = 0; k < 8; ++k) {
            w.real(10, x + k * 25.0);
            w.real(20, y + (k % 2) * 40.0);
            if (k % 4 == 1) w.real(42, 0.414214);
        }
    }
    for (int i = 0; i < count(75000); ++i) {
        w.entity("TEXT", layerName(i), "AcDbText");
        w.point(10, s.coord(s.rng), s.coord(s.rng), 0);
        w.real(40, 2.5);
        w.pair(1, "ROOM " + std::to_string(i) + " 2.50 x 3.00");
        if (i % 4 == 0) w.real(50, 90.0);
        w.pair(100, "AcDbText");
    }
    for (int i = 0; i < count(20000); ++i) {
        w.entity("INSERT", layerName(i), "AcDbBlockReference");
        w.pair(2, "PART-" + std::to_string(i % 50));
        w.point(10, s.coord(s.rng), s.coord(s.rng), 0);
        if (i % 3 == 0) w.real(50, 45.0);
    }
    w.pair(0, "ENDSEC");
    w.pair(0, "EOF");
}

}  // namespace

std::string makeDxf(double scale) {
    std::string out;
    out.reserve(static_cast<std::size_t>(90e6 * scale));
    DxfWriter w(out);
    Shapes shapes;
    header(w);
    blocks(w);
    entities(w, shapes, scale);
    return out;
}

}  // namespace velmora::bench
