// CObject: common base of the framework's value and definition classes.
//
// Every framework object turns into text and back the same way: string() gives
// its text form and string(text) assigns it from one. Errors of either
// direction name the class's "string" as their operation.
#pragma once

#include <string>

namespace qvt {

class CObject {
 public:
  virtual ~CObject() = default;

  // typeName: the demangled run-time type name ("qvt::CIPAddress").
  virtual std::string typeName() const;

  // string(text): assigns the object from its text form.
  virtual void string(const std::string& text) = 0;
  // string(): the object's text form.
  virtual std::string string() const = 0;

  // Forwarders kept for callers that prefer explicit names.
  virtual void fromString(const std::string& text) { string(text); }
  virtual std::string toString() const { return string(); }
};

}  // namespace qvt
