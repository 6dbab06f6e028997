// The simulated host's request handling on arbitrary input: each line is
// parsed and answered by a host on a small drawing. Lines that name files
// are passed over, so the queued commands run too without the run
// writing any file.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "host/host_protocol.h"
#include "host/sim/sim_drawing.h"
#include "host/sim/sim_host.h"

namespace {

constexpr std::string_view kDrawing =
    "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n0\nLAYER\n2\n0\n62\n7\n6\nContinuous\n0\nENDTAB\n0\nENDSEC\n"
    "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\ndoor\n10\n0\n20\n0\n30\n0\n0\nLINE\n8\n0\n10\n0\n20\n0\n30\n0\n11\n1\n21\n1\n"
    "31\n0\n0\nARC\n8\n0\n10\n0\n20\n0\n30\n0\n40\n1\n50\n0\n51\n90\n0\nENDBLK\n0\nENDSEC\n"
    "0\nSECTION\n2\nENTITIES\n0\nINSERT\n2\ndoor\n10\n0\n20\n0\n30\n0\n0\nENDSEC\n0\nEOF\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    sim::SimHost host(sim::parseDrawing(kDrawing, "/fuzz/drawing.dxf"), {}, [](const nlohmann::json&) {});
    while (!input.empty()) {
        std::size_t end = input.find('\n');
        std::string_view line = input.substr(0, end);
        if (line.find('/') == std::string_view::npos && line.find('\\') == std::string_view::npos) {
            try {
                (void)parseHostRequest(line);
            } catch (const ProtocolError&) {
            }
            (void)host.answer(line);
            while (host.step()) {
            }
        }
        if (end == std::string_view::npos) break;
        input.remove_prefix(end + 1);
    }
    return 0;
}
