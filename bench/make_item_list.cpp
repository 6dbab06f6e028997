// make_item_list N FILE: writes a benchmark item list of N entities.
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "bench/item_list_generator.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_item_list ENTITIES FILE\n");
        return 2;
    }
    const std::string list = velmora::bench::makeItemList(std::strtoull(argv[1], nullptr, 10));
    std::ofstream out(argv[2], std::ios::binary);
    out.write(list.data(), static_cast<std::streamsize>(list.size()));
    return out ? 0 : 1;
}
