#include "tools/store_json.h"

#include <cfloat>
#include <cmath>

#include "platform/utf.h"

namespace velmora {
namespace {

StoreJson num(long double v) {
    if (!std::isfinite(v) || std::fabs(v) > DBL_MAX) return nullptr;
    return static_cast<double>(v);
}
StoreJson str(const std::u16string& s) { return utf16ToUtf8(s); }
StoreJson pt(const TAcadPoint& p) { return StoreJson::array({num(p.x), num(p.y), num(p.z)}); }

// One overload per record; declared first so the table template finds all.
StoreJson row(const TLayer& r);
StoreJson row(const TViewTbl& r);
StoreJson row(const TAcadLineBlk& r);
StoreJson row(const TCircleBlk& r);
StoreJson row(const TArcBlk& r);
StoreJson row(const TInsertBlk& r);
StoreJson row(const TBlockBlk& r);
StoreJson row(const TLwpVer& r);
StoreJson row(const TLwpBlk& r);
StoreJson row(const TTextBlk& r);
StoreJson row(const TFaceBlk& r);
StoreJson row(const TEllipseBlk& r);
StoreJson row(const TSolidBlk& r);
StoreJson row(const TLeaderBlk& r);
StoreJson row(const TDimensionBlk& r);
StoreJson row(const TSplineBlk& r);

template <class Row>
StoreJson rows(const std::vector<Row>& table) {
    StoreJson out = StoreJson::array();
    for (const Row& r : table) out.push_back(row(r));
    return out;
}

StoreJson row(const TLayer& r) {
    return {{"Name", str(r.Name)},   {"color", r.color},     {"code70", r.code70},
            {"ltype", str(r.ltype)}, {"visible", r.visible}, {"Comment", str(r.Comment)}};
}

StoreJson row(const TViewTbl& r) {
    return {{"name", str(r.name)},
            {"center", pt(r.center)},
            {"height", num(r.height)},
            {"width", num(r.width)},
            {"code70", r.code70}};
}

StoreJson row(const TAcadLineBlk& r) {
    return {{"bname", str(r.bname)},       {"layer", str(r.layer)},   {"ltype", str(r.ltype)},
            {"color", r.color},            {"st", pt(r.st)},          {"ed", pt(r.ed)},
            {"PenColor", r.PenColor},      {"PenStyle", r.PenStyle},  {"code67", r.code67},
            {"code210", pt(r.code210)},    {"layindex", r.layindex},  {"atsumi", num(r.atsumi)},
            {"convtype", r.convtype},      {"lwpflag", r.lwpflag},    {"checked", r.checked},
            {"code60", r.code60}};
}

StoreJson row(const TCircleBlk& r) {
    return {{"bname", str(r.bname)},    {"layer", str(r.layer)},     {"ltype", str(r.ltype)},
            {"color", r.color},         {"center", pt(r.center)},    {"hankei", num(r.hankei)},
            {"PenColor", r.PenColor},   {"PenStyle", r.PenStyle},    {"code67", r.code67},
            {"code210", pt(r.code210)}, {"layindex", r.layindex},    {"checked", r.checked},
            {"code60", r.code60}};
}

StoreJson row(const TArcBlk& r) {
    return {{"bname", str(r.bname)},   {"layer", str(r.layer)},    {"ltype", str(r.ltype)},
            {"color", r.color},        {"center", pt(r.center)},   {"hankei", num(r.hankei)},
            {"st", num(r.st)},         {"ed", num(r.ed)},          {"PenColor", r.PenColor},
            {"PenStyle", r.PenStyle},  {"code67", r.code67},       {"code210", pt(r.code210)},
            {"layindex", r.layindex},  {"atsumi", num(r.atsumi)},  {"lwpflag", r.lwpflag},
            {"checked", r.checked},    {"code60", r.code60}};
}

StoreJson row(const TInsertBlk& r) {
    return {{"name", str(r.name)},     {"layer", str(r.layer)},       {"ltype", str(r.ltype)},
            {"base", pt(r.base)},      {"scale", pt(r.scale)},        {"color", r.color},
            {"rotate", num(r.rotate)}, {"code66", r.code66},          {"PenColor", r.PenColor},
            {"PenStyle", r.PenStyle},  {"code67", r.code67},          {"code210", pt(r.code210)},
            {"layindex", r.layindex},  {"dimBlkName", str(r.dimBlkName)}, {"code60", r.code60}};
}

StoreJson row(const TBlockBlk& r) {
    return {{"name", str(r.name)},    {"layer", str(r.layer)},     {"ltype", str(r.ltype)},
            {"base", pt(r.base)},     {"layindex", r.layindex},    {"InsertAry", rows(r.InsertAry)},
            {"code60", r.code60}};
}

StoreJson row(const TLwpVer& r) {
    return {{"ihand", r.ihand}, {"code10", pt(r.code10)}, {"code42", num(r.code42)}};
}

StoreJson row(const TLwpBlk& r) {
    return {{"bname", str(r.bname)},    {"layer", str(r.layer)},   {"ltype", str(r.ltype)},
            {"ihand", r.ihand},         {"color", r.color},        {"code38", num(r.code38)},
            {"code67", r.code67},       {"code70", r.code70},      {"code71", r.code71},
            {"code72", r.code72},       {"code73", r.code73},      {"code74", r.code74},
            {"code210", pt(r.code210)}, {"PenColor", r.PenColor},  {"PenStyle", r.PenStyle},
            {"layindex", r.layindex},   {"verAry", rows(r.verAry)}, {"code60", r.code60}};
}

StoreJson row(const TTextBlk& r) {
    return {{"bname", str(r.bname)},   {"layer", str(r.layer)},    {"color", r.color},
            {"pt10", pt(r.pt10)},      {"pt11", pt(r.pt11)},       {"code40", num(r.code40)},
            {"code41", num(r.code41)}, {"code44", num(r.code44)},  {"code50", num(r.code50)},
            {"code72", r.code72},      {"code73", r.code73},       {"code70", r.code70},
            {"code71", r.code71},      {"str", str(r.str)},        {"mtflag", r.mtflag},
            {"atflag", r.atflag},      {"PenColor", r.PenColor},   {"code67", r.code67},
            {"code210", pt(r.code210)}, {"layindex", r.layindex},  {"checked", r.checked},
            {"code60", r.code60}};
}

StoreJson row(const TFaceBlk& r) {
    return {{"bname", str(r.bname)},
            {"layer", str(r.layer)},
            {"ltype", str(r.ltype)},
            {"color", r.color},
            {"pt", StoreJson::array({pt(r.pt[0]), pt(r.pt[1]), pt(r.pt[2]), pt(r.pt[3])})},
            {"PenColor", r.PenColor},
            {"PenStyle", r.PenStyle},
            {"code67", r.code67},
            {"code70", r.code70},
            {"count", r.count},
            {"layindex", r.layindex},
            {"code60", r.code60}};
}

StoreJson row(const TEllipseBlk& r) {
    return {{"bname", str(r.bname)},   {"layer", str(r.layer)},        {"ltype", str(r.ltype)},
            {"color", r.color},        {"center", pt(r.center)},       {"endpoint", pt(r.endpoint)},
            {"henpei", num(r.henpei)}, {"kaisi", num(r.kaisi)},        {"owari", num(r.owari)},
            {"code210", pt(r.code210)}, {"layindex", r.layindex},      {"code60", r.code60}};
}

StoreJson row(const TSolidBlk& r) {
    return {{"bname", str(r.bname)}, {"layer", str(r.layer)}, {"ltype", str(r.ltype)},
            {"color", r.color},      {"p1", pt(r.p1)},        {"p2", pt(r.p2)},
            {"p3", pt(r.p3)},        {"p4", pt(r.p4)},        {"code60", r.code60}};
}

StoreJson row(const TLeaderBlk& r) {
    return {{"bname", str(r.bname)}, {"layer", str(r.layer)},   {"ltype", str(r.ltype)},
            {"color", r.color},      {"code41", num(r.code41)}, {"code76", r.code76},
            {"p1", pt(r.p1)},        {"p2", pt(r.p2)},          {"p3", pt(r.p3)},
            {"code60", r.code60}};
}

StoreJson row(const TDimensionBlk& r) {
    return {{"bname", str(r.bname)},   {"layer", str(r.layer)},         {"ltype", str(r.ltype)},
            {"color", r.color},        {"dimblkName", str(r.dimblkName)}, {"p0", pt(r.p0)},
            {"p1", pt(r.p1)},          {"p2", pt(r.p2)},                {"p3", pt(r.p3)},
            {"p4", pt(r.p4)},          {"p5", pt(r.p5)},                {"P6", pt(r.P6)},
            {"dimtype", r.dimtype},    {"code40", num(r.code40)},       {"code50", num(r.code50)},
            {"code51", num(r.code51)}, {"code210", pt(r.code210)},      {"code60", r.code60}};
}

StoreJson row(const TSplineBlk& r) {
    StoreJson points = StoreJson::array();
    for (const TAcadPoint& p : r.code10Ary) points.push_back(pt(p));
    StoreJson knots = StoreJson::array();
    for (double k : r.code40Ary) knots.push_back(num(k));
    StoreJson weights = StoreJson::array();
    for (double w : r.code41Ary) weights.push_back(num(w));
    return {{"bname", str(r.bname)},    {"layer", str(r.layer)},   {"ltype", str(r.ltype)},
            {"ihand", r.ihand},         {"color", r.color},        {"code70", r.code70},
            {"code71", r.code71},       {"code72", r.code72},      {"code73", r.code73},
            {"code74", r.code74},       {"code210", pt(r.code210)}, {"PenColor", r.PenColor},
            {"PenStyle", r.PenStyle},   {"layindex", r.layindex},  {"code10Ary", points},
            {"code40Ary", knots},       {"code41Ary", weights},    {"code60", r.code60}};
}

}  // namespace

StoreJson storeToJson(const DrawingStore& s) {
    StoreJson out = StoreJson::object();
    out["blocks"] = rows(s.blocks);
    out["blockLines"] = rows(s.blockLines);
    out["blockCircles"] = rows(s.blockCircles);
    out["blockArcs"] = rows(s.blockArcs);
    out["blockLwps"] = rows(s.blockLwps);
    out["blockLwpVertices"] = rows(s.blockLwpVertices);
    out["blockTexts"] = rows(s.blockTexts);
    out["blockSolids"] = rows(s.blockSolids);
    out["blockEllipses"] = rows(s.blockEllipses);
    out["blockInserts"] = rows(s.blockInserts);
    out["modelLines"] = rows(s.modelLines);
    out["modelCircles"] = rows(s.modelCircles);
    out["modelArcs"] = rows(s.modelArcs);
    out["modelTexts"] = rows(s.modelTexts);
    out["modelInserts"] = rows(s.modelInserts);
    out["modelLwps"] = rows(s.modelLwps);
    out["modelLwpVertices"] = rows(s.modelLwpVertices);
    out["modelEllipses"] = rows(s.modelEllipses);
    out["modelSolids"] = rows(s.modelSolids);
    out["faces"] = rows(s.faces);
    out["leaders"] = rows(s.leaders);
    out["splines"] = rows(s.splines);
    out["dimensions"] = rows(s.dimensions);
    out["layers"] = rows(s.layers);
    out["views"] = rows(s.views);
    out["dwgCodePage"] = str(s.dwgCodePage);
    out["drawingExtents"] = StoreJson::array({pt(s.drawingExtents.min), pt(s.drawingExtents.max)});
    return out;
}

std::string formatStoreJson(const StoreJson& json) {
    return json.dump(1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace velmora
