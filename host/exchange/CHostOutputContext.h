// CHostOutputContext: the reply of an exchange as the reference host builds
// it, read by $OUTP and $OUTP.YIADDR.
//
//   CHostOutputContext reply(makeMessageRoot(4));   // nothing in it yet
//   reply.setMessage(decodedOffer);                  // a reply read from a capture
#pragma once

#include <utility>

#include "class_a/standard/CGeneralPtr.h"
#include "class_b/dhcp/dhcp_base/COption.h"
#include "class_b/dhcp/dhcp_eval/COutputContext.h"

namespace qvt::host {

class CHostOutputContext : public COutputContext {
 public:
  // CHostOutputContext: the reply message's root (empty: no reply).
  explicit CHostOutputContext(CGeneralPtr<COption> message = CGeneralPtr<COption>());
  ~CHostOutputContext() override;

  // outgoingMessage: a copy of the reply's holder. The holder's count is
  // single-threaded: the context belongs to the thread of its exchange.
  CGeneralPtr<COption> outgoingMessage() const override { return message_; }
  void setMessage(CGeneralPtr<COption> message) { message_ = std::move(message); }

 private:
  CGeneralPtr<COption> message_;
};

}  // namespace qvt::host
