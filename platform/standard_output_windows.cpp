#include "platform/standard_output.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace velmora {

void useBinaryStandardOutput() { _setmode(_fileno(stdout), _O_BINARY); }

}  // namespace velmora
