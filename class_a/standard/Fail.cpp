#include "class_a/standard/Fail.h"

namespace qvt {

CException makeException(const CRaiser& raiser, const std::string& module,
                         const std::string& operation, CMessage description, CMessage reason,
                         std::uint32_t errorCode, std::uint32_t severity, CSourceLocation where) {
  CException e;
  e.setClassName(raiser.className());
  e.setFile(where.file ? where.file : "");
  e.setLine(where.line);
  description.setModule(module);
  e.setDescription(description);
  e.setErrorCode(errorCode);
  reason.setModule(module);
  e.setReason(reason);
  e.setModule(module);
  e.setOperation(operation);
  e.setSeverity(severity);
  e.setSource(raiser.source());
  return e;
}

void fail(const CRaiser& raiser, const std::string& module, const std::string& operation,
          CMessage description, CMessage reason, std::uint32_t severity, CSourceLocation where) {
  throw makeException(raiser, module, operation, std::move(description), std::move(reason), 0,
                      severity, where);
}

void failSystem(const CRaiser& raiser, const std::string& module, const std::string& operation,
                CMessage description, std::uint32_t errorCode, std::uint32_t severity,
                CSourceLocation where) {
  throw makeException(raiser, module, operation, std::move(description), CMessage(), errorCode,
                      severity, where);
}

void failNumber(const CRaiser& raiser, const std::string& module, const std::string& operation,
                CMessage description, CMessage reason, CSourceLocation where) {
  throw CNumberConversionException(makeException(raiser, module, operation,
                                                 std::move(description), std::move(reason), 0,
                                                 kSeverityError, where));
}

void failNumberSystem(const CRaiser& raiser, const std::string& module,
                      const std::string& operation, CMessage description,
                      std::uint32_t errorCode, CSourceLocation where) {
  throw CNumberConversionException(makeException(raiser, module, operation,
                                                 std::move(description), CMessage(), errorCode,
                                                 kSeverityError, where));
}

}  // namespace qvt
