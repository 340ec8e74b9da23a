// Built-in type conversions: $INT/$INTEGER, $BOOL, $BYTES/$MAC, $IP,
// $IP.MAP and $IP.UNMAP.
#include <cstdint>
#include <limits>

#include "class_a/exp_eval/CExpEval.h"

namespace qvt {

void CExpEval::_convertEach(CMultiVariant& results, CMultiVariant& arguments, CVariantType type,
                            CVariantSubType subtype) {
  for (; !arguments.empty(); arguments.advance()) {
    CVariant converted(arguments.current());
    converted.convert(type, subtype);
    results.append(std::move(converted));
  }
}

void CExpEval::_int(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_int", "Failed to execute function $INT()."};
  _requireArguments(evaluator, arguments, kCall, 1, 1);
  _convertEach(results, arguments, CVariantType::kInteger, CVariantSubType::kGeneral);
}

void CExpEval::_bool(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_bool", "Failed to execute function $BOOL()."};
  _requireArguments(evaluator, arguments, kCall, 1, 1);
  _convertEach(results, arguments, CVariantType::kBoolean, CVariantSubType::kGeneral);
}

void CExpEval::_bytes(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_bytes", "Failed to execute function $BYTES()."};
  _requireArguments(evaluator, arguments, kCall, 1, 1);
  _convertEach(results, arguments, CVariantType::kHexStore, CVariantSubType::kGeneral);
}

void CExpEval::_ip(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_ip", "Failed to execute function $IP()."};
  _requireArguments(evaluator, arguments, kCall, 1, 2);
  CVariant address(arguments.current());
  CVariantSubType family = CVariantSubType::kGeneral;
  if (arguments.size() == 2) {
    arguments.advance();
    const std::int64_t number = arguments.current().integer();
    // 255 is "no particular family"; CVariantSubType::type refuses every
    // number but 4 and 6 (0 stands in for numbers beyond 32 bits).
    if (number != 255) {
      const bool fits = number >= 0 && number <= std::numeric_limits<std::uint32_t>::max();
      family = CVariantSubType::type(fits ? static_cast<std::uint32_t>(number) : 0);
    }
  }
  address.convert(CVariantType::kIPAddress, family);
  results.append(std::move(address));
}

void CExpEval::_map_address(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_map_address",
                                   "Failed to execute function $IP.MAP()."};
  _requireArguments(evaluator, arguments, kCall, 1, kAnyCount);
  _convertEach(results, arguments, CVariantType::kIPAddress, CVariantSubType::kIPv6);
}

void CExpEval::_unmap_address(CExpEval& evaluator, CMultiVariant& results,
                              CMultiVariant& arguments) {
  static constexpr CCallName kCall{"CExpEval::_unmap_address",
                                   "Failed to execute function $IP.UNMAP()."};
  _requireArguments(evaluator, arguments, kCall, 1, kAnyCount);
  _convertEach(results, arguments, CVariantType::kIPAddress, CVariantSubType::kIPv4);
}

}  // namespace qvt
