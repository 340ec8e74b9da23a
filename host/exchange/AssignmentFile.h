// AssignmentFile: the line format of the host's small configuration files
// (provisioning rules, classification classes): one "name = value" per line,
// blank lines and lines whose first non-blank character is "#" skipped.
// Name and value are trimmed of blanks and tabs; the value is everything
// after the first "=" and may itself hold "=":
//
//   # rule = value
//   7 = 10.1.0.0
//   cable-modem = $CM && $INP(82) == $UNKNOWN()
//
//   std::vector<CAssignment> lines = parseAssignments(readTextFile(path, op), {...});
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "class_a/standard/CMessage.h"

namespace qvt::host {

// CAssignment: one "name = value" line and its line number (from 1).
struct CAssignment {
  std::uint32_t line;
  std::string name;
  std::string value;
};

// CAssignmentErrors: how parseAssignments raises: module, operation and
// description ("%1" the file's name).
struct CAssignmentErrors {
  std::string module;
  std::string operation;
  CMessage description;
};

// kMaxTextFileSize: the largest file readTextFile reads.
constexpr std::size_t kMaxTextFileSize = 16 * 1024 * 1024;

// readTextFile: the content of the file at path. Raises "Cannot open file
// '%1'." (the given module and operation) with the system's reason, or with
// "The file is larger than 16777216 bytes.".
std::string readTextFile(const std::string& path, const std::string& module,
                         const std::string& operation);

// parseAssignments: the assignments of text, in order. Raises errors'
// description with the reason "Line %1 is not of the form name = value." for
// a line without "=" or with an empty name.
std::vector<CAssignment> parseAssignments(const std::string& text, const CAssignmentErrors& errors);

}  // namespace qvt::host
