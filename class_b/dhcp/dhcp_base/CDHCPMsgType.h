// CDHCPMsgType: the type of a DHCP message, named in expressions by text.
#pragma once

#include <string>

namespace qvt {

class CDHCPMsgType {
 public:
  virtual ~CDHCPMsgType();

  // operator=(text): sets the type from its name; raises for an unknown name.
  virtual CDHCPMsgType& operator=(const std::string& text) = 0;
  // string: the type's name.
  virtual std::string string() const = 0;

 protected:
  CDHCPMsgType() = default;
  CDHCPMsgType(const CDHCPMsgType&) = default;
  CDHCPMsgType& operator=(const CDHCPMsgType&) = default;
};

}  // namespace qvt
