// KeaSide: ISC Kea's side of the benchmark, as a Kea DHCPv4 server uses its
// expression evaluator: a received message becomes an unpacked Pkt4, a
// client-class test is parsed once into a token list (isc::dhcp::Expression)
// and evaluated against each packet with evaluateBool.
//
//   keabench::kea::initLogging();
//   isc::dhcp::Expression test = keabench::kea::parse("pkt4.msgtype == 1");
//   isc::dhcp::Pkt4Ptr packet = keabench::kea::decode(wireBytes);
//   bool yes = keabench::kea::evaluate(test, *packet);
//
// Kea's own exceptions (isc::Exception) pass through unchanged.
#pragma once

#include <dhcp/pkt4.h>
#include <eval/token.h>

#include <string>

#include "BenchPackets.h"

namespace keabench::kea {

// initLogging: sets up Kea's logging (root "keabench", warnings and worse,
// no debug output); Kea's libraries raise when they log before it. Call once,
// before the other functions.
void initLogging();

// decode: a new Pkt4 over packet's bytes, unpacked. Raises Kea's
// exceptions for a malformed message.
isc::dhcp::Pkt4Ptr decode(const CPacket& packet);

// parse: the token list of a boolean DHCPv4 expression (EvalContext with
// the DHCPv4 option universe). Raises isc::eval::EvalParseError.
isc::dhcp::Expression parse(const std::string& text);

// evaluate: the value of expression for packet (evaluateBool).
bool evaluate(const isc::dhcp::Expression& expression, isc::dhcp::Pkt4& packet);

}  // namespace keabench::kea
