// CHostOptionFactory: makes the concrete host option for a definition.
//
//   COptionAttributes definition;
//   definition.string("tagpath=53\ntype=8bit\nname=dhcp-message-type");
//   CGeneralPtr<COption> option = makeOption(definition);  // CTypedOption<uint8_t>
//   CGeneralPtr<COption> root = makeMessageRoot(4);         // the tree's top
#pragma once

#include <cstdint>

#include "class_a/standard/CGeneralPtr.h"
#include "class_b/dhcp/dhcp_base/COption.h"

namespace qvt {

class CExpEval;

// makeOption: a CTypedOption of the element type of the definition's option
// type (see CTypedOption.h), or a CHostOptionContainer for the types without
// elements ("subencoded", "topencoded", "control", "fixed_offset",
// "unknown"). An expression option gets evaluator for compiling its values.
CGeneralPtr<COption> makeOption(const COptionAttributes& attributes, COption* parent = nullptr,
                                std::uint64_t context = 0, CExpEval* evaluator = nullptr);
// makeOption(shared, ...): the same for an option that reads a shared
// definition in place (see COption); the definition must outlive it.
CGeneralPtr<COption> makeOption(COption::CSharedDefinition shared, COption* parent = nullptr,
                                std::uint64_t context = 0, CExpEval* evaluator = nullptr);

// makeMessageRoot: the root of a DHCPv4 (family 4) or DHCPv6 (any other
// family) message: a container of type "topencoded" with tag path 0 and the
// name "dhcp4-message" or "dhcp6-message", whose sub-options stay without
// parent.
CGeneralPtr<COption> makeMessageRoot(std::uint32_t family, std::uint64_t context = 0);

}  // namespace qvt
