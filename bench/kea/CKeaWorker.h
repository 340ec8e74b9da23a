// CKeaWorker: Kea's side of the benchmark on one thread, shaped like
// COurWorker: the five expressions parsed once, and the two ways of
// handling an exchange.
//
//   keabench::CKeaWorker worker;             // parses the five
//   keabench::CConditions c = worker.perWorker(packet);  // unpack + evaluate
//   c = worker.exchange(packet);             // unpack + parse + evaluate
//
// Kea's exceptions pass through. Different workers may run on different
// threads (Kea's packets and token lists are not shared between them).
#pragma once

#include <array>

#include "BenchExpressions.h"
#include "BenchPackets.h"
#include "KeaSide.h"

namespace keabench {

class CKeaWorker {
 public:
  using Expressions = std::array<isc::dhcp::Expression, kExpressionCount>;

  // CKeaWorker: parses the five Kea expressions.
  CKeaWorker();

  // exchange: unpack packet, parse the five and evaluate them.
  CConditions exchange(const CPacket& packet) const;
  // perWorker: unpack packet and evaluate the five parsed expressions, as a
  // Kea server does.
  CConditions perWorker(const CPacket& packet) const;
  // evaluateAll: the five parsed expressions for packet.
  CConditions evaluateAll(isc::dhcp::Pkt4& packet) const;

  const Expressions& expressions() const { return expressions_; }

 private:
  Expressions expressions_;
};

}  // namespace keabench
