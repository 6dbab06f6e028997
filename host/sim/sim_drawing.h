// The simulated host's drawing: layers, block definitions and the model
// space, each entity kept as its DXF group pairs. Loaded from and written to
// ASCII DXF with a plain group-pair reader of its own.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::sim {

// Text is UTF-8 throughout the simulated host.
struct GroupPair {
    int code = 0;
    std::string value;
};

struct SimEntity {
    std::int64_t handle = 0;
    std::vector<GroupPair> groups;  // group 0 first

    std::string kind() const;
    // The first value of `code`, or `fallback`.
    std::string value(int code, std::string_view fallback = "") const;
    double number(int code, double fallback = 0) const;
    void set(int code, std::string value);
};

struct SimLayer {
    std::int64_t handle = 0;
    std::string name;
    int color = 7;  // negative: the layer is off
    std::string linetype = "Continuous";
    int flags = 0;  // bit 1: frozen
};

struct SimBlock {
    std::int64_t handle = 0;
    std::string name;
    double base[3] = {0, 0, 0};
    std::vector<SimEntity> entities;
};

struct SimDrawing {
    std::string fullName;  // the file it was loaded from
    std::vector<SimLayer> layers;
    std::vector<SimBlock> blocks;  // in the drawing's order, spaces included
    std::vector<SimEntity> modelSpace;
    std::int64_t nextHandle = 100;

    std::int64_t newHandle() { return nextHandle++; }
    // Block names are matched ignoring ASCII letter case, as CAD does.
    SimBlock* findBlock(std::string_view name);
    SimEntity* findModelEntity(std::int64_t handle);
};

class DxfLoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr std::uintmax_t kMaxDrawingBytes = 256u << 20;

// Reads an ASCII DXF file: layers of the LAYER table, the BLOCKS section
// and the ENTITIES section. Text in the file's code page ($DWGCODEPAGE,
// ANSI_932 by default) or UTF-8 is stored as UTF-8; \U+XXXX escapes are
// resolved. A drawing without them gets the layer "0" and the spaces
// *Model_Space and *Paper_Space.
SimDrawing loadDrawing(const std::filesystem::path& file);
SimDrawing parseDrawing(std::string_view bytes, std::string fullName);

// The entities of the ENTITIES section of a DXF file, for inserting a drawing
// file as a block.
std::vector<SimEntity> loadFileEntities(const std::filesystem::path& file, SimDrawing& into);

// A drawing holding copies of `entities` as its model space, with the layers
// they use and the block definitions their references need, nested ones too.
SimDrawing extractDrawing(const SimDrawing& source, const std::vector<const SimEntity*>& entities);

// The drawing as an ASCII DXF of version AC1015 in code page 932: header,
// the symbol tables, the blocks, the entities and the root dictionaries.
std::string writeDxf(const SimDrawing& drawing);

// A DXF real: the shortest text that reads back as the same double, with a
// point as separator.
std::string formatReal(double value);
// A DXF real as the C library's atof reads it (leading blanks and sign, the
// longest number at the start, 0 when there is none), but always with the
// point as decimal separator, whatever the process's locale says.
double parseReal(std::string_view text);

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace velmora::sim
