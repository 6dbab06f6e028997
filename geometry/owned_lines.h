// A new line row made from an entity it stands for: the passes that turn
// curves and outlines into lines give each line its owner's layer, linetype
// and colour.
#pragma once

#include "store/records.h"
#include "store/table_growth.h"

namespace velmora {

template <class Owner>
TAcadLineBlk& appendOwnedLine(TableAppender<TAcadLineBlk>& lines, const Owner& owner, const TAcadPoint& st,
                              const TAcadPoint& ed) {
    TAcadLineBlk& line = lines.append();
    line.st = st;
    line.ed = ed;
    line.layer = owner.layer;
    line.ltype = owner.ltype;
    line.color = owner.color;
    return line;
}

}  // namespace velmora
