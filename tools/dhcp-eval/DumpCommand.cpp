#include "tools/dhcp-eval/DumpCommand.h"

#include <iostream>

namespace qvt::tool {

// Placeholder until the packet decoding is part of the build.
int runDump(const DumpOptions& /*options*/) {
  std::cerr << "dhcp-eval: --dump is not available in this build" << std::endl;
  return 2;
}

}  // namespace qvt::tool
