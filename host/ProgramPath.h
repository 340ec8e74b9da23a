// ProgramPath: where the running program lives, for finding the files that
// are installed (or built) next to it.
//
//   programDirectory();               // "/usr/local/bin" for /usr/local/bin/dhcp-eval
//   installedModuleDirectory("/usr/local/bin");      // "/usr/local/bin/../lib/dhcp_eval"
//   installedDictionaryDirectory("/usr/local/bin");  // ".../../share/dhcp_eval/dictionaries"
#pragma once

#include <string>

namespace qvt::host {

// programDirectory: the directory of the running executable
// (/proc/self/exe); "." when it cannot be read.
std::string programDirectory();

// installedModuleDirectory, installedDictionaryDirectory: where
// `cmake --install` puts the plugin modules and the option dictionaries, as
// seen from an installed program in programDirectory (the GNU install
// directories chosen at configure time, relative to bin/). Whether the
// directory exists is not checked.
std::string installedModuleDirectory(const std::string& programDirectory);
std::string installedDictionaryDirectory(const std::string& programDirectory);
// dictionaryDirectoryBesideModule: the installed dictionaries as seen from
// the directory of an installed dhcp_eval.so (the libdir chosen at configure
// time, multiarch ones included). Whether it exists is not checked.
std::string dictionaryDirectoryBesideModule(const std::string& moduleDirectory);

}  // namespace qvt::host
