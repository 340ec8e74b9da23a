#include "class_a/standard/CException.h"

#include <ctime>

#include "class_a/standard/CIExceptionFacade.h"
#include "class_a/standard/CMessageStore.h"
#include "class_a/standard/Fail.h"
#include "class_a/standard/SystemError.h"

namespace qvt {

CException::CException() : time_(static_cast<std::int64_t>(std::time(nullptr))) {}

CException::CException(const CException& other)
    : className_(other.className_),
      line_(other.line_),
      file_(other.file_),
      description_(other.description_),
      reason_(other.reason_),
      module_(other.module_),
      operation_(other.operation_),
      errorCode_(other.errorCode_),
      severity_(other.severity_),
      time_(other.time_),
      source_(other.source_),
      reported_(false) {}

CException& CException::operator=(const CException& other) {
  if (this != &other) {
    className_ = other.className_;
    line_ = other.line_;
    file_ = other.file_;
    description_ = other.description_;
    reason_ = other.reason_;
    module_ = other.module_;
    operation_ = other.operation_;
    errorCode_ = other.errorCode_;
    severity_ = other.severity_;
    time_ = other.time_;
    source_ = other.source_;
  }
  return *this;
}

CException::~CException() = default;

CException* CException::clone() const {
  return new CException(*this);
}

void CException::report(CIExceptionFacade* sink) {
  if (reported_ || sink == nullptr) return;
  sink->push(CExceptionPtr(clone()));
  reported_ = true;
}

const CMessage& CException::reason() {
  if (reason_.templateText().empty() && errorCode_ != 0) {
    reason_.setTemplateText(systemErrorText(errorCode_));
  }
  return reason_;
}

CMessage CException::reason() const {
  CMessage copy = reason_;
  if (copy.templateText().empty() && errorCode_ != 0) {
    copy.setTemplateText(systemErrorText(errorCode_));
  }
  return copy;
}

std::string CException::text(const CMessageStore* store, const std::string& locale) const {
  CMessage description = description_;
  CMessage reason = this->reason();
  if (store != nullptr) {
    store->translate(description, locale);
    if (errorCode_ == 0) store->translate(reason, locale);
  }
  std::string result = description.text();
  const std::string reasonText = reason.text();
  if (!reasonText.empty()) result += " (" + reasonText + ")";
  return result;
}

std::string CException::location() const {
  return className_ + ", " + file_ + ", " + std::to_string(line_);
}

namespace {

struct LevelWord {
  const char* word;
  std::uint32_t bit;
};

// The order in which mask texts list their words.
constexpr LevelWord kLevelWords[] = {
    {"error", kSeverityError}, {"warning", kSeverityWarning}, {"info", kSeverityInfo},
    {"audit", kSeverityAudit}, {"debug", kSeverityDebug},     {"verbose", kSeverityVerbose},
};

std::string stripSpaces(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::uint32_t CException::severityMask(const std::string& text) {
  if (text.empty()) return 0;
  std::uint32_t mask = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t comma = text.find(',', start);
    const std::size_t end = comma == std::string::npos ? text.size() : comma;
    const std::string piece = stripSpaces(text.substr(start, end - start));
    bool known = false;
    if (piece == "*" || piece == "all") {
      mask = kSeverityAll;
      known = true;
    }
    for (const LevelWord& level : kLevelWords) {
      if (piece == level.word) {
        mask |= level.bit;
        known = true;
      }
    }
    if (!known) {
      fail(CRaiser::none(), "standard", "CException::severityMask",
           {"Cannot parse severity mask '%1'.", piece}, "Invalid value.");
    }
    if (comma == std::string::npos) break;
    start = comma + 1;  // a comma at the very end ends the loop here
  }
  return mask;
}

std::string CException::severityMaskText(std::uint32_t mask) {
  std::string text;
  for (const LevelWord& level : kLevelWords) {
    if ((mask & level.bit) == 0) continue;
    if (!text.empty()) text += ",";
    text += level.word;
  }
  return text;
}

CNumberConversionException::~CNumberConversionException() = default;

}  // namespace qvt
