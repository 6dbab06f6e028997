// Plain records of the drawing store. Field names follow the DXF group codes
// and the romanised words the rest of the system uses; do not rename them.
// Every record starts zeroed (empty strings, 0, false); defaults that a file
// format implies (scale 1, extrusion +Z, linetype BYLAYER) are the readers' job.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

using Extended = long double;
using SmallInt = std::int16_t;
using Integer = std::int32_t;
using TColor = std::uint32_t;  // 0x00BBGGRR

enum TPenStyle : std::uint8_t {
    psSolid = 0,
    psDash = 1,
    psDot = 2,
    psDashDot = 3,
    psDashDotDot = 4,
    psClear = 5,
    psInsideFrame = 6,
    psUserStyle = 7,
    psAlternate = 8,
};

struct TAcadPoint {
    Extended x = 0;
    Extended y = 0;
    Extended z = 0;
    friend bool operator==(const TAcadPoint&, const TAcadPoint&) = default;
};

struct TLayer {
    std::u16string Name;
    SmallInt color = 0;
    SmallInt code70 = 0;
    std::u16string ltype;
    bool visible = false;
    std::u16string Comment;
};

struct TViewTbl {
    std::u16string name;
    TAcadPoint center;
    double height = 0;
    double width = 0;
    SmallInt code70 = 0;
};

struct TAcadLineBlk {
    std::u16string bname;
    std::u16string layer;
    std::u16string ltype;
    SmallInt color = 0;
    TAcadPoint st;
    TAcadPoint ed;
    TColor PenColor = 0;
    TPenStyle PenStyle = psSolid;
    SmallInt code67 = 0;
    TAcadPoint code210;
    SmallInt layindex = 0;
    double atsumi = 0;
    SmallInt convtype = 0;
    bool lwpflag = false;
    bool checked = false;
    SmallInt code60 = 0;
};

struct TCircleBlk {
    std::u16string bname;
    std::u16string layer;
    std::u16string ltype;
    SmallInt color = 0;
    TAcadPoint center;
    double hankei = 0;
    TColor PenColor = 0;
    TPenStyle PenStyle = psSolid;
    SmallInt code67 = 0;
    TAcadPoint code210;
    SmallInt layindex = 0;
    bool checked = false;
    SmallInt code60 = 0;
};

struct TArcBlk {
    std::u16string bname;
    std::u16string layer;
    std::u16string ltype;
    SmallInt color = 0;
    TAcadPoint center;
    double hankei = 0;
    double st = 0;  // degrees
    double ed = 0;  // degrees
    TColor PenColor = 0;
    TPenStyle PenStyle = psSolid;
    SmallInt code67 = 0;
    TAcadPoint code210;
    SmallInt layindex = 0;
    double atsumi = 0;
    bool lwpflag = false;
    bool checked = false;
    SmallInt code60 = 0;
};

struct TInsertBlk {
    std::u16string name;
    std::u16string layer;
    std::u16string ltype;
    TAcadPoint base;
    TAcadPoint scale;  // the DXF reader supplies (1, 1, 1) when the file gives none
    SmallInt color = 0;
    double rotate = 0;  // degrees
    SmallInt code66 = 0;
    TColor PenColor = 0;
    TPenStyle PenStyle = psSolid;
    SmallInt code67 = 0;
    TAcadPoint code210;
    SmallInt layindex = 0;
    std::u16string dimBlkName;
    SmallInt code60 = 0;
};

struct TBlockBlk {
    std::u16string name;
    std::u16string layer;
    std::u16string ltype;
    TAcadPoint base;
    SmallInt layindex = 0;
    std::vector<TInsertBlk> InsertAry;
    SmallInt code60 = 0;
};

struct TLwpVer {
    Integer ihand = 0;
    TAcadPoint code10;
    double code42 = 0;  // bulge of the segment starting here
};

struct TLwpBlk {
    std::u16string bname;
    std::u16string layer;
    std::u16string ltype;
    Integer ihand = 0;
    SmallInt color = 0;
    double code38 = 0;
    SmallInt code67 = 0;
    SmallInt code70 = 0;
    SmallInt code71 = 0;
    SmallInt code72 = 0;
    SmallInt code73 = 0;
    SmallInt code74 = 0;
    TAcadPoint code210;
    TColor PenColor = 0;
    TPenStyle PenStyle = psSolid;
    SmallInt layindex = 0;
    std::vector<TLwpVer> verAry;
    SmallInt code60 = 0;
};

struct TTextBlk {
    std::u16string bname;
    std::u16string layer;
    SmallInt color = 0;
    TAcadPoint pt10;
    TAcadPoint pt11;
    double code40 = 0;
    double code41 = 0;
    double code44 = 0;
    double code50 = 0;
    SmallInt code72 = 0;
    SmallInt code73 = 0;
    SmallInt code70 = 0;
    SmallInt code71 = 0;
    std::u16string str;
    bool mtflag = false;
    bool atflag = false;
    TColor PenColor = 0;
    SmallInt code67 = 0;
    TAcadPoint code210;
    SmallInt layindex = 0;
    bool checked = false;
    SmallInt code60 = 0;
};

struct TFaceBlk {
    std::u16string bname;
    std::u16string layer;
    std::u16string ltype;
    SmallInt color = 0;
    TAcadPoint pt[4];
    TColor PenColor = 0;
    TPenStyle PenStyle = psSolid;
    SmallInt code67 = 0;
    SmallInt code70 = 0;
    SmallInt count = 0;
    SmallInt layindex = 0;
    SmallInt code60 = 0;
};

struct TEllipseBlk {
    std::u16string bname;
    std::u16string layer;
    std::u16string ltype;
    SmallInt color = 0;
    TAcadPoint center;
    TAcadPoint endpoint;  // major axis end, relative to the centre
    double henpei = 0;    // minor to major ratio
    double kaisi = 0;     // start parameter, radians
    double owari = 0;     // end parameter, radians
    TAcadPoint code210;
    SmallInt layindex = 0;
    SmallInt code60 = 0;
};

struct TSolidBlk {
    std::u16string bname;
    std::u16string layer;
    std::u16string ltype;
    SmallInt color = 0;
    TAcadPoint p1;
    TAcadPoint p2;
    TAcadPoint p3;
    TAcadPoint p4;
    SmallInt code60 = 0;
};

struct TLeaderBlk {
    std::u16string bname;
    std::u16string layer;
    std::u16string ltype;
    SmallInt color = 0;
    double code41 = 0;
    SmallInt code76 = 0;
    TAcadPoint p1;
    TAcadPoint p2;
    TAcadPoint p3;
    SmallInt code60 = 0;
};

struct TDimensionBlk {
    std::u16string bname;
    std::u16string layer;
    std::u16string ltype;
    SmallInt color = 0;
    std::u16string dimblkName;
    TAcadPoint p0;
    TAcadPoint p1;
    TAcadPoint p2;
    TAcadPoint p3;
    TAcadPoint p4;
    TAcadPoint p5;
    TAcadPoint P6;
    SmallInt dimtype = 0;
    double code40 = 0;
    double code50 = 0;
    double code51 = 0;
    TAcadPoint code210;
    SmallInt code60 = 0;
};

struct TSplineBlk {
    std::u16string bname;
    std::u16string layer;
    std::u16string ltype;
    Integer ihand = 0;
    SmallInt color = 0;
    SmallInt code70 = 0;
    SmallInt code71 = 0;
    SmallInt code72 = 0;
    SmallInt code73 = 0;
    SmallInt code74 = 0;
    TAcadPoint code210;
    TColor PenColor = 0;
    TPenStyle PenStyle = psSolid;
    SmallInt layindex = 0;
    std::vector<TAcadPoint> code10Ary;
    std::vector<double> code40Ary;
    std::vector<double> code41Ary;
    SmallInt code60 = 0;
};

}  // namespace velmora
