#include "platform/standard_output.h"

namespace velmora {

void useBinaryStandardOutput() {}  // the standard output is binary here

}  // namespace velmora
