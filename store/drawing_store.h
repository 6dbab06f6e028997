// The in-memory drawing: the 25 tables, the header code page and the extents.
#pragma once

#include <string>
#include <vector>

#include "store/records.h"

namespace velmora {

struct DrawingExtents {
    TAcadPoint min;
    TAcadPoint max;
};

struct DrawingStore {
    std::vector<TBlockBlk> blocks;
    std::vector<TAcadLineBlk> blockLines;
    std::vector<TCircleBlk> blockCircles;
    std::vector<TArcBlk> blockArcs;
    std::vector<TLwpBlk> blockLwps;
    std::vector<TLwpVer> blockLwpVertices;
    std::vector<TTextBlk> blockTexts;
    std::vector<TSolidBlk> blockSolids;
    std::vector<TEllipseBlk> blockEllipses;
    std::vector<TInsertBlk> blockInserts;
    std::vector<TAcadLineBlk> modelLines;
    std::vector<TCircleBlk> modelCircles;
    std::vector<TArcBlk> modelArcs;
    std::vector<TTextBlk> modelTexts;
    std::vector<TInsertBlk> modelInserts;
    std::vector<TLwpBlk> modelLwps;
    std::vector<TLwpVer> modelLwpVertices;
    std::vector<TEllipseBlk> modelEllipses;
    std::vector<TSolidBlk> modelSolids;
    std::vector<TFaceBlk> faces;
    std::vector<TLeaderBlk> leaders;
    std::vector<TSplineBlk> splines;
    std::vector<TDimensionBlk> dimensions;
    std::vector<TLayer> layers;
    std::vector<TViewTbl> views;

    std::u16string dwgCodePage;
    DrawingExtents drawingExtents;
};

TAcadPoint makeAcadPoint(Extended x, Extended y, Extended z);

// Colour of the layer called `name` (exact, case-sensitive match). A layer that
// is not in the table is appended with colour 7, so later lookups find it.
SmallInt layerColor(DrawingStore& store, const std::u16string& name);

// Empties all 25 tables and dwgCodePage; drawingExtents is left alone, as a
// read does.
void clearTables(DrawingStore& store);

// The layer row a file that defines no layers ends with.
TLayer defaultLayer(const std::u16string& name);

}  // namespace velmora
