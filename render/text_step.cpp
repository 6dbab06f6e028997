#include "render/text_step.h"

namespace velmora {

// Texts are not drawn yet: the text renderer fills this step in. Until then a
// drawing's texts still count for its extents but leave no pixels.
void drawTextRows(const RenderPass&) {}

}  // namespace velmora
