// HostStandIns: the host objects a DHCPv4 server hands our evaluator factory,
// reduced to what the benchmark's expressions need.
//
//   CBenchHostContext: quiet logger, fixed shared server key.
//   CBenchProtocolContext: family 4, no provisioner, no key-value store.
//   CBenchServer: the server object, giving its vendor lookup.
//   CNoReply: an output context while no reply is being built.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "class_a/standard/CIHostContext.h"
#include "class_a/standard/CILogger.h"
#include "class_b/dhcp/dhcp_eval/CIServerObject.h"
#include "class_b/dhcp/dhcp_eval/COutputContext.h"
#include "class_b/dhcp/dhcp_eval/CProtocolContext.h"

namespace keabench {

class CQuietLogger : public qvt::CILogger {
 public:
  void log(const std::string& message, const std::string& module, std::uint32_t severity) override;
};

class CBenchHostContext : public qvt::CIHostContext {
 public:
  qvt::CILogger& logger() override { return logger_; }
  std::vector<std::uint8_t> sharedServerKey() override;

 private:
  CQuietLogger logger_;
};

class CBenchProtocolContext : public CProtocolContext {
 public:
  explicit CBenchProtocolContext(qvt::CIHostContext* hostContext);
  qvt::CProtocolFamily protocolFamily() const override;
};

class CBenchServer : public CIServerObject {
 public:
  // CBenchServer: lookup is not owned and must outlive the server (may be
  // null: no vendors).
  explicit CBenchServer(const qvt::CVendorLookup* lookup) : lookup_(lookup) {}
  const qvt::CVendorLookup* vendorLookup() const override { return lookup_; }

 private:
  const qvt::CVendorLookup* lookup_;
};

class CNoReply : public COutputContext {
 public:
  qvt::CGeneralPtr<qvt::COption> outgoingMessage() const override;
};

}  // namespace keabench
