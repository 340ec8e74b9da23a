// CProtocolContext: the host's description of the protocol an evaluator
// serves.
//
// The host passes an object of its own derived class to
// CIDHCPEvalFactory::instance; the factory reads protocolFamily() to choose the
// evaluator, and the evaluator keeps hostContext as the host context of its
// expression engine. The derived class adds what the DHCP functions ask of the
// host (provisioner, key-value database).
#pragma once

#include <string>

#include "class_a/standard/CProtocolFamily.h"

namespace qvt {
class CIHostContext;
}

class CProtocolContext {
 public:
  // A context for hostContext (not owned; may be null) under a display name.
  CProtocolContext(qvt::CIHostContext* hostContext, std::string name);
  CProtocolContext(const CProtocolContext&) = default;
  CProtocolContext& operator=(const CProtocolContext&) = default;
  virtual ~CProtocolContext();

  // protocolFamily: the family the host serves here. Base: unspecified (0).
  virtual qvt::CProtocolFamily protocolFamily() const;

  qvt::CIHostContext* hostContext() const { return hostContext_; }
  const std::string& name() const { return name_; }

 private:
  qvt::CIHostContext* hostContext_;
  std::string name_;
};
