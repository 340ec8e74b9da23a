#include "class_a/standard/CExceptionFacade.h"

#include "class_a/standard/Fail.h"

using qvt::CException;
using qvt::CExceptionPtr;
using qvt::CRaiser;
using qvt::fail;

CExceptionFacade::CExceptionFacade(qvt::CILogger* logger, const qvt::CMessageStore* store)
    : logger_(logger), store_(store) {}

CExceptionFacade::~CExceptionFacade() {
  clear();
}

void CExceptionFacade::push(const CExceptionPtr& exception) {
  if (exception.isNull()) return;
  stack_.push_front(exception);
  if (stack_.size() <= kCapacity) return;
  if (logger_ != nullptr) {
    qvt::CMessage message(
        "The exception stack is exhausted. The next %1 message(s) are from the exception stack.",
        static_cast<std::uint32_t>(stack_.size()));
    message.setModule("extended");
    if (store_ != nullptr) store_->translate(message, _locale());
    logger_->log(message.text(), message.module(), qvt::kSeverityError);
  }
  flush();
}

void CExceptionFacade::clear() {
  stack_.clear();
}

std::uint32_t CExceptionFacade::severity() const {
  if (stack_.empty()) {
    fail(CRaiser::of(*this), "extended", "CExceptionFacade::severity",
         "Cannot compute exception severity.", "Exception stack is empty.");
  }
  return stack_.back()->severity();
}

std::string CExceptionFacade::text(const std::string& locale) const {
  std::string joined;
  for (const CExceptionPtr& entry : stack_) {
    if (!joined.empty()) joined += " / ";
    joined += entry->text(store_, locale);
  }
  return joined;
}

std::string CExceptionFacade::combinedText(const std::string& locale) const {
  if (stack_.empty()) return "<No data>";
  const CException& last = *stack_.back();
  CException combined(*stack_.front());
  combined.setReason(last.reason());
  // The reason's error code decides whether it is translated.
  combined.setErrorCode(last.errorCode());
  return combined.text(store_, locale);
}

void CExceptionFacade::flush() {
  // Swap the entries out first: a logger that reports into this stack again
  // must not disturb the loop.
  qvt::CExceptionList entries;
  entries.swap(stack_);
  if (logger_ == nullptr) return;
  const std::string locale = _locale();
  for (const CExceptionPtr& entry : entries) {
    logger_->log(entry->text(store_, locale), entry->module(), entry->severity());
  }
}

std::size_t CExceptionFacade::size() const {
  return stack_.size();
}

CExceptionPtr CExceptionFacade::inner() const {
  if (stack_.empty()) {
    fail(CRaiser::of(*this), "extended", "CExceptionFacade::inner",
         "Cannot retrieve inner exception.", "Exception stack is empty.");
  }
  return stack_.front();
}

CExceptionPtr CExceptionFacade::outer() const {
  if (stack_.empty()) {
    fail(CRaiser::of(*this), "extended", "CExceptionFacade::outer",
         "Cannot retrieve outer exception.", "Exception stack is empty.");
  }
  return stack_.back();
}

qvt::CExceptionList& CExceptionFacade::stack() {
  return stack_;
}

const qvt::CExceptionList& CExceptionFacade::stack() const {
  return stack_;
}

std::string CExceptionFacade::_locale() const {
  return store_ != nullptr ? store_->defaultLocale() : std::string("en_US");
}
