#include "class_a/standard/CMessage.h"

namespace qvt {

std::string CMessage::substitute(const std::string& templateText, const CMessageArgs& arguments) {
  std::string formatted = templateText;
  for (std::size_t i = 1; i <= arguments.count(); ++i) {
    const std::string marker = "%" + std::to_string(i);
    const std::string value = arguments.arg(i - 1);
    std::size_t at = formatted.find(marker);
    while (at != std::string::npos) {
      formatted.replace(at, marker.size(), value);
      at = formatted.find(marker, at + value.size());
    }
  }
  return formatted;
}

const std::string& CMessage::text() {
  formatted_ = substitute(templateText_, arguments_);
  return formatted_;
}

std::string CMessage::text() const { return substitute(templateText_, arguments_); }

void CMessage::clear() {
  arguments_.reset();
  formatted_.clear();
  templateText_.clear();
  id_ = -1;
}

}  // namespace qvt
