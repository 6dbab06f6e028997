// The DXF reader's message boxes as velmora-tool shows them: one line each
// on stderr, "DxfReport: <text>", the box's lines joined by " / ".
#pragma once

#include <string>

#include "dxf/dxf_reader.h"

namespace velmora::tool {

class StderrDxfMessages : public DxfMessages {
public:
    void show(const std::u16string& text) override;
};

// A note that a stage failed and what followed, on stderr.
void printNotice(const std::string& text);

}  // namespace velmora::tool
