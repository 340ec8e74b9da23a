// CIExceptionFacade: the exception stack of a server process.
//
// Exceptions that are caught and are to be logged later are pushed here
// (CException::report pushes a clone). The most recently pushed entry is the
// first one ("inner"), the earliest still held the last ("outer"). Entries are
// shared through a thread-safe owning pointer, so an entry may outlive the
// stack in another thread's hands; the stack itself takes no lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <string>

#include "class_a/standard/CException.h"
#include "class_a/standard/CGeneralPtr.h"

namespace qvt {

// CExceptionPtr: how exceptions are shared between the stack and its readers.
using CExceptionPtr = CGeneralPtr<CException, CMTOwnerPolicy, CNoMethodLockPolicy,
                                  CNoObjectLockPolicy, CConstructorDeepCopyPolicy, CLockProxy>;
using CExceptionList = std::list<CExceptionPtr>;

class CIExceptionFacade {
 public:
  virtual ~CIExceptionFacade() = default;

  // push: inserts exception as the first (inner) entry; a stack that then
  // holds more than 25 entries is handed to the log and emptied.
  virtual void push(const CExceptionPtr& exception) = 0;
  // clear: removes all entries.
  virtual void clear() = 0;
  // severity: the severity of the last (outer) entry. Raises "Cannot compute
  // exception severity." ("Exception stack is empty.") on an empty stack.
  virtual std::uint32_t severity() const = 0;
  // text: the texts of all entries, first to last, translated to locale and
  // joined by " / "; empty for an empty stack.
  virtual std::string text(const std::string& locale) const = 0;
  // combinedText: the first entry's description with the last entry's reason,
  // composed as CException::text; "<No data>" for an empty stack.
  virtual std::string combinedText(const std::string& locale) const = 0;
  // flush: writes every entry to the log, then clears the stack.
  virtual void flush() = 0;
  // size: the number of entries.
  virtual std::size_t size() const = 0;
  // inner: the first (most recent) entry. Raises "Cannot retrieve inner
  // exception." ("Exception stack is empty.") on an empty stack.
  virtual CExceptionPtr inner() const = 0;
  // outer: the last (earliest) entry. Raises "Cannot retrieve outer
  // exception." ("Exception stack is empty.") on an empty stack.
  virtual CExceptionPtr outer() const = 0;
  // stack: the list itself.
  virtual CExceptionList& stack() = 0;
  virtual const CExceptionList& stack() const = 0;
};

}  // namespace qvt
