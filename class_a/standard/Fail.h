// fail: the one way to raise a CException.
//
// Every raising site names who raised (CRaiser), the module and operation, a
// description and a reason; the file and line of the call are taken
// automatically:
//
//   fail(CRaiser::none(), "standard", "CBitShift::left",
//        {"Cannot left shift by %1 bits.", n}, "Negative shift is not supported.");
//
// failSystem() gives no reason: the thread's last system error code is stored
// instead, and CException::reason() later supplies the system's text for it.
#pragma once

#include <cstdint>
#include <string>

#include "class_a/standard/CException.h"
#include "class_a/standard/Severity.h"
#include "class_a/standard/SystemError.h"
#include "class_a/standard/TypeName.h"

namespace qvt {

// CSourceLocation: file and line of the caller, taken through default
// arguments (the compilers' __builtin_FILE and __builtin_LINE).
struct CSourceLocation {
  const char* file;
  std::uint32_t line;
  static constexpr CSourceLocation current(const char* file = __builtin_FILE(),
                                           std::uint32_t line = __builtin_LINE()) {
    return CSourceLocation{file, line};
  }
};

// CRaiser: who raised a failure: "static" for free functions and static
// members, or an object's demangled run-time type and its address.
class CRaiser {
 public:
  static CRaiser none() { return CRaiser("static", nullptr); }
  template <class T>
  static CRaiser of(const T& object) {
    return CRaiser(typeNameOf(object), &object);
  }
  static CRaiser named(std::string className, const void* source = nullptr) {
    return CRaiser(std::move(className), source);
  }

  const std::string& className() const { return className_; }
  const void* source() const { return source_; }

 private:
  CRaiser(std::string className, const void* source)
      : className_(std::move(className)), source_(source) {}
  std::string className_;
  const void* source_;
};

// makeException: builds an exception the way every raising site does.
CException makeException(const CRaiser& raiser, const std::string& module,
                         const std::string& operation, CMessage description, CMessage reason,
                         std::uint32_t errorCode, std::uint32_t severity, CSourceLocation where);

// fail: raises a CException with an explicit reason.
[[noreturn]] void fail(const CRaiser& raiser, const std::string& module,
                       const std::string& operation, CMessage description, CMessage reason,
                       std::uint32_t severity = kSeverityError,
                       CSourceLocation where = CSourceLocation::current());

// failSystem: raises a CException whose reason is the text of a system error
// code (by default the thread's last error).
[[noreturn]] void failSystem(const CRaiser& raiser, const std::string& module,
                             const std::string& operation, CMessage description,
                             std::uint32_t errorCode = lastSystemError(),
                             std::uint32_t severity = kSeverityError,
                             CSourceLocation where = CSourceLocation::current());

// failNumber: as fail, but raises a CNumberConversionException.
[[noreturn]] void failNumber(const CRaiser& raiser, const std::string& module,
                             const std::string& operation, CMessage description, CMessage reason,
                             CSourceLocation where = CSourceLocation::current());
[[noreturn]] void failNumberSystem(const CRaiser& raiser, const std::string& module,
                                   const std::string& operation, CMessage description,
                                   std::uint32_t errorCode = lastSystemError(),
                                   CSourceLocation where = CSourceLocation::current());

}  // namespace qvt
