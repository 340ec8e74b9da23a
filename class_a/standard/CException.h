// CException: the one failure type of the system.
//
// An exception carries a description (what failed, with %1... arguments) and a
// reason (why), where it was raised (class, file, line, module, operation), an
// operating-system error code, a severity and its creation time. Raising sites
// do not build it by hand: they call qvt::fail (Fail.h), which fills it the
// same way everywhere.
#pragma once

#include <cstdint>
#include <string>

#include "class_a/standard/CMessage.h"

namespace qvt {

class CIExceptionFacade;
class CMessageStore;

class CException {
 public:
  // Empty texts, messages of module "standard", time = now, not reported.
  CException();
  // Copies every field except `reported`, which starts false.
  CException(const CException& other);
  CException& operator=(const CException& other);
  virtual ~CException();

  // report: hands a clone to the exception stack once; later calls (and calls
  // with a null sink) do nothing. A copy starts unreported.
  virtual void report(CIExceptionFacade* sink);
  // clone: a heap copy, owned by the caller.
  virtual CException* clone() const;

  const std::string& className() const { return className_; }
  void setClassName(std::string name) { className_ = std::move(name); }
  std::uint32_t line() const { return line_; }
  void setLine(std::uint32_t line) { line_ = line; }
  const std::string& file() const { return file_; }
  void setFile(std::string file) { file_ = std::move(file); }

  const CMessage& description() const { return description_; }
  CMessage& description() { return description_; }
  void setDescription(const CMessage& message) { description_ = message; }

  // reason: the explicit reason, or, when none was given and an error code is
  // set, the system's text for the code.
  const CMessage& reason();
  CMessage reason() const;
  void setReason(const CMessage& message) { reason_ = message; }

  const std::string& module() const { return module_; }
  void setModule(std::string module) { module_ = std::move(module); }
  const std::string& operation() const { return operation_; }
  void setOperation(std::string operation) { operation_ = std::move(operation); }
  std::uint32_t errorCode() const { return errorCode_; }
  void setErrorCode(std::uint32_t code) { errorCode_ = code; }
  std::uint32_t severity() const { return severity_; }
  void setSeverity(std::uint32_t severity) { severity_ = severity; }
  std::int64_t time() const { return time_; }
  void setTime(std::int64_t time) { time_ = time; }
  const void* source() const { return source_; }
  void setSource(const void* source) { source_ = source; }
  bool reported() const { return reported_; }

  // text: the description, followed by " (reason)" when the reason is not
  // empty; translated through store (may be null) to locale. System texts are
  // not translated.
  std::string text(const CMessageStore* store = nullptr,
                   const std::string& locale = std::string()) const;

  // location: "className, file, line".
  std::string location() const;

  // severityMask: parses "error,warning", "*" or "all"; raises "Invalid value."
  // for any other piece. Level words are case-sensitive.
  static std::uint32_t severityMask(const std::string& text);
  // severityMaskText: the words of the set bits in the order error, warning,
  // info, audit, debug, verbose, joined by ",".
  static std::string severityMaskText(std::uint32_t mask);

 private:
  std::string className_;
  std::uint32_t line_ = 0;
  std::string file_;
  CMessage description_;
  CMessage reason_;
  std::string module_;
  std::string operation_;
  std::uint32_t errorCode_ = 0;
  std::uint32_t severity_ = 0;
  std::int64_t time_ = 0;
  const void* source_ = nullptr;
  bool reported_ = false;
};

// CNumberConversionException: raised by the number parsers; adds nothing.
class CNumberConversionException : public CException {
 public:
  CNumberConversionException() = default;
  explicit CNumberConversionException(const CException& base) : CException(base) {}
  ~CNumberConversionException() override;
};

}  // namespace qvt
