#include "host/item_line_scan.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace velmora {
namespace {

struct BlockBits {
    std::uint64_t spaces = 0, closes = 0, refused = 0;
};

// Bits of one block of 64 bytes.
BlockBits scanBlock(const char* block) {
    BlockBits bits;
#if defined(__SSE2__)
    const __m128i space = _mm_set1_epi8(' '), close = _mm_set1_epi8(')');
    const __m128i quote = _mm_set1_epi8('"'), tab = _mm_set1_epi8('\t');
    for (int part = 0; part < 4; ++part) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * part));
        const auto mask = [&](__m128i m) {
            return static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(m))) << (16 * part);
        };
        bits.spaces |= mask(_mm_cmpeq_epi8(v, space));
        bits.closes |= mask(_mm_cmpeq_epi8(v, close));
        bits.refused |= mask(_mm_or_si128(_mm_cmpeq_epi8(v, quote), _mm_cmpeq_epi8(v, tab)));
    }
#else
    for (int i = 0; i < 64; ++i) {
        const std::uint64_t bit = std::uint64_t{1} << i;
        if (block[i] == ' ') bits.spaces |= bit;
        if (block[i] == ')') bits.closes |= bit;
        if (block[i] == '"' || block[i] == '\t') bits.refused |= bit;
    }
#endif
    return bits;
}

}  // namespace

bool ItemLineScan::map(std::string_view line) {
    const std::size_t words = (line.size() + 63) / 64;
    spaces_.resize(words);
    closes_.resize(words);
    for (std::size_t w = 0; w < words; ++w) {
        const std::size_t at = 64 * w;
        BlockBits bits;
        if (at + 64 <= line.size()) {
            bits = scanBlock(line.data() + at);
        } else {  // the last, partial block, padded with bytes that are none of them
            char tail[64] = {};
            std::memcpy(tail, line.data() + at, line.size() - at);
            bits = scanBlock(tail);
        }
        if (bits.refused) return false;
        spaces_[w] = bits.spaces;
        closes_[w] = bits.closes;
    }
    return true;
}

std::size_t ItemLineScan::next(const std::vector<std::uint64_t>& bits, std::size_t from, std::size_t end) {
    if (from >= end) return npos;
    std::size_t w = from / 64;
    std::uint64_t word = bits[w] & (~std::uint64_t{0} << (from % 64));
    while (word == 0) {
        if (++w >= bits.size() || 64 * w >= end) return npos;
        word = bits[w];
    }
    const std::size_t at = 64 * w + static_cast<std::size_t>(std::countr_zero(word));
    return at < end ? at : npos;
}

}  // namespace velmora
