// COutputContext: the reply the server is building for an exchange, as $OUTP
// and $OUTP.YIADDR read it. The evaluators ask for the message on every read,
// so they see the reply in its state at that moment.
#pragma once

#include "class_a/standard/CGeneralPtr.h"
#include "class_b/dhcp/dhcp_base/COption.h"

class COutputContext {
 public:
  virtual ~COutputContext();

  // outgoingMessage: the root of the reply being built; an empty holder while
  // there is no reply.
  virtual qvt::CGeneralPtr<qvt::COption> outgoingMessage() const = 0;

 protected:
  COutputContext() = default;
  COutputContext(const COutputContext&) = default;
  COutputContext& operator=(const COutputContext&) = default;
};
