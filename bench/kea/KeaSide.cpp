#include "KeaSide.h"

#include <eval/eval_context.h>
#include <eval/evaluate.h>
#include <log/logger_support.h>

namespace keabench::kea {

void initLogging() {
  isc::log::initLogger("keabench", isc::log::WARN);
}

isc::dhcp::Pkt4Ptr decode(const CPacket& packet) {
  isc::dhcp::Pkt4Ptr message(new isc::dhcp::Pkt4(packet.data(), packet.size()));
  message->unpack();
  return message;
}

isc::dhcp::Expression parse(const std::string& text) {
  isc::eval::EvalContext context(isc::dhcp::Option::V4);
  context.parseString(text, isc::eval::EvalContext::PARSER_BOOL);
  return std::move(context.expression);
}

bool evaluate(const isc::dhcp::Expression& expression, isc::dhcp::Pkt4& packet) {
  return isc::dhcp::evaluateBool(expression, packet);
}

}  // namespace keabench::kea
