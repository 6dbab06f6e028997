// The DXF vocabulary of the reader as data: for each record kind, which group
// code fills which field with which conversion, and the defaults of a new
// row. A table maps a group code (0 to 255; higher codes fill no field) to
// the rule that stores its value; groups without a rule are ignored.
#pragma once

#include <array>
#include <initializer_list>
#include <utility>
#include <vector>

#include "dxf/group_value.h"
#include "store/records.h"

namespace velmora {

template <class Row>
using GroupRule = void (*)(Row& row, const GroupValue& value);

template <class Row>
using GroupList = std::vector<std::pair<int, GroupRule<Row>>>;

template <class Row>
struct GroupTable {
    static constexpr int kCodes = 256;
    std::array<GroupRule<Row>, kCodes> rules{};

    GroupTable(std::initializer_list<GroupList<Row>> groups) {
        for (const auto& group : groups)
            for (const auto& [code, rule] : group) rules[static_cast<std::size_t>(code)] = rule;
    }
    // Applies the rule of `code` to the row; true when the code has one.
    bool apply(int code, Row& row, const GroupValue& value) const {
        if (code < 0 || code >= kCodes || !rules[static_cast<std::size_t>(code)]) return false;
        rules[static_cast<std::size_t>(code)](row, value);
        return true;
    }
};

const GroupTable<TAcadLineBlk>& lineGroups();
const GroupTable<TCircleBlk>& circleGroups();
const GroupTable<TArcBlk>& arcGroups();
// LWPOLYLINE and POLYLINE headers; the vertex groups are the reader's.
const GroupTable<TLwpBlk>& polylineGroups();
const GroupTable<TTextBlk>& textGroups();
const GroupTable<TInsertBlk>& insertGroups();
const GroupTable<TFaceBlk>& faceGroups();
const GroupTable<TEllipseBlk>& ellipseGroups();
const GroupTable<TSolidBlk>& solidGroups();
// LEADER fields; its vertices (10/20/30 by a counter) are the reader's.
const GroupTable<TLeaderBlk>& leaderGroups();
const GroupTable<TSplineBlk>& splineGroups();
const GroupTable<TDimensionBlk>& dimensionGroups();
const GroupTable<TLayer>& layerRowGroups();
const GroupTable<TViewTbl>& viewRowGroups();
const GroupTable<TBlockBlk>& blockHeaderGroups();

// Defaults of a new row, on top of a zeroed one.
inline constexpr TAcadPoint kDefaultExtrusion{0, 0, 1};
TAcadLineBlk newLine();
TCircleBlk newCircle();
TArcBlk newArc();
TLwpBlk newPolyline(Integer ihand);
TTextBlk newText(bool mtext, bool attrib);
TInsertBlk newInsert();
TFaceBlk newFace();
TEllipseBlk newEllipse();
TSolidBlk newSolid();
TLeaderBlk newLeader();
TSplineBlk newSpline();
TDimensionBlk newDimension();
TLayer newLayerRow();

}  // namespace velmora
