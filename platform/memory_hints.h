// Hints to the operating system about large memory blocks.
#pragma once

#include <cstddef>

namespace velmora {

// Asks for huge pages on the whole pages inside [begin, begin + bytes): a
// multi-gigabyte table then costs one page fault per 2 MiB instead of one
// per 4 KiB. Call it before the block is first written. Only a hint: it does
// nothing where the system has no such pages or the block is small.
void adviseHugePages(void* begin, std::size_t bytes);

}  // namespace velmora
