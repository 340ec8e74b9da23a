// RawConditions: the five benchmark conditions checked by hand on the wire
// bytes of a DHCPv4 message, the floor an interpreted engine is measured
// against. It walks the options once, bounds-checked, and allocates nothing.
//
//   keabench::CConditions c = keabench::rawConditions(packet.data(), packet.size());
//
// A message too short for the header, without the magic cookie, or with an
// option running past the end gives false for every condition that needs
// what could not be read.
#pragma once

#include <cstddef>
#include <cstdint>

#include "BenchExpressions.h"

namespace keabench {

CConditions rawConditions(const std::uint8_t* data, std::size_t size) noexcept;

}  // namespace keabench
