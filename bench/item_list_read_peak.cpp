// item_list_read_peak FILE: reads an item list the way the thumbnail path
// does and prints the peak resident memory beside the file's size and the
// memory of the rows the store holds, to check peak <= rows + 2 x file.
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>

#include "host/block_item_list.h"

namespace {

template <class Row>
double mib(const std::vector<Row>& table) {
    return static_cast<double>(table.size() * sizeof(Row)) / (1 << 20);  // the rows, not spare capacity
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: item_list_read_peak FILE\n");
        return 2;
    }
    velmora::DrawingStore store;
    const velmora::BlockItemCounts counts = velmora::readBlockItemList(store, argv[1]);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double rows = mib(store.modelLines) + mib(store.modelArcs) + mib(store.modelCircles) +
                        mib(store.modelLwps) + mib(store.modelLwpVertices);
    const double file = static_cast<double>(std::filesystem::file_size(argv[1])) / (1 << 20);
    std::printf("items %d  file %.1f MiB  rows %.1f MiB  peak %.1f MiB  limit (rows + 2 x file) %.1f MiB\n",
                counts.items, file, rows, usage.ru_maxrss / 1024.0, rows + 2 * file);
    return 0;
}
