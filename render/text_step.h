// The last step of renderDrawing: the rows of modelTexts, drawn over the
// lines, circles and arcs with the values of the same call.
#pragma once

#include "render/render_pass.h"

namespace velmora {

void drawTextRows(const RenderPass& pass);

}  // namespace velmora
