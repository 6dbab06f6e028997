// Where the spaces and closing parentheses of one line of an item list lie,
// found 16 bytes at a time: the reader then walks from one to the next
// instead of searching a few bytes at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace velmora {

class ItemLineScan {
public:
    static constexpr std::size_t npos = std::string_view::npos;

    // Maps `line`; false when it holds a quotation mark or a TAB, which the
    // reader leaves to its general way.
    bool map(std::string_view line);

    // The first space, or ')', at or after `from` and before `end`; npos
    // when there is none.
    std::size_t nextSpace(std::size_t from, std::size_t end) const { return next(spaces_, from, end); }
    std::size_t nextClose(std::size_t from, std::size_t end) const { return next(closes_, from, end); }

private:
    static std::size_t next(const std::vector<std::uint64_t>& bits, std::size_t from, std::size_t end);

    std::vector<std::uint64_t> spaces_, closes_;  // bit i: byte i is one
};

}  // namespace velmora
