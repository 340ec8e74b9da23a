// CClassifier: the output of `dhcp-eval --classes`: for each packet, the
// classes of a class file whose expression gives true with the packet's
// evaluator, and the classes that failed with their errors.
//
//   CClassifier classifier(classes, /*json=*/false, std::cout);
//   classifier.check(*probeEvaluator);          // every class compiles
//   classifier.classify(1, 4, request, *evaluator);
//   // frame 1 DISCOVER 02-00-5E-10-00-01: cable-modem discover
//
// A plain line names the frame, the message type (DISCOVER ... for DHCPv4,
// BOOTREQUEST or BOOTREPLY without option 53, SOLICIT ... for DHCPv6, the
// client's type for a relayed message), the client (DHCPv4: the hardware
// address; DHCPv6: the client identifier; "-" when absent), then the
// classes, "(none)" when there is none, then "; error: CLASS: TEXT" for each
// class that failed. A JSON line is {"frame": N, "type": T, "client": C,
// "classes": [...], "errors": {"CLASS": {error object}, ...}}. A class holds
// when its value is known and converts to the boolean true.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

#include "class_a/exp_eval/CExpEval.h"
#include "class_a/standard/CException.h"
#include "class_a/standard/CGeneralPtr.h"
#include "class_b/dhcp/dhcp_base/COption.h"
#include "tools/dhcp-eval/CClassFile.h"

namespace qvt::tool {

class CClassifier {
 public:
  // CClassifier: for classes (which must outlive it), writing to out.
  CClassifier(const CClassFile& classes, bool json, std::ostream& out);

  // check: compiles every class with evaluator, so that one that cannot
  // compile stops the run before any output. Raises "Class '%1' (line %2)
  // does not compile." (module "dhcp-eval", operation "CClassifier::check")
  // with the compiler's error text as the reason.
  void check(CExpEval& evaluator) const;
  // classify: the line of one packet of family whose tree is request.
  void classify(std::uint64_t frame, int family, const CGeneralPtr<COption>& request,
                CExpEval& evaluator);
  // packetFailed: the line of a packet that could not be decoded
  // ("frame N: error: TEXT" or {"frame": N, "error": {...}}).
  void packetFailed(std::uint64_t frame, const CException& e);

  // failures: packets with a failed class or that could not be decoded.
  std::size_t failures() const { return failures_; }

  // messageType, client: the second and third field of a line.
  static std::string messageType(int family, const CGeneralPtr<COption>& request);
  static std::string client(int family, const CGeneralPtr<COption>& request);

 private:
  const CClassFile& classes_;
  bool json_;
  std::ostream& out_;
  std::size_t failures_ = 0;
};

}  // namespace qvt::tool
