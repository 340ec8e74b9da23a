#include "CKeaWorker.h"

namespace keabench {

CKeaWorker::CKeaWorker() {
  for (std::size_t index = 0; index < kExpressionCount; ++index) {
    expressions_[index] = kea::parse(kExpressions[index].kea);
  }
}

CConditions CKeaWorker::exchange(const CPacket& packet) const {
  const isc::dhcp::Pkt4Ptr message = kea::decode(packet);
  CConditions conditions{};
  for (std::size_t index = 0; index < kExpressionCount; ++index) {
    conditions[index] = kea::evaluate(kea::parse(kExpressions[index].kea), *message);
  }
  return conditions;
}

CConditions CKeaWorker::perWorker(const CPacket& packet) const {
  return evaluateAll(*kea::decode(packet));
}

CConditions CKeaWorker::evaluateAll(isc::dhcp::Pkt4& packet) const {
  CConditions conditions{};
  for (std::size_t index = 0; index < kExpressionCount; ++index) {
    conditions[index] = kea::evaluate(expressions_[index], packet);
  }
  return conditions;
}

}  // namespace keabench
