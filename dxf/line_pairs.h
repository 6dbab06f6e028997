// The lines of a DXF file taken two at a time, a group code line and a value
// line, each without leading and trailing blanks and control characters.
#pragma once

#include <string>
#include <string_view>

#include "platform/text_fields.h"

namespace velmora {

class DxfLinePairs {
public:
    // True when `text` completes a pair (code(), value()); false when it is
    // a code line, kept until its value line comes.
    bool take(std::u16string_view text) {
        text = trimmedBlanks(text);
        if (!haveCode_) {
            code_.assign(text);
            haveCode_ = true;
            return false;
        }
        haveCode_ = false;
        value_ = text;
        return true;
    }
    // At the end of the file: true when a code line lacks its value line,
    // which then reads as empty.
    bool finish() {
        if (!haveCode_) return false;
        haveCode_ = false;
        value_ = {};
        return true;
    }
    const std::u16string& code() const { return code_; }
    std::u16string_view value() const { return value_; }  // valid until the next take

private:
    bool haveCode_ = false;
    std::u16string code_;
    std::u16string_view value_;
};

}  // namespace velmora
