// CExceptionFacade: the exception stack, writing to a logger.
//
// Holds up to 25 reported exceptions. The 26th push first logs "The exception
// stack is exhausted. The next 26 message(s) are from the exception stack."
// (module "extended", severity error) and then flushes: every entry goes to
// the logger with its text, module and severity, and the stack is emptied.
//
//   CExceptionFacade stack(&logger, &messageStore);
//   try { ... } catch (qvt::CException& e) { e.report(&stack); }
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "class_a/standard/CIExceptionFacade.h"
#include "class_a/standard/CILogger.h"
#include "class_a/standard/CMessageStore.h"

// No namespace: the stack belongs to the server process's controller.
class CExceptionFacade : public qvt::CIExceptionFacade {
 public:
  // The number of entries kept before the stack is flushed.
  static constexpr std::size_t kCapacity = 25;

  // logger receives flushed entries (null: they are dropped); store, when
  // given, translates texts. Both must outlive the stack.
  explicit CExceptionFacade(qvt::CILogger* logger, const qvt::CMessageStore* store = nullptr);
  ~CExceptionFacade() override;

  // push: a null pointer is ignored.
  void push(const qvt::CExceptionPtr& exception) override;
  void clear() override;
  std::uint32_t severity() const override;
  std::string text(const std::string& locale) const override;
  std::string combinedText(const std::string& locale) const override;
  // flush: entries are logged from first to last, translated to the store's
  // default locale.
  void flush() override;
  std::size_t size() const override;
  qvt::CExceptionPtr inner() const override;
  qvt::CExceptionPtr outer() const override;
  qvt::CExceptionList& stack() override;
  const qvt::CExceptionList& stack() const override;

 private:
  std::string _locale() const;

  qvt::CILogger* logger_;
  const qvt::CMessageStore* store_;
  qvt::CExceptionList stack_;
};
