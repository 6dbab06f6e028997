// Writes the bundled sample drawing, samples/sample.dxf:
//   velmora-make-sample OUT.dxf
// About twenty block definitions that exercise the thumbnail path: lines,
// arcs, circles, open and closed polylines with bulges, attribute
// definitions, texts (Japanese too), a nested reference, a block with more
// entities than the default clipboard limit (5000), names in Japanese and in
// lower case, an empty block, and the anonymous and "_" blocks a real
// drawing carries.
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "host/sim/sim_drawing.h"

namespace {

using velmora::sim::formatReal;
using velmora::sim::SimBlock;
using velmora::sim::SimDrawing;
using velmora::sim::SimEntity;
using velmora::sim::SimLayer;

std::string n(double v) { return formatReal(v); }

struct Builder {
    SimDrawing drawing;
    std::vector<SimEntity>* target = nullptr;

    SimEntity& add(std::string kind, const std::string& layer, int color = 256) {
        SimEntity e;
        e.handle = drawing.newHandle();
        e.groups = {{0, std::move(kind)}, {8, layer}};
        if (color != 256) e.groups.push_back({62, std::to_string(color)});
        target->push_back(std::move(e));
        return target->back();
    }
    void point(SimEntity& e, int code, double x, double y, double z = 0) {
        e.groups.push_back({code, n(x)});
        e.groups.push_back({code + 10, n(y)});
        e.groups.push_back({code + 20, n(z)});
    }
    void line(double x1, double y1, double x2, double y2, const std::string& layer = "0", int color = 256) {
        SimEntity& e = add("LINE", layer, color);
        point(e, 10, x1, y1);
        point(e, 11, x2, y2);
    }
    void circle(double x, double y, double r, const std::string& layer = "0", int color = 256) {
        SimEntity& e = add("CIRCLE", layer, color);
        point(e, 10, x, y);
        e.groups.push_back({40, n(r)});
    }
    void arc(double x, double y, double r, double start, double end, const std::string& layer = "0") {
        SimEntity& e = add("ARC", layer);
        point(e, 10, x, y);
        e.groups.push_back({40, n(r)});
        e.groups.push_back({50, n(start)});
        e.groups.push_back({51, n(end)});
    }
    // Vertices (x, y, bulge).
    void polyline(const std::vector<std::array<double, 3>>& vertices, bool closed, const std::string& layer = "0") {
        SimEntity& e = add("LWPOLYLINE", layer);
        e.groups.push_back({90, std::to_string(vertices.size())});
        e.groups.push_back({70, closed ? "1" : "0"});
        e.groups.push_back({43, "0.0"});
        for (const auto& v : vertices) {
            e.groups.push_back({10, n(v[0])});
            e.groups.push_back({20, n(v[1])});
            if (v[2] != 0) e.groups.push_back({42, n(v[2])});
        }
    }
    void text(double x, double y, double height, const std::string& value, const std::string& layer = "0",
              double rotation = 0) {
        SimEntity& e = add("TEXT", layer);
        point(e, 10, x, y);
        e.groups.push_back({40, n(height)});
        e.groups.push_back({1, value});
        if (rotation != 0) e.groups.push_back({50, n(rotation)});
        e.groups.push_back({7, "Standard"});
    }
    void attdef(double x, double y, double height, const std::string& tag, const std::string& prompt,
                const std::string& value) {
        SimEntity& e = add("ATTDEF", "0");
        point(e, 10, x, y);
        e.groups.push_back({40, n(height)});
        e.groups.push_back({1, value});
        e.groups.push_back({7, "Standard"});
        e.groups.push_back({3, prompt});
        e.groups.push_back({2, tag});
        e.groups.push_back({70, "0"});
    }
    void insert(const std::string& name, double x, double y, double scale = 1, double rotation = 0) {
        SimEntity& e = add("INSERT", "0");
        e.groups.push_back({2, name});
        point(e, 10, x, y);
        if (scale != 1) {
            e.groups.push_back({41, n(scale)});
            e.groups.push_back({42, n(scale)});
            e.groups.push_back({43, n(scale)});
        }
        if (rotation != 0) e.groups.push_back({50, n(rotation)});
    }
    void block(const std::string& name) {
        SimBlock b;
        b.handle = drawing.newHandle();
        b.name = name;
        drawing.blocks.push_back(std::move(b));
        target = &drawing.blocks.back().entities;
    }
    void layer(const std::string& name, int color, const std::string& linetype = "Continuous", int flags = 0) {
        drawing.layers.push_back(SimLayer{drawing.newHandle(), name, color, linetype, flags});
    }
};

SimDrawing sample() {
    Builder b;
    b.drawing.blocks.reserve(32);  // `target` points into the vector
    b.layer("0", 7);
    b.layer("外形", 7);
    b.layer("hidden", -1, "HIDDEN");  // off
    b.layer("frozen", 2, "Continuous", 1);
    b.layer("center", 5, "CENTER");
    b.layer("文字", 3);
    b.block("*Model_Space");
    b.block("*Paper_Space");

    b.block("door");  // lower case: a door leaf and its swing
    b.line(0, 0, 0, 900, "外形");
    b.line(0, 900, 40, 900, "外形");
    b.line(40, 900, 40, 0, "外形");
    b.arc(0, 0, 900, 0, 90, "hidden");

    b.block("window_w900");  // "_" further on is kept in the list
    b.polyline({{0, 0, 0}, {900, 0, 0}, {900, 120, 0}, {0, 120, 0}}, true);
    b.line(0, 60, 900, 60);
    b.line(450, 0, 450, 120);

    b.block("ボルト");  // Japanese name: a bolt seen from above and the side
    b.circle(0, 0, 10);
    b.circle(0, 0, 8.5, "hidden");
    b.polyline({{-8.66, -5, 0}, {0, -10, 0}, {8.66, -5, 0}, {8.66, 5, 0}, {0, 10, 0}, {-8.66, 5, 0}}, true, "外形");
    b.line(20, -5, 60, -5);
    b.line(20, 5, 60, 5);
    b.line(20, -5, 20, 5);
    b.text(0, -20, 3.5, "ボルト M10", "文字");

    b.block("table-round");
    b.circle(0, 0, 600, "外形", 4);
    b.circle(0, 0, 40, "center");
    b.attdef(-200, -50, 80, "NO", "テーブル番号", "T1");

    b.block("chair");  // closed polyline with bulges: a rounded seat
    b.polyline({{-220, -200, 0}, {220, -200, 0.4142135623730951}, {250, -170, 0}, {250, 170, 0.4142135623730951},
                {220, 200, 0}, {-220, 200, 0.4142135623730951}, {-250, 170, 0}, {-250, -170, 0.4142135623730951}},
               true, "外形");
    b.line(-220, 230, 220, 230);

    b.block("arrow");  // open polyline, one arc segment
    b.polyline({{0, 0, 0}, {100, 0, 0}, {150, 50, -1}, {200, 0, 0}, {300, 0, 0}}, false);
    b.polyline({{280, 10, 0}, {300, 0, 0}, {280, -10, 0}}, false);

    b.block("図枠");  // title block: texts in Japanese and attribute definitions
    b.polyline({{0, 0, 0}, {1800, 0, 0}, {1800, 400, 0}, {0, 400, 0}}, true);
    b.line(0, 200, 1800, 200);
    b.line(600, 0, 600, 400);
    b.text(20, 280, 60, "図面名称", "文字");
    b.text(20, 80, 60, "図番", "文字");
    b.attdef(640, 280, 60, "TITLE", "図面名称を入力", "平面図");
    b.attdef(640, 80, 60, "DWGNO", "図番を入力", "A-001");

    b.block("north-arrow");
    b.circle(0, 0, 50);
    b.polyline({{0, 45, 0}, {20, -30, 0}, {0, -15, 0}, {-20, -30, 0}}, true);
    b.text(-10, 60, 25, "N");

    b.block("sink");  // rounded rectangle and the drain
    b.polyline({{-250, -200, 0}, {250, -200, 0.4142135623730951}, {300, -150, 0}, {300, 150, 0.4142135623730951},
                {250, 200, 0}, {-250, 200, 0.4142135623730951}, {-300, 150, 0}, {-300, -150, 0.4142135623730951}},
               true);
    b.circle(0, 0, 25);

    b.block("valve");
    b.line(-60, -30, 60, 30);
    b.line(60, 30, 60, -30);
    b.line(60, -30, -60, 30);
    b.line(-60, 30, -60, -30);
    b.line(0, 0, 0, 60);
    b.circle(0, 75, 15);

    b.block("dining-set");  // nested references: a table with four chairs
    b.insert("table-round", 0, 0);
    b.insert("chair", 0, 900, 1, 180);
    b.insert("chair", 0, -900);
    b.insert("chair", 900, 0, 1, 90);
    b.insert("chair", -900, 0, 1, 270);
    b.circle(0, 0, 1300, "hidden");

    b.block("grid-6000");  // more entities than the default clipboard limit
    for (int i = 0; i < 3000; ++i) b.line(i * 10.0, 0, i * 10.0, 1000);
    for (int i = 0; i < 3000; ++i) b.line(0, i * 0.5, 100, i * 0.5 + 0.25);

    b.block("gear");  // arcs all around
    for (int k = 0; k < 12; ++k) {
        double a = k * 30.0;
        b.arc(0, 0, 100, a, a + 15);
        b.arc(0, 0, 120, a + 15, a + 30);
        double r1 = (a + 15) * std::numbers::pi / 180, r2 = (a + 30) * std::numbers::pi / 180;
        b.line(100 * std::cos(r1), 100 * std::sin(r1), 120 * std::cos(r1), 120 * std::sin(r1));
        b.line(120 * std::cos(r2), 120 * std::sin(r2), 100 * std::cos(r2), 100 * std::sin(r2));
    }
    b.circle(0, 0, 30, "center");

    b.block("注記");  // texts and attributes only: counted, nothing to draw
    b.text(0, 0, 5, "注意：現場確認のこと", "文字");
    b.text(0, -8, 5, "Note: verify on site", "文字", 0);
    b.attdef(0, -16, 5, "BY", "確認者", "");

    b.block("部品A");  // polyline with arcs and a hole
    b.polyline({{0, 0, 0}, {200, 0, 0}, {200, 100, 1}, {0, 100, 0}}, true, "外形");
    b.circle(100, 50, 20);
    b.arc(0, 50, 30, 90, 270, "center");

    b.block("hex-nut");
    b.polyline({{50, 0, 0}, {25, 43.30127018922193, 0}, {-25, 43.30127018922193, 0}, {-50, 0, 0},
                {-25, -43.30127018922193, 0}, {25, -43.30127018922193, 0}},
               true);
    b.circle(0, 0, 22);

    b.block("stair");
    for (int i = 0; i <= 12; ++i) b.line(0, i * 250.0, 1000, i * 250.0);
    b.line(0, 0, 0, 3000);
    b.line(1000, 0, 1000, 3000);
    b.polyline({{500, 100, 0}, {500, 2900, 0}, {450, 2800, 0}}, false);

    b.block("colored-layers");  // colours by entity and by layer, a frozen layer
    b.line(0, 0, 100, 0, "0", 1);
    b.line(0, 10, 100, 10, "0", 3);
    b.line(0, 20, 100, 20, "center");
    b.line(0, 30, 100, 30, "frozen");
    b.circle(50, 60, 20, "hidden", 6);

    b.block("misc-kinds");  // kinds the thumbnail passes over, and one line
    b.line(0, 0, 100, 100);
    {
        SimEntity& e = b.add("ELLIPSE", "0");
        b.point(e, 10, 50, 50);
        b.point(e, 11, 40, 0);
        e.groups.push_back({40, "0.5"});
        e.groups.push_back({41, "0.0"});
        e.groups.push_back({42, n(2 * std::numbers::pi)});
    }
    {
        SimEntity& e = b.add("POINT", "0");
        b.point(e, 10, 10, 90);
    }

    b.block("empty-block");  // no entities at all

    b.block("_ArchTick");  // a dimension arrowhead: left out of the list
    b.line(-0.5, -0.5, 0.5, 0.5);

    b.block("*U1");  // an anonymous block: left out of the list
    b.line(0, 0, 10, 0);

    b.target = &b.drawing.modelSpace;
    b.insert("door", 0, 0);
    b.insert("window_w900", 1200, 0);
    b.insert("dining-set", 3000, 2000);
    b.insert("図枠", 0, -1000);
    b.line(-100, -100, 5000, -100, "外形");
    return b.drawing;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: velmora-make-sample OUT.dxf\n", stderr);
        return 2;
    }
    std::string dxf = velmora::sim::writeDxf(sample());
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(dxf.data(), static_cast<std::streamsize>(dxf.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "velmora-make-sample: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
