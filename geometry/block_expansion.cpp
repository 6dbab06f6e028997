#include "geometry/block_expansion.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "geometry/curve_conversion.h"
#include "geometry/float_checks.h"
#include "geometry/owned_lines.h"
#include "geometry/point_ops.h"
#include "store/table_growth.h"

namespace velmora {

namespace {

using RowsByName = std::unordered_map<std::u16string, std::vector<std::size_t>>;

// The heap bytes a copy of the string takes (none while it fits in place).
std::size_t heapBytes(const std::u16string& s) {
    constexpr std::size_t kInPlace = 15 / sizeof(char16_t);
    return s.size() > kInPlace ? (s.size() + 1) * sizeof(char16_t) : 0;
}

// The bytes a copy of the row takes: the row and the strings it holds.
template <class Row>
std::size_t rowBytes(const Row& row) {
    std::size_t bytes = sizeof(Row) + heapBytes(row.layer);
    if constexpr (requires { row.bname; }) bytes += heapBytes(row.bname);
    if constexpr (requires { row.name; }) bytes += heapBytes(row.name);
    if constexpr (requires { row.ltype; }) bytes += heapBytes(row.ltype);
    if constexpr (requires { row.str; }) bytes += heapBytes(row.str);
    return bytes;
}

template <class Row>
std::size_t tableBytes(const std::vector<Row>& table) {
    std::size_t bytes = 0;
    for (const Row& row : table) bytes += rowBytes(row);
    return bytes;
}

template <class Row>
RowsByName rowsByBlockName(const std::vector<Row>& table) {
    RowsByName index;
    for (std::size_t i = 0; i < table.size(); ++i) index[table[i].bname].push_back(i);
    return index;
}

// Where each block's definition and entity rows are, so that copying a block
// costs its own rows rather than a walk of every block table. Rows keep
// table order; the first definition of a name wins.
struct BlockIndex {
    explicit BlockIndex(const DrawingStore& store)
        : lines(rowsByBlockName(store.blockLines)),
          circles(rowsByBlockName(store.blockCircles)),
          arcs(rowsByBlockName(store.blockArcs)),
          texts(rowsByBlockName(store.blockTexts)),
          solids(rowsByBlockName(store.blockSolids)) {
        for (std::size_t i = 0; i < store.blocks.size(); ++i) blocks.try_emplace(store.blocks[i].name, i);
        for (const TDimensionBlk& dim : store.dimensions) dimensionBlocks.insert(dim.dimblkName);
        addCopyBytes(store.blockLines);
        addCopyBytes(store.blockCircles);
        addCopyBytes(store.blockArcs);
        addCopyBytes(store.blockTexts);
    }
    bool isDimensionBlock(const std::u16string& name) const { return dimensionBlocks.contains(name); }
    // The bytes one placed copy of the block adds to the model.
    std::size_t bytesOfCopy(const std::u16string& name) const {
        auto it = copyBytes.find(name);
        return it == copyBytes.end() ? 0 : it->second;
    }

    template <class Row>
    void addCopyBytes(const std::vector<Row>& table) {
        for (const Row& row : table) copyBytes[row.bname] += rowBytes(row);
    }

    std::unordered_map<std::u16string, std::size_t> blocks;
    std::unordered_map<std::u16string, std::size_t> copyBytes;
    std::unordered_set<std::u16string> dimensionBlocks;  // blocks some dimension draws with
    RowsByName lines, circles, arcs, texts, solids;
};

const std::vector<std::size_t>& rowsOf(const RowsByName& index, const std::u16string& name) {
    static const std::vector<std::size_t> none;
    auto it = index.find(name);
    return it == index.end() ? none : it->second;
}

const TBlockBlk* findBlock(const DrawingStore& store, const BlockIndex& index,
                           const std::u16string& name) {
    auto it = index.blocks.find(name);
    return it == index.blocks.end() ? nullptr : &store.blocks[it->second];
}

// Entities on layer "0" or with colour BYBLOCK take the owner's layer, its
// linetype and that layer's colour.
bool inherits(const std::u16string& layer, SmallInt color) { return layer == u"0" || color == 0; }

template <class Row>
void inheritFrom(DrawingStore& store, Row& row, const std::u16string& layer,
                 const std::u16string& ltype) {
    if (!inherits(row.layer, row.color)) return;
    if constexpr (requires(Row& r) { r.ltype; }) row.ltype = ltype;
    row.layer = layer;
    row.color = layerColor(store, layer);
}

double scaledLength(double length, const TInsertBlk& r) {
    return roundToDouble(length * std::fabs(r.scale.x));
}

struct ModelAppenders {
    explicit ModelAppenders(DrawingStore& store)
        : lines(store.modelLines),
          circles(store.modelCircles),
          arcs(store.modelArcs),
          texts(store.modelTexts) {}
    TableAppender<TAcadLineBlk> lines;
    TableAppender<TCircleBlk> circles;
    TableAppender<TArcBlk> arcs;
    TableAppender<TTextBlk> texts;
};

// Takes `bytes` from the budget, or raises ExpansionLimitError (and takes
// nothing) when fewer are left.
void spend(ExpansionBudget& budget, std::size_t bytes) {
    if (bytes > budget.bytesLeft)
        throw ExpansionLimitError("block references would expand to " + std::to_string(bytes) +
                                  " bytes, beyond the " + std::to_string(budget.bytesLeft) + " bytes left");
    budget.bytesLeft -= bytes;
}

// Sizes the model tables once for copying the blocks of `references` (those
// `eligible` accepts), so copies never move the rows already there. Raises
// ExpansionLimitError, before anything is copied, when they are too many.
template <class References, class Eligible>
void reserveCopies(ModelAppenders& out, const DrawingStore& store, const BlockIndex& index,
                   const References& references, Eligible eligible, ExpansionBudget& budget) {
    std::size_t lines = 0, circles = 0, arcs = 0, texts = 0, bytes = 0;
    for (const TInsertBlk& r : references) {
        if (!eligible(r) || !findBlock(store, index, r.name)) continue;
        lines += rowsOf(index.lines, r.name).size();
        circles += rowsOf(index.circles, r.name).size();
        arcs += rowsOf(index.arcs, r.name).size();
        texts += rowsOf(index.texts, r.name).size();
        bytes += index.bytesOfCopy(r.name);
    }
    spend(budget, bytes);
    out.lines.reserveMore(std::min(lines, kMaxPlannedRows));
    out.circles.reserveMore(std::min(circles, kMaxPlannedRows));
    out.arcs.reserveMore(std::min(arcs, kMaxPlannedRows));
    out.texts.reserveMore(std::min(texts, kMaxPlannedRows));
}

template <class Row>
void finishCopy(DrawingStore& store, Row& row, const TInsertBlk& r) {
    row.code67 = r.code67;
    row.code210 = r.code210;
    inheritFrom(store, row, r.layer, r.ltype);
}

// The block's rows `rows` of `from`, each placed by `place` and finished for
// reference R before it is appended, so a fault leaves no half-placed row.
template <class Row, class Place>
void copyRows(DrawingStore& store, const std::vector<Row>& from, const std::vector<std::size_t>& rows,
              TableAppender<Row>& to, const TInsertBlk& r, Place&& place) {
    for (std::size_t i : rows) {
        Row row = from[i];
        place(row);
        finishCopy(store, row, r);
        to.append() = std::move(row);
    }
}

// Block B copied into the model through reference R. `placeMTextEnds` says
// whether the second point of multi-line texts is placed too.
void copyBlockThrough(DrawingStore& store, const BlockIndex& index, ModelAppenders& out,
                      const TBlockBlk& b, const TInsertBlk& r, bool placeMTextEnds) {
    const Placement pl = makePlacement(b.base, r);
    copyRows(store, store.blockLines, rowsOf(index.lines, r.name), out.lines, r, [&](TAcadLineBlk& row) {
        row.st = placePoint(pl, row.st);
        row.ed = placePoint(pl, row.ed);
    });
    copyRows(store, store.blockCircles, rowsOf(index.circles, r.name), out.circles, r, [&](TCircleBlk& row) {
        row.center = placePoint(pl, row.center);
        row.hankei = scaledLength(row.hankei, r);
    });
    copyRows(store, store.blockArcs, rowsOf(index.arcs, r.name), out.arcs, r, [&](TArcBlk& row) {
        row.center = placePoint(pl, row.center);
        row.hankei = scaledLength(row.hankei, r);
        row.st = roundToDouble(Extended{row.st} + r.rotate);
        row.ed = roundToDouble(Extended{row.ed} + r.rotate);
    });
    copyRows(store, store.blockTexts, rowsOf(index.texts, r.name), out.texts, r, [&](TTextBlk& row) {
        row.pt10 = placePoint(pl, row.pt10);
        if (placeMTextEnds || !row.mtflag) row.pt11 = placePoint(pl, row.pt11);
        row.code40 = scaledLength(row.code40, r);
    });
}

void copyDimensionBlock(const DrawingStore& store, const BlockIndex& index,
                        ModelAppenders& out, const std::u16string& name) {
    for (std::size_t i : rowsOf(index.lines, name)) out.lines.append(store.blockLines[i]);
    for (std::size_t i : rowsOf(index.arcs, name)) out.arcs.append(store.blockArcs[i]);
    for (std::size_t i : rowsOf(index.solids, name)) {
        const TSolidBlk& solid = store.blockSolids[i];
        const TAcadPoint* corners[] = {&solid.p1, &solid.p2, &solid.p3};
        for (int k = 0; k < 3; ++k)
            appendOwnedLine(out.lines, solid, *corners[k], *corners[(k + 1) % 3]).bname = solid.bname;
    }
    for (std::size_t i : rowsOf(index.texts, name)) out.texts.append(store.blockTexts[i]);
}

// Nested reference n of block b, placed by the model reference m of b.
TInsertBlk placedNestedReference(DrawingStore& store, const TBlockBlk& b, const TInsertBlk& n,
                                 const TInsertBlk& m) {
    TInsertBlk copy = n;
    copy.code67 = m.code67;
    copy.code210 = m.code210;
    inheritFrom(store, copy, m.layer, m.ltype);
    copy.rotate = roundToDouble(Extended{n.rotate} + m.rotate);
    copy.scale = scalePoints(n.scale, m.scale);
    copy.base = placePoint(makePlacement(b.base, m), n.base);
    return copy;
}

// The bytes of the nested references collectNestedReferences adds for b at
// most.
std::size_t plannedNestedBytes(const DrawingStore& store, const TBlockBlk& b) {
    if (b.InsertAry.empty()) return 0;
    std::size_t modelReferences = 0;
    for (const TInsertBlk& m : store.modelInserts) modelReferences += m.name == b.name;
    return (modelReferences + 1) * tableBytes(b.InsertAry);
}

void collectNestedReferences(DrawingStore& store, TableAppender<TInsertBlk>& nested,
                             const TBlockBlk& b, bool& referenced) {
    if (b.InsertAry.empty()) return;
    for (const TInsertBlk& m : store.modelInserts) {
        if (m.name != b.name) continue;
        referenced = true;
        for (const TInsertBlk& n : b.InsertAry) nested.append(placedNestedReference(store, b, n, m));
    }
    if (b.name.starts_with(u'*') || !referenced) {
        for (const TInsertBlk& n : b.InsertAry) {
            TInsertBlk& copy = nested.append(n);
            inheritFrom(store, copy, b.layer, b.ltype);
        }
    }
}

bool eligibleNested(const DrawingStore& store, const BlockIndex& index, const TInsertBlk& r) {
    return !r.dimBlkName.starts_with(u'*') || store.dimensions.empty() ||
           index.isDimensionBlock(r.dimBlkName);
}

}  // namespace

ExpansionBudget expansionBudgetFor(const DrawingStore& s) {
    const std::size_t input =
        tableBytes(s.blockLines) + tableBytes(s.blockCircles) + tableBytes(s.blockArcs) + tableBytes(s.blockTexts) +
        tableBytes(s.blockSolids) + tableBytes(s.modelLines) + tableBytes(s.modelCircles) +
        tableBytes(s.modelArcs) + tableBytes(s.modelTexts) + tableBytes(s.modelInserts) +
        tableBytes(s.blockInserts) + tableBytes(s.blocks);
    return ExpansionBudget{std::max(kMinExpansionBytes, kExpansionBytesPerInputByte * input)};
}

void expandModelInserts(DrawingStore& store, ExpansionBudget& budget) {
    if (store.modelInserts.empty()) return;
    const BlockIndex index(store);
    ModelAppenders out(store);
    reserveCopies(out, store, index, store.modelInserts, [](const TInsertBlk& r) { return r.code60 == 0; }, budget);
    for (const TInsertBlk& r : store.modelInserts) {
        if (r.code60 != 0) continue;
        if (const TBlockBlk* b = findBlock(store, index, r.name))
            copyBlockThrough(store, index, out, *b, r, false);
    }
}

void expandBlockDefinitions(DrawingStore& store, ExpansionBudget& budget) {
    if (store.blocks.empty()) return;
    {
        std::size_t planned = 0;
        for (const TBlockBlk& b : store.blocks)
            if (b.code60 == 0) planned += plannedNestedBytes(store, b);
        spend(budget, planned);
        const BlockIndex index(store);
        ModelAppenders out(store);
        TableAppender nested(store.blockInserts);
        bool referenced = false;  // once set, stays set for the later blocks
        for (const TBlockBlk& b : store.blocks) {
            if (b.code60 != 0) continue;
            if (index.isDimensionBlock(b.name)) copyDimensionBlock(store, index, out, b.name);
            collectNestedReferences(store, nested, b, referenced);
        }
    }
    expandNestedInserts(store, budget);
}

void expandNestedInserts(DrawingStore& store, ExpansionBudget& budget) {
    if (store.blockInserts.empty()) return;
    const BlockIndex index(store);
    ModelAppenders out(store);
    reserveCopies(
        out, store, index, store.blockInserts, [&](const TInsertBlk& r) { return eligibleNested(store, index, r); },
        budget);
    for (const TInsertBlk& r : store.blockInserts) {
        if (!eligibleNested(store, index, r)) continue;
        if (const TBlockBlk* b = findBlock(store, index, r.name))
            copyBlockThrough(store, index, out, *b, r, true);
    }
}

void expandModelInserts(DrawingStore& store) {
    ExpansionBudget budget = expansionBudgetFor(store);
    expandModelInserts(store, budget);
}

void expandBlockDefinitions(DrawingStore& store) {
    ExpansionBudget budget = expansionBudgetFor(store);
    expandBlockDefinitions(store, budget);
}

}  // namespace velmora
