// CExpEval: the expression engine.
//
// It compiles expression text into reusable syntax trees (parse, then
// buildTree), executes them, and dispatches every call written with "$" to the
// handler registered under the name that follows it. The constructor
// registers the 46 built-in functions; the DHCP evaluators derive from it and
// register their own names beside them:
//
//   CExpEval engine(&host);
//   CGeneralPtr<CSyntaxTreeProxy> tree = engine.compile("$LEFT('abcdef', 2) + 'x'");
//   CVariant result;
//   engine.execute(result, tree);   // string "abx"
//
// An engine and the trees it compiled are used by one thread at a time. Trees
// nested deeper than CNodeBaseFactory::kMaxDepth levels are refused when they
// are built; expressions run from within expressions ($EVAL, $VALUE) nest at
// most kMaxNestedRuns deep and share that depth; and an execution that comes
// within kStackReserve bytes of the end of its thread's stack stops with an
// error. So no expression overflows the stack, and every compiled expression
// runs to its end on a 256 KiB thread stack in an optimised or plain debug
// build. A function's value is at most kMaxValueSize bytes long, so nested
// calls cannot make a value grow beyond bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "class_a/exp_eval/CMultiVariant.h"
#include "class_a/exp_eval/CToken.h"
#include "class_a/security/CBlowfish.h"
#include "class_a/standard/CGeneralPtr.h"
#include "class_a/standard/CVariant.h"

namespace qvt {

class CExpEval;
class CIExceptionFacade;
class CIHostContext;
class CITraceSink;
class CNodeBaseFactory;
class CSyntaxTreeProxy;

// CFunctionHandler: a function of the expression language. It reads its
// arguments first to last (current, then advance) and appends its result.
using CFunctionHandler = void (*)(CExpEval& evaluator, CMultiVariant& results,
                                  CMultiVariant& arguments);

template <>
struct CGeneralPtrModule<CExpEval> {
  static const char* name() { return "exp_eval"; }
};

class CExpEval {
 public:
  // kMaxNestedRuns: how many executions may be active at once in one engine
  // (an expression, the expression its $EVAL runs, and so on).
  static constexpr std::uint32_t kMaxNestedRuns = 8;
  // kMaxValueSize: the longest string or byte sequence (in bytes) a
  // function may give; longer ones fail the call (more than any DHCP
  // message holds).
  static constexpr std::size_t kMaxValueSize = 65536;
  // kStackReserve: interpretation stops with an error when it comes within
  // this many bytes of the end of the running thread's stack.
  static constexpr std::size_t kStackReserve = 64 * 1024;

  // CFunctionTable: names (case-sensitive, byte order) and their handlers.
  using CFunctionTable = std::map<std::string, CFunctionHandler, std::less<>>;
  using CFunctionEntry = std::pair<const char*, CFunctionHandler>;
  // makeFunctionTable: a table of entries taken in order, so a name that
  // comes again replaces the earlier handler (as registerFunction does).
  static CFunctionTable makeFunctionTable(std::initializer_list<CFunctionEntry> entries);

  // CExpEval: keeps hostContext (not owned; may be null) and registers the
  // built-in functions. The cipher stays unkeyed until initCipher.
  explicit CExpEval(CIHostContext* hostContext);
  CExpEval(const CExpEval&) = delete;
  CExpEval& operator=(const CExpEval&) = delete;
  virtual ~CExpEval();

  // compile: parse, buildTree and a new proxy over the factory and tokens.
  // Raises the errors of parse and of the node factory.
  virtual CGeneralPtr<CSyntaxTreeProxy> compile(std::string text);
  // execute (list form): interprets every root of tree in order, then fills
  // results with the roots' values, the first root's value current. Raises
  // "Cannot execute expression." ("Invalid syntax tree.") for a null tree,
  // "No result calculated." ("Expression evaluates to nothing.") for a tree
  // without roots, "Cannot execute expression." with a nesting reason when
  // nested executions exceed their limits, and every error of interpretation.
  // A tree asked to run while it is running already (its own text reached
  // again through $EVAL or $VALUE) runs as a copy built from its tokens, so
  // neither run disturbs the values the other keeps in the nodes.
  virtual void execute(CMultiVariant& results, const CGeneralPtr<CSyntaxTreeProxy>& tree);
  // execute (single form): the first root's value into result: the value
  // the list form makes current, with the same errors, taken without filling
  // a list.
  virtual void execute(CVariant& result, const CGeneralPtr<CSyntaxTreeProxy>& tree);
  // registerFunction: puts handler under name (case-sensitive), replacing
  // any handler already there.
  virtual void registerFunction(const std::string& name, CFunctionHandler handler);
  // parse: the postfix tokens of text (cleared first). An empty text, or one
  // of blanks and square brackets only, gives no tokens and no error. Raises
  // "Cannot parse expression '%1'." ("Mismatched parentheses.") for an
  // unclosed "(", the errors of guessing an operand's type, and those of
  // _isUsable.
  virtual void parse(std::string text, CTokenList& postfix);
  // buildTree: a new node factory for this engine fed every token in order.
  // Raises the factory's errors (an unknown operator, a tree too deep).
  virtual CGeneralPtr<CNodeBaseFactory> buildTree(const CTokenList& tokens);
  // isExtendedOperator: asked by the scanner where no operator spelling
  // matches; true makes the character at that position the operator "$$".
  // afterOperator: the last non-blank character seen ended an operator;
  // rest: the text from the position on. The engine answers false.
  virtual bool isExtendedOperator(bool afterOperator, std::string_view rest);

  // callback: runs the handler registered under name. Raises "Runtime error."
  // ("Unknown function '%1'.", operation "CExpEval::callback") for a name
  // that is not registered.
  void callback(CMultiVariant& results, std::string_view name, CMultiVariant& arguments);
  // _isUsable: raises "Invalid expression." ("Expression '%1' evaluates to
  // nothing.") when tokens is empty.
  void _isUsable(const std::string& text, const CTokenList& tokens) const;
  // initCipher: keys the cipher with the host context's shared server key.
  // Raises "Cannot initialize cipher." ("No host context supplies a shared
  // server key.") without a host context, and the cipher's key errors.
  void initCipher();
  // setKeyCipherOnFirstUse: with on, the first cipher function that finds the
  // cipher unkeyed runs initCipher itself (raising its key errors there), so
  // the host is asked for its key only when a cipher is actually used.
  // Without a host context the cipher stays unkeyed and the cipher functions
  // fail with "The cipher has not been keyed.". Off by default.
  void setKeyCipherOnFirstUse(bool on) noexcept { keyOnFirstUse_ = on; }
  bool keyCipherOnFirstUse() const noexcept { return keyOnFirstUse_; }

  // _checkStack: raises "Cannot execute expression." ("The expression is
  // nested too deeply for the stack of this thread.") when an execution has
  // come within kStackReserve bytes of the end of the thread's stack. Every
  // operator node checks on entry.
  void _checkStack() const {
    if (reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)) < stackFloor_) _failStack();
  }

  // handlerOf: the handler registered under name; null when there is none.
  CFunctionHandler handlerOf(std::string_view name) const { return _find(name); }
  // functionTableVersion: changes whenever a function is registered, so that
  // a handler looked up earlier can be reused while it stays the same.
  std::uint64_t functionTableVersion() const noexcept { return tableVersion_; }

  // hasFunction: whether name is registered.
  bool hasFunction(std::string_view name) const;
  // functionNames: every registered name, in byte order (built-in, class
  // table and later registrations, each name once).
  std::vector<std::string> functionNames() const;

  CIHostContext* hostContext() const noexcept { return hostContext_; }
  // cipher: the cipher of the cipher functions, made on first use (its
  // tables are larger than the rest of an engine, and most evaluators never
  // encrypt); cipherKeyed: initCipher ran.
  CBlowfish& cipher() {
    if (!cipher_) cipher_ = std::make_unique<CBlowfish>();
    return *cipher_;
  }
  bool cipherKeyed() const noexcept { return cipherKeyed_; }

  // traceSink: receives the trace points (see CITraceSink); null by default.
  CITraceSink* traceSink() const noexcept { return traceSink_; }
  void setTraceSink(CITraceSink* sink) noexcept { traceSink_ = sink; }
  // exceptionStack: where CExpression reports the errors it wraps in wider
  // ones; null by default (the inner errors are then dropped).
  CIExceptionFacade* exceptionStack() const noexcept { return exceptionStack_; }
  void setExceptionStack(CIExceptionFacade* stack) noexcept { exceptionStack_ = stack; }

  // Built-in functions (the handlers of the function table). Each raises
  // "Failed to execute function $NAME()." with the reason "Not enough
  // arguments." or "Too many arguments." for a wrong argument count, the
  // reasons listed with it, and the conversion errors of its arguments.
  static void COND(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _ucase(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _lcase(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _base64Encode(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _base64Decode(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  // _encrypt: also "Data of %1 bytes is longer than the 255 bytes a block can
  // carry." and, before initCipher, "The cipher has not been keyed.".
  static void _encrypt(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _sencrypt(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  // _decrypt: also "Argument '%1' must be exactly eight (8) bytes long." for
  // a length that is not a positive multiple of 8 or whose length byte
  // exceeds the data.
  static void _decrypt(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _sdecrypt(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _md5(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _sha1(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _usleep(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _date(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _time(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _day(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _month(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _year(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _ip(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _map_address(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _unmap_address(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _bool(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _int(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _bytes(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _str(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _text(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _eval(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  // _value: also "Executing with argument '%1' returned an expression that
  // gave no result." and the errors of _readValue.
  static void _value(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _left(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  // _mid: also "Position %1 is out of bounds in string %2.".
  static void _mid(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  // _right: also "Count %1 must not be negative.".
  static void _right(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _len(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _instr(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _startswith(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _if(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void PRINT(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void LOG(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void DEFAULT(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _fileExists(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _match(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void UNKNOWN(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _timeUTC(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  // _timeFormatUTC, _timeFormatLocal: also the formatting errors of CTimeT.
  static void _timeFormatUTC(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments);
  static void _timeFormatLocal(CExpEval& evaluator, CMultiVariant& results,
                               CMultiVariant& arguments);

  // _readValue: the value text of key in the value file (lines "name =
  // text"; "#" and ";" names are comments; "<default>" gives the fallback).
  // False when neither key nor a default is there. Raises "Failed to open
  // file '%1' when executing function $VALUE()." with the system's reason,
  // and "Failed to read file '%1' when executing function $VALUE()." with
  // "Line %1 is longer than %2 bytes." (kMaxLineLength of BoundedLine.h).
  bool _readValue(const std::string& file, const std::string& key, std::string& value) const;

  // _trimText: text without leading spaces, then tabs, then single quotes,
  // and the same at the end.
  static std::string_view _trimText(std::string_view text) noexcept;
  // _asString: "as string from text": a string variant of the trimmed text.
  static CVariant _asString(std::string_view text);

 protected:
  // _useFunctionTable: makes table (shared, immutable, usually a function
  // local static of the derived class; it must outlive the engine) the
  // derived evaluator's own functions. Names are looked up first among those
  // registered with registerFunction, then in table, then among the built-in
  // functions; so table shadows built-ins and later registrations replace
  // entries of table, as if table had been registered name by name.
  // Installing a table costs no allocation, which keeps building an
  // evaluator per exchange cheap. A second call replaces the first table.
  void _useFunctionTable(const CFunctionTable& table) noexcept {
    classFunctions_ = &table;
    ++tableVersion_;
  }

 private:
  // CCallName: how a handler names itself in its errors.
  struct CCallName {
    const char* operation;    // "CExpEval::_left"
    const char* description;  // "Failed to execute function $LEFT()."
  };
  static constexpr std::size_t kAnyCount = static_cast<std::size_t>(-1);

  // _requireArguments: raises "Not enough arguments." / "Too many
  // arguments." unless least <= count <= most.
  static void _requireArguments(const CExpEval& evaluator, const CMultiVariant& arguments,
                                const CCallName& call, std::size_t least, std::size_t most);
  // The raising helpers build their messages in their own frames, kept off
  // the stack of nested interpretation (a message is a few KiB).
  [[noreturn]] [[gnu::cold]] [[gnu::noinline]] static void _failCall(const CExpEval& evaluator,
                                                                     const CCallName& call,
                                                                     const char* reason);
  template <class... TArgs>
  [[noreturn]] [[gnu::cold]] [[gnu::noinline]] static void _failCallWith(
      const CExpEval& evaluator, const CCallName& call, const char* reason,
      const TArgs&... arguments) {
    _failMessage(evaluator, call, CMessage(reason, arguments...));
  }
  [[noreturn]] static void _failMessage(const CExpEval& evaluator, const CCallName& call,
                                        CMessage reason);
  [[noreturn]] [[gnu::cold]] [[gnu::noinline]] void _fail(const char* operation,
                                                          const char* description,
                                                          const char* reason) const;
  [[noreturn]] [[gnu::cold]] [[gnu::noinline]] void _failStack() const;
  [[noreturn]] [[gnu::cold]] [[gnu::noinline]] void _failUnknownFunction(
      std::string_view name) const;
  // _requireCipher: raises unless initCipher has keyed the cipher (keying
  // it first when the engine keys on first use).
  static void _requireCipher(CExpEval& evaluator, const CCallName& call);
  // CLocalClock: one of $DATE, $TIME, $DAY, $MONTH and $YEAR: its name, its
  // default format and its format for the "integer" choice.
  struct CLocalClock {
    CCallName call;
    const char* defaultFormat;
    const char* integerFormat;
  };
  // _localTime: the shared body of the local clocks.
  static void _localTime(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments,
                         const CLocalClock& clock);
  // _formatTime: the shared body of $TIME.FORMAT.UTC and $TIME.FORMAT.LOCAL.
  static void _formatTime(CExpEval& evaluator, CMultiVariant& results, CMultiVariant& arguments,
                          const CCallName& call, bool utc);
  // _convertEach: per argument, a copy converted to type and subtype.
  static void _convertEach(CMultiVariant& results, CMultiVariant& arguments, CVariantType type,
                           CVariantSubType subtype);
  // _toText: $STR of value with an optional format.
  static CVariant _toText(const CVariant& value, const std::string* format);

  // _builtins: the built-in function table, built once and shared.
  static const CFunctionTable& _builtins();
  CFunctionHandler _find(std::string_view name) const;

  // Bookkeeping of nested executions (see kMaxNestedRuns).
  friend class CExpEvalRun;
  void _enterRun(std::uint32_t depth);
  void _leaveRun(std::uint32_t depth) noexcept;

  CFunctionTable functions_;  // registered after construction; shadows the tables below
  const CFunctionTable* classFunctions_ =
      nullptr;  // the derived class's table; shadows _builtins()
  std::uint64_t tableVersion_ = 1;
  CIHostContext* hostContext_;
  std::unique_ptr<CBlowfish> cipher_;
  bool cipherKeyed_ = false;
  bool keyOnFirstUse_ = false;
  CITraceSink* traceSink_ = nullptr;
  CIExceptionFacade* exceptionStack_ = nullptr;
  std::uint32_t runs_ = 0;         // executions active now
  std::uint32_t depthInUse_ = 0;   // tree depth summed over active executions
  std::uintptr_t stackFloor_ = 0;  // lowest frame address allowed; 0: no check
};

}  // namespace qvt
