#include "tools/dhcp-eval/CStreamLines.h"

namespace qvt::tool {

bool CStreamLines::readLine(std::string& line, bool /*continued*/) {
  return file_.nextLine(line);
}

}  // namespace qvt::tool
