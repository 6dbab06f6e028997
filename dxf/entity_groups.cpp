#include "dxf/entity_groups.h"

namespace velmora {
namespace {

template <class Row>
using Groups = GroupList<Row>;

// The conversions of the group tables, one per field type.
template <class Row>
struct Field {
    template <std::u16string Row::*F>
    static void text(Row& r, const GroupValue& v) {
        (r.*F).assign(v.text);
    }
    template <std::u16string Row::*F>
    static void upper(Row& r, const GroupValue& v) {
        r.*F = v.toUpper();
    }
    template <std::u16string Row::*F>
    static void append(Row& r, const GroupValue& v) {
        (r.*F).append(v.text);
    }
    template <SmallInt Row::*F>
    static void integer(Row& r, const GroupValue& v) {
        r.*F = v.toSmallInt();
    }
    template <double Row::*F>
    static void real(Row& r, const GroupValue& v) {
        r.*F = v.toDouble();
    }
    template <TAcadPoint Row::*F, Extended TAcadPoint::*Axis>
    static void coordinate(Row& r, const GroupValue& v) {
        (r.*F).*Axis = v.toExtended();
    }
};

// Groups many kinds share.
template <class Row>
Groups<Row> layerAndLinetype() {
    return {{6, Field<Row>::template upper<&Row::ltype>}, {8, Field<Row>::template text<&Row::layer>}};
}
template <class Row>
Groups<Row> visibility() {
    return {{60, Field<Row>::template integer<&Row::code60>}};
}
template <class Row>
Groups<Row> colour() {
    return {{62, Field<Row>::template integer<&Row::color>}};
}
template <class Row>
Groups<Row> space() {
    return {{67, Field<Row>::template integer<&Row::code67>}};
}
// A point from groups code, code + 10, code + 20 (x, y, z).
template <class Row, TAcadPoint Row::*P>
Groups<Row> point(int code) {
    using F = Field<Row>;
    return {{code, F::template coordinate<P, &TAcadPoint::x>},
            {code + 10, F::template coordinate<P, &TAcadPoint::y>},
            {code + 20, F::template coordinate<P, &TAcadPoint::z>}};
}
template <class Row>
Groups<Row> extrusion() {
    return point<Row, &Row::code210>(210);
}

// Rules that do more than store one field.
void textAttributeAlignment(TTextBlk& r, const GroupValue& v) {  // group 74: ATTRIB only
    if (r.atflag) r.code73 = v.toSmallInt();
}
void textAlignment(TTextBlk& r, const GroupValue& v) {  // group 73: not for ATTRIB
    if (!r.atflag) r.code73 = v.toSmallInt();
}
template <int Corner, int Axis>
void faceCorner(TFaceBlk& r, const GroupValue& v) {
    TAcadPoint& p = r.pt[Corner];
    (Axis == 0 ? p.x : Axis == 1 ? p.y : p.z) = v.toExtended();
    if (Corner == 3 && Axis == 0) r.count = 4;  // group 13: a fourth corner was given
}
template <int Corner>
Groups<TFaceBlk> faceCornerGroups() {
    const int code = 10 + Corner;
    return {{code, faceCorner<Corner, 0>}, {code + 10, faceCorner<Corner, 1>}, {code + 20, faceCorner<Corner, 2>}};
}
template <int Axis>
void splineControlPoint(TSplineBlk& r, const GroupValue& v) {
    if constexpr (Axis == 0) {
        r.code10Ary.push_back(TAcadPoint{v.toExtended(), 0, 0});
    } else if (!r.code10Ary.empty()) {
        (Axis == 1 ? r.code10Ary.back().y : r.code10Ary.back().z) = v.toExtended();
    }
}
void splineKnot(TSplineBlk& r, const GroupValue& v) { r.code40Ary.push_back(v.toDouble()); }
void splineWeight(TSplineBlk& r, const GroupValue& v) { r.code41Ary.push_back(v.toDouble()); }
void layerColour(TLayer& r, const GroupValue& v) {
    r.color = v.toSmallInt();
    if (r.color < 0) r.visible = false;
}
void layerFlags(TLayer& r, const GroupValue& v) {
    r.code70 = v.toSmallInt();
    if (r.code70 & 1) r.visible = false;
}

template <class Curve>
GroupTable<Curve> curveTable(bool withAngles) {
    using F = Field<Curve>;
    GroupTable<Curve> table{layerAndLinetype<Curve>(),         point<Curve, &Curve::center>(10),
                            {{40, F::template real<&Curve::hankei>}}, visibility<Curve>(),
                            colour<Curve>(),                    space<Curve>(),
                            extrusion<Curve>()};
    if constexpr (requires { &Curve::st; }) {
        if (withAngles) {
            table.rules[50] = F::template real<&Curve::st>;
            table.rules[51] = F::template real<&Curve::ed>;
        }
    }
    return table;
}

using Line = Field<TAcadLineBlk>;
using Poly = Field<TLwpBlk>;
using Text = Field<TTextBlk>;
using Insert = Field<TInsertBlk>;
using Ellipse = Field<TEllipseBlk>;
using Leader = Field<TLeaderBlk>;
using Spline = Field<TSplineBlk>;
using Dimension = Field<TDimensionBlk>;

template <class Row>
Row withLayerDefaults(Row row) {
    row.layer = u"0";
    row.ltype = u"BYLAYER";
    row.color = 256;
    return row;
}

}  // namespace

const GroupTable<TAcadLineBlk>& lineGroups() {
    static const GroupTable<TAcadLineBlk> table{layerAndLinetype<TAcadLineBlk>(),
                                                point<TAcadLineBlk, &TAcadLineBlk::st>(10),
                                                point<TAcadLineBlk, &TAcadLineBlk::ed>(11),
                                                visibility<TAcadLineBlk>(), colour<TAcadLineBlk>()};
    return table;
}

const GroupTable<TCircleBlk>& circleGroups() {
    static const GroupTable<TCircleBlk> table = curveTable<TCircleBlk>(false);
    return table;
}

const GroupTable<TArcBlk>& arcGroups() {
    static const GroupTable<TArcBlk> table = curveTable<TArcBlk>(true);
    return table;
}

const GroupTable<TLwpBlk>& polylineGroups() {
    static const GroupTable<TLwpBlk> table{
        layerAndLinetype<TLwpBlk>(),
        {{38, Poly::real<&TLwpBlk::code38>},
         {70, Poly::integer<&TLwpBlk::code70>},
         {71, Poly::integer<&TLwpBlk::code71>},
         {72, Poly::integer<&TLwpBlk::code72>},
         {73, Poly::integer<&TLwpBlk::code73>},
         {74, Poly::integer<&TLwpBlk::code74>}},
        visibility<TLwpBlk>(), colour<TLwpBlk>(), space<TLwpBlk>(), extrusion<TLwpBlk>()};
    return table;
}

const GroupTable<TTextBlk>& textGroups() {
    static const GroupTable<TTextBlk> table{
        {{1, Text::append<&TTextBlk::str>}, {3, Text::append<&TTextBlk::str>}, {8, Text::text<&TTextBlk::layer>}},
        point<TTextBlk, &TTextBlk::pt10>(10),
        point<TTextBlk, &TTextBlk::pt11>(11),
        {{40, Text::real<&TTextBlk::code40>},
         {41, Text::real<&TTextBlk::code41>},
         {44, Text::real<&TTextBlk::code44>},
         {50, Text::real<&TTextBlk::code50>},
         {70, Text::integer<&TTextBlk::code70>},
         {71, Text::integer<&TTextBlk::code71>},
         {72, Text::integer<&TTextBlk::code72>},
         {73, textAlignment},
         {74, textAttributeAlignment}},
        visibility<TTextBlk>(), colour<TTextBlk>(), space<TTextBlk>(), extrusion<TTextBlk>()};
    return table;
}

const GroupTable<TInsertBlk>& insertGroups() {
    static const GroupTable<TInsertBlk> table{
        {{2, Insert::text<&TInsertBlk::name>}},
        layerAndLinetype<TInsertBlk>(),
        point<TInsertBlk, &TInsertBlk::base>(10),
        {{41, Insert::coordinate<&TInsertBlk::scale, &TAcadPoint::x>},
         {42, Insert::coordinate<&TInsertBlk::scale, &TAcadPoint::y>},
         {43, Insert::coordinate<&TInsertBlk::scale, &TAcadPoint::z>},
         {50, Insert::real<&TInsertBlk::rotate>},
         {66, Insert::integer<&TInsertBlk::code66>}},
        visibility<TInsertBlk>(), colour<TInsertBlk>(), space<TInsertBlk>()};
    return table;
}

const GroupTable<TFaceBlk>& faceGroups() {
    static const GroupTable<TFaceBlk> table{
        layerAndLinetype<TFaceBlk>(), faceCornerGroups<0>(), faceCornerGroups<1>(), faceCornerGroups<2>(),
        faceCornerGroups<3>(), visibility<TFaceBlk>(), colour<TFaceBlk>(), space<TFaceBlk>(),
        {{70, Field<TFaceBlk>::integer<&TFaceBlk::code70>}}};
    return table;
}

const GroupTable<TEllipseBlk>& ellipseGroups() {
    static const GroupTable<TEllipseBlk> table{
        layerAndLinetype<TEllipseBlk>(),
        point<TEllipseBlk, &TEllipseBlk::center>(10),
        point<TEllipseBlk, &TEllipseBlk::endpoint>(11),
        {{40, Ellipse::real<&TEllipseBlk::henpei>},
         {41, Ellipse::real<&TEllipseBlk::kaisi>},
         {42, Ellipse::real<&TEllipseBlk::owari>}},
        visibility<TEllipseBlk>(), colour<TEllipseBlk>(), extrusion<TEllipseBlk>()};
    return table;
}

const GroupTable<TSolidBlk>& solidGroups() {
    static const GroupTable<TSolidBlk> table{
        layerAndLinetype<TSolidBlk>(),       point<TSolidBlk, &TSolidBlk::p1>(10),
        point<TSolidBlk, &TSolidBlk::p2>(11), point<TSolidBlk, &TSolidBlk::p3>(12),
        point<TSolidBlk, &TSolidBlk::p4>(13), visibility<TSolidBlk>()};
    return table;
}

const GroupTable<TLeaderBlk>& leaderGroups() {
    static const GroupTable<TLeaderBlk> table{
        layerAndLinetype<TLeaderBlk>(),
        {{41, Leader::real<&TLeaderBlk::code41>}, {76, Leader::integer<&TLeaderBlk::code76>}},
        visibility<TLeaderBlk>()};
    return table;
}

const GroupTable<TSplineBlk>& splineGroups() {
    static const GroupTable<TSplineBlk> table{
        layerAndLinetype<TSplineBlk>(),
        {{10, splineControlPoint<0>},
         {20, splineControlPoint<1>},
         {30, splineControlPoint<2>},
         {40, splineKnot},
         {41, splineWeight},
         {70, Spline::integer<&TSplineBlk::code70>},
         {71, Spline::integer<&TSplineBlk::code71>},
         {72, Spline::integer<&TSplineBlk::code72>},
         {73, Spline::integer<&TSplineBlk::code73>},
         {74, Spline::integer<&TSplineBlk::code74>}},
        visibility<TSplineBlk>()};
    return table;
}

const GroupTable<TDimensionBlk>& dimensionGroups() {
    static const GroupTable<TDimensionBlk> table{
        {{2, Dimension::text<&TDimensionBlk::dimblkName>}},
        layerAndLinetype<TDimensionBlk>(),
        point<TDimensionBlk, &TDimensionBlk::p0>(10),
        point<TDimensionBlk, &TDimensionBlk::p1>(11),
        point<TDimensionBlk, &TDimensionBlk::p2>(12),
        point<TDimensionBlk, &TDimensionBlk::p3>(13),
        point<TDimensionBlk, &TDimensionBlk::p4>(14),
        point<TDimensionBlk, &TDimensionBlk::p5>(15),
        point<TDimensionBlk, &TDimensionBlk::P6>(16),
        {{40, Dimension::real<&TDimensionBlk::code40>},
         {50, Dimension::real<&TDimensionBlk::code50>},
         {51, Dimension::real<&TDimensionBlk::code51>},
         {70, Dimension::integer<&TDimensionBlk::dimtype>}},
        visibility<TDimensionBlk>(), colour<TDimensionBlk>(), extrusion<TDimensionBlk>()};
    return table;
}

const GroupTable<TLayer>& layerRowGroups() {
    using F = Field<TLayer>;
    static const GroupTable<TLayer> table{
        {{2, F::text<&TLayer::Name>}, {6, F::upper<&TLayer::ltype>}, {62, layerColour}, {70, layerFlags}}};
    return table;
}

const GroupTable<TViewTbl>& viewRowGroups() {
    using F = Field<TViewTbl>;
    static const GroupTable<TViewTbl> table{{{2, F::text<&TViewTbl::name>},
                                             {10, F::coordinate<&TViewTbl::center, &TAcadPoint::x>},
                                             {20, F::coordinate<&TViewTbl::center, &TAcadPoint::y>},
                                             {40, F::real<&TViewTbl::height>},
                                             {41, F::real<&TViewTbl::width>},
                                             {70, F::integer<&TViewTbl::code70>}}};
    return table;
}

const GroupTable<TBlockBlk>& blockHeaderGroups() {
    using F = Field<TBlockBlk>;
    static const GroupTable<TBlockBlk> table{{{2, F::text<&TBlockBlk::name>}},
                                             layerAndLinetype<TBlockBlk>(),
                                             point<TBlockBlk, &TBlockBlk::base>(10)};
    return table;
}

TAcadLineBlk newLine() {
    TAcadLineBlk row = withLayerDefaults(TAcadLineBlk{});
    row.code210 = kDefaultExtrusion;
    return row;
}

TCircleBlk newCircle() {
    TCircleBlk row = withLayerDefaults(TCircleBlk{});
    row.code210 = kDefaultExtrusion;
    return row;
}

TArcBlk newArc() {
    TArcBlk row = withLayerDefaults(TArcBlk{});
    row.code210 = kDefaultExtrusion;
    return row;
}

TLwpBlk newPolyline(Integer ihand) {
    TLwpBlk row = withLayerDefaults(TLwpBlk{});
    row.code210 = kDefaultExtrusion;
    row.ihand = ihand;
    return row;
}

TTextBlk newText(bool mtext, bool attrib) {
    TTextBlk row;
    row.color = 256;
    row.code41 = 1.0;
    row.code44 = 1.0;
    row.mtflag = mtext;
    row.atflag = attrib;
    row.code210 = kDefaultExtrusion;
    return row;
}

TInsertBlk newInsert() {
    TInsertBlk row = withLayerDefaults(TInsertBlk{});
    row.scale = TAcadPoint{1, 1, 1};
    row.code210 = kDefaultExtrusion;
    return row;
}

TFaceBlk newFace() {
    TFaceBlk row = withLayerDefaults(TFaceBlk{});
    row.count = 3;
    return row;
}

TEllipseBlk newEllipse() {
    TEllipseBlk row = withLayerDefaults(TEllipseBlk{});
    row.code210 = kDefaultExtrusion;
    return row;
}

TSolidBlk newSolid() { return withLayerDefaults(TSolidBlk{}); }
TLeaderBlk newLeader() { return withLayerDefaults(TLeaderBlk{}); }
TSplineBlk newSpline() { return withLayerDefaults(TSplineBlk{}); }

TDimensionBlk newDimension() {
    TDimensionBlk row = withLayerDefaults(TDimensionBlk{});
    row.code210 = kDefaultExtrusion;
    return row;
}

TLayer newLayerRow() {
    TLayer row;
    row.color = 7;
    row.ltype = u"CONTINUOUS";
    row.visible = true;
    return row;
}

}  // namespace velmora
