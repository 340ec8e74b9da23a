// DumpCommand: `dhcp-eval --dump FILE`, the packet view of the command.
//
// main() parses the command line and hands every setting that concerns the
// dump to runDump; the packet decoding lives behind this entry point, in
// DumpCommand.cpp and the Dump*.cpp files beside it:
//
//   DumpOptions options;
//   options.file = "capture.pcapng";
//   options.json = true;
//   return runDump(options);   // the process's exit status
#pragma once

#include <string>
#include <vector>

namespace qvt::tool {

// DumpOptions: the command line as it concerns --dump.
struct DumpOptions {
  // file: the argument of --dump: a capture file (pcap or pcapng) or a text
  // file holding one DHCP payload in hexadecimal.
  std::string file;
  // json: --json was given (one JSON object per packet per line).
  bool json = false;
  // family: the argument of --family (4 or 6) for a hex payload; 0 when not
  // given (the family is then guessed).
  int family = 0;
  // trace: --trace was given.
  bool trace = false;
  // keyFile: the argument of --key; empty when not given.
  std::string keyFile;
  // expressions: the expressions given on the command line beside --dump
  // (positional arguments, then the lines of -f files, in order).
  std::vector<std::string> expressions;
};

// runDump: prints the packets of options.file as decoded option trees, to
// standard output (errors that concern the whole run to standard error).
// Returns the exit status: 0 when every packet decoded, 1 when any failed, 2
// for a usage error or an unreadable file. Never raises.
int runDump(const DumpOptions& options);

}  // namespace qvt::tool
