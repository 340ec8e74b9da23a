#include "tools/dhcp-eval/CTraceRecorder.h"

#include <cstring>

namespace qvt::tool {

void CTraceRecorder::clear() {
  postfix_.clear();
  states_.clear();
}

void CTraceRecorder::trace(const char* /*label*/, const CToken& token) {
  postfix_.push_back(token);
}

void CTraceRecorder::trace(const char* label, const CNodeBase& node) {
  if (std::strcmp(label, "Before interpret") == 0) {
    states_[&node] = kStarted;
  } else if (std::strcmp(label, "After interpret") == 0) {
    states_[&node] = kFinished;
  }
}

CTraceRecorder::CNodeState CTraceRecorder::state(const CNodeBase& node) const {
  const auto found = states_.find(&node);
  return found == states_.end() ? kNotRun : found->second;
}

}  // namespace qvt::tool
