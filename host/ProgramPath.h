// ProgramPath: where the running program lives, for finding the files that
// are installed (or built) next to it.
//
//   programDirectory();   // "/usr/local/bin" for /usr/local/bin/dhcp-eval
#pragma once

#include <string>

namespace qvt::host {

// programDirectory: the directory of the running executable
// (/proc/self/exe); "." when it cannot be read.
std::string programDirectory();

}  // namespace qvt::host
