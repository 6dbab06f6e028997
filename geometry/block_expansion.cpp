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
    }
    bool isDimensionBlock(const std::u16string& name) const { return dimensionBlocks.contains(name); }

    std::unordered_map<std::u16string, std::size_t> blocks;
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

std::size_t storeRows(const DrawingStore& s) {
    return s.blockLines.size() + s.blockCircles.size() + s.blockArcs.size() + s.blockTexts.size() +
           s.blockSolids.size() + s.modelLines.size() + s.modelCircles.size() + s.modelArcs.size() +
           s.modelTexts.size() + s.modelInserts.size() + s.blockInserts.size() + s.blocks.size();
}

void checkExpansionBudget(const DrawingStore& store, std::size_t rows) {
    const std::size_t budget = std::max(kMinExpansionBudget, kExpansionRowsPerInputRow * storeRows(store));
    if (rows > budget)
        throw ExpansionLimitError("block references would expand to " + std::to_string(rows) +
                                  " rows, beyond the limit of " + std::to_string(budget));
}

// Sizes the model tables once for copying the blocks of `references` (those
// `eligible` accepts), so copies never move the rows already there. Raises
// ExpansionLimitError, before anything is copied, when they are too many.
template <class References, class Eligible>
void reserveCopies(ModelAppenders& out, const DrawingStore& store, const BlockIndex& index,
                   const References& references, Eligible eligible) {
    std::size_t lines = 0, circles = 0, arcs = 0, texts = 0;
    for (const TInsertBlk& r : references) {
        if (!eligible(r) || !findBlock(store, index, r.name)) continue;
        lines += rowsOf(index.lines, r.name).size();
        circles += rowsOf(index.circles, r.name).size();
        arcs += rowsOf(index.arcs, r.name).size();
        texts += rowsOf(index.texts, r.name).size();
    }
    checkExpansionBudget(store, lines + circles + arcs + texts);
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

// How many nested references collectNestedReferences adds for b at most.
std::size_t plannedNestedReferences(const DrawingStore& store, const TBlockBlk& b) {
    if (b.InsertAry.empty()) return 0;
    std::size_t modelReferences = 0;
    for (const TInsertBlk& m : store.modelInserts) modelReferences += m.name == b.name;
    return (modelReferences + 1) * b.InsertAry.size();
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

void expandModelInserts(DrawingStore& store) {
    if (store.modelInserts.empty()) return;
    const BlockIndex index(store);
    ModelAppenders out(store);
    reserveCopies(out, store, index, store.modelInserts, [](const TInsertBlk& r) { return r.code60 == 0; });
    for (const TInsertBlk& r : store.modelInserts) {
        if (r.code60 != 0) continue;
        if (const TBlockBlk* b = findBlock(store, index, r.name))
            copyBlockThrough(store, index, out, *b, r, false);
    }
}

void expandBlockDefinitions(DrawingStore& store) {
    if (store.blocks.empty()) return;
    {
        std::size_t planned = 0;
        for (const TBlockBlk& b : store.blocks)
            if (b.code60 == 0) planned += plannedNestedReferences(store, b);
        checkExpansionBudget(store, planned);
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
    expandNestedInserts(store);
}

void expandNestedInserts(DrawingStore& store) {
    if (store.blockInserts.empty()) return;
    const BlockIndex index(store);
    ModelAppenders out(store);
    reserveCopies(out, store, index, store.blockInserts,
                  [&](const TInsertBlk& r) { return eligibleNested(store, index, r); });
    for (const TInsertBlk& r : store.blockInserts) {
        if (!eligibleNested(store, index, r)) continue;
        if (const TBlockBlk* b = findBlock(store, index, r.name))
            copyBlockThrough(store, index, out, *b, r, true);
    }
}

}  // namespace velmora
