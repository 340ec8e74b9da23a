// CStreamLines: the lines of a file (standard input for "-") for the
// interactive session when no terminal types them: no prompt, no history.
// A carriage return before the line end is dropped.
#pragma once

#include <memory>
#include <string>

#include "tools/dhcp-eval/CExpressionFile.h"
#include "tools/dhcp-eval/CILineSource.h"

namespace qvt::tool {

class CStreamLines : public CILineSource {
 public:
  // CStreamLines: raises the errors of CExpressionFile's constructor.
  explicit CStreamLines(const std::string& path) : file_(path) {}

  // readLine: raises the errors of CExpressionFile::nextLine.
  bool readLine(std::string& line, bool continued) override;

 private:
  CExpressionFile file_;
};

}  // namespace qvt::tool
