// CILineSource: where the interactive session reads its lines: the
// terminal's line editor (CInteractivePrompt) or a stream (CStreamLines).
#pragma once

#include <string>

namespace qvt::tool {

class CILineSource {
 public:
  virtual ~CILineSource() = default;

  // readLine: the next line, without its line end; false at the end of
  // input. continued: the line goes on an expression begun on earlier lines.
  virtual bool readLine(std::string& line, bool continued) = 0;
  // entered: entry, one whole command or expression, was read.
  virtual void entered(const std::string& entry) { static_cast<void>(entry); }
};

}  // namespace qvt::tool
