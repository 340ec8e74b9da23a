#include "class_a/exp_eval/CExpEval.h"

#include <pthread.h>

#include <algorithm>
#include <utility>

#include "class_a/exp_eval/CNodeBaseFactory.h"
#include "class_a/exp_eval/CSyntaxTreeProxy.h"
#include "class_a/standard/CIHostContext.h"
#include "class_a/standard/Fail.h"

namespace qvt {

namespace {

struct CStackBounds {
  std::uintptr_t low = 0;
  std::uintptr_t high = 0;
};

// threadStack: the running thread's stack, asked once per thread; zero
// bounds when the system does not tell.
CStackBounds threadStack() {
  thread_local const CStackBounds bounds = [] {
    CStackBounds found;
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) != 0) return found;
    void* address = nullptr;
    std::size_t size = 0;
    if (pthread_attr_getstack(&attributes, &address, &size) == 0) {
      found.low = reinterpret_cast<std::uintptr_t>(address);
      found.high = found.low + size;
    }
    pthread_attr_destroy(&attributes);
    return found;
  }();
  return bounds;
}

}  // namespace

// CExpEvalRun: one active execution of a tree, counted (and the tree marked
// running) while it runs.
class CExpEvalRun {
 public:
  CExpEvalRun(CExpEval& evaluator, const CSyntaxTreeProxy& tree)
      : evaluator_(evaluator), tree_(tree) {
    evaluator_._enterRun(tree_.depth());
    tree_.setRunning(true);
  }
  ~CExpEvalRun() {
    tree_.setRunning(false);
    evaluator_._leaveRun(tree_.depth());
  }
  CExpEvalRun(const CExpEvalRun&) = delete;
  CExpEvalRun& operator=(const CExpEvalRun&) = delete;

 private:
  CExpEval& evaluator_;
  const CSyntaxTreeProxy& tree_;
};

namespace {

// ownCopy: a tree of its own for a run of a tree that is running further up
// already (its own text came back through $EVAL or $VALUE and a cache gave
// the same tree), so the nested run cannot overwrite the values the outer
// run keeps in the nodes. The nesting limits still count every run.
CGeneralPtr<CSyntaxTreeProxy> ownCopy(CExpEval& engine, const CSyntaxTreeProxy& proxy) {
  return CGeneralPtr<CSyntaxTreeProxy>(new CSyntaxTreeProxy(engine.buildTree(proxy.tokens())));
}

}  // namespace

CExpEval::CExpEval(CIHostContext* hostContext) : hostContext_(hostContext) {
  // The built-in functions live in one table shared by every engine (see
  // _builtins); functions_ receives only what is registered later.
  _builtins();
}

CExpEval::~CExpEval() = default;

const CExpEval::CFunctionTable& CExpEval::_builtins() {
  static const CFunctionTable table = [] {
    static constexpr std::pair<const char*, CFunctionHandler> kBuiltins[] = {
        {"COND", &CExpEval::COND},
        {"UCASE", &CExpEval::_ucase},
        {"LCASE", &CExpEval::_lcase},
        {"BASE64.ENCODE", &CExpEval::_base64Encode},
        {"BASE64.DECODE", &CExpEval::_base64Decode},
        {"ENCRYPT", &CExpEval::_encrypt},
        {"SENCRYPT", &CExpEval::_sencrypt},
        {"DECRYPT", &CExpEval::_decrypt},
        {"SDECRYPT", &CExpEval::_sdecrypt},
        {"MD5", &CExpEval::_md5},
        {"SHA1", &CExpEval::_sha1},
        {"USLEEP", &CExpEval::_usleep},
        {"DATE", &CExpEval::_date},
        {"TIME", &CExpEval::_time},
        {"DAY", &CExpEval::_day},
        {"MONTH", &CExpEval::_month},
        {"YEAR", &CExpEval::_year},
        {"IP", &CExpEval::_ip},
        {"IP.MAP", &CExpEval::_map_address},
        {"IP.UNMAP", &CExpEval::_unmap_address},
        {"BOOL", &CExpEval::_bool},
        {"INT", &CExpEval::_int},
        {"INTEGER", &CExpEval::_int},
        {"MAC", &CExpEval::_bytes},
        {"BYTES", &CExpEval::_bytes},
        {"STR", &CExpEval::_str},
        {"STRING", &CExpEval::_str},
        {"TEXT", &CExpEval::_text},
        {"EVAL", &CExpEval::_eval},
        {"VALUE", &CExpEval::_value},
        {"LEFT", &CExpEval::_left},
        {"MID", &CExpEval::_mid},
        {"RIGHT", &CExpEval::_right},
        {"LEN", &CExpEval::_len},
        {"INSTR", &CExpEval::_instr},
        {"STARTSWITH", &CExpEval::_startswith},
        {"IF", &CExpEval::_if},
        {"PRINT", &CExpEval::PRINT},
        {"LOG", &CExpEval::LOG},
        {"DEFAULT", &CExpEval::DEFAULT},
        {"FILE.EXISTS", &CExpEval::_fileExists},
        {"MATCH", &CExpEval::_match},
        {"UNKNOWN", &CExpEval::UNKNOWN},
        {"TIME.UTC", &CExpEval::_timeUTC},
        {"TIME.FORMAT.UTC", &CExpEval::_timeFormatUTC},
        {"TIME.FORMAT.LOCAL", &CExpEval::_timeFormatLocal},
    };
    CFunctionTable built;
    for (const auto& [name, handler] : kBuiltins)
      built[name] = handler;
    return built;
  }();
  return table;
}

CExpEval::CFunctionTable CExpEval::makeFunctionTable(
    std::initializer_list<CFunctionEntry> entries) {
  CFunctionTable table;
  for (const auto& [name, handler] : entries)
    table[name] = handler;
  return table;
}

CGeneralPtr<CSyntaxTreeProxy> CExpEval::compile(std::string text) {
  CTokenList tokens;
  parse(std::move(text), tokens);
  CGeneralPtr<CNodeBaseFactory> factory = buildTree(tokens);
  return CGeneralPtr<CSyntaxTreeProxy>(new CSyntaxTreeProxy(std::move(factory)));
}

void CExpEval::execute(CMultiVariant& results, const CGeneralPtr<CSyntaxTreeProxy>& tree) {
  if (!tree) _fail("CExpEval::execute", "Cannot execute expression.", "Invalid syntax tree.");
  const CSyntaxTreeProxy& proxy = *tree;
  if (proxy.running()) {
    execute(results, ownCopy(*this, proxy));
    return;
  }
  {
    CExpEvalRun run(*this, proxy);
    const std::size_t count = proxy.rootCount();
    for (std::size_t index = 0; index < count; ++index)
      proxy.root(index).interpret();
  }
  results.clear();
  const CParseStack& roots = proxy.factory().stack();
  for (auto root = roots.rbegin(); root != roots.rend(); ++root)
    results.append((*root)->value());
  if (results.empty()) {
    _fail("CExpEval::execute", "No result calculated.", "Expression evaluates to nothing.");
  }
}

void CExpEval::execute(CVariant& result, const CGeneralPtr<CSyntaxTreeProxy>& tree) {
  // The list form's first value is the first root's: it is taken straight
  // from that root, without filling a list.
  if (!tree) _fail("CExpEval::execute", "Cannot execute expression.", "Invalid syntax tree.");
  const CSyntaxTreeProxy& proxy = *tree;
  if (proxy.running()) {
    execute(result, ownCopy(*this, proxy));
    return;
  }
  const std::size_t count = proxy.rootCount();
  {
    CExpEvalRun run(*this, proxy);
    for (std::size_t index = 0; index < count; ++index)
      proxy.root(index).interpret();
  }
  if (count == 0) {
    _fail("CExpEval::execute", "No result calculated.", "Expression evaluates to nothing.");
  }
  result = proxy.root(0).value();
}

void CExpEval::registerFunction(const std::string& name, CFunctionHandler handler) {
  functions_[name] = handler;
  ++tableVersion_;
}

CGeneralPtr<CNodeBaseFactory> CExpEval::buildTree(const CTokenList& tokens) {
  CGeneralPtr<CNodeBaseFactory> factory(new CNodeBaseFactory(this));
  factory->reserve(tokens.size());
  for (const CToken& token : tokens)
    factory->push(token);
  return factory;
}

bool CExpEval::isExtendedOperator(bool /*afterOperator*/, std::string_view /*rest*/) {
  return false;
}

void CExpEval::callback(CMultiVariant& results, std::string_view name, CMultiVariant& arguments) {
  const CFunctionHandler handler = _find(name);
  if (handler == nullptr) _failUnknownFunction(name);
  handler(*this, results, arguments);
}

void CExpEval::_isUsable(const std::string& text, const CTokenList& tokens) const {
  if (tokens.empty()) {
    fail(CRaiser::of(*this), "exp_eval", "CExpEval::_isUsable", "Invalid expression.",
         {"Expression '%1' evaluates to nothing.", text});
  }
}

void CExpEval::initCipher() {
  if (hostContext_ == nullptr) {
    fail(CRaiser::of(*this), "exp_eval", "CExpEval::initCipher", "Cannot initialize cipher.",
         "No host context supplies a shared server key.");
  }
  const std::vector<std::uint8_t> key = hostContext_->sharedServerKey();
  cipher().init(key.data(), key.size());
  cipherKeyed_ = true;
}

bool CExpEval::hasFunction(std::string_view name) const {
  return _find(name) != nullptr;
}

std::vector<std::string> CExpEval::functionNames() const {
  std::vector<std::string> names;
  const auto collect = [this, &names](const CFunctionTable& table) {
    for (const auto& entry : table) {
      // A null registration hides the name in every layer.
      if (_find(entry.first) != nullptr) names.push_back(entry.first);
    }
  };
  collect(functions_);
  if (classFunctions_ != nullptr) collect(*classFunctions_);
  collect(_builtins());
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

CFunctionHandler CExpEval::_find(std::string_view name) const {
  if (!functions_.empty()) {
    const auto registered = functions_.find(name);
    if (registered != functions_.end()) return registered->second;
  }
  if (classFunctions_ != nullptr) {
    const auto own = classFunctions_->find(name);
    if (own != classFunctions_->end()) return own->second;
  }
  const CFunctionTable& builtins = _builtins();
  const auto builtin = builtins.find(name);
  return builtin == builtins.end() ? nullptr : builtin->second;
}

void CExpEval::_enterRun(std::uint32_t depth) {
  if (runs_ >= kMaxNestedRuns) {
    fail(
        CRaiser::of(*this), "exp_eval", "CExpEval::execute", "Cannot execute expression.",
        {"Expressions run from within expressions nest more than %1 levels deep.", kMaxNestedRuns});
  }
  if (depthInUse_ + depth > CNodeBaseFactory::kMaxDepth) {
    fail(CRaiser::of(*this), "exp_eval", "CExpEval::execute", "Cannot execute expression.",
         {"Nested expressions exceed %1 levels of nesting.", CNodeBaseFactory::kMaxDepth});
  }
  if (runs_ == 0) {
    // Code running on a stack of its own (a coroutine) is not checked.
    const CStackBounds stack = threadStack();
    const auto here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
    stackFloor_ =
        stack.low != 0 && here > stack.low && here <= stack.high ? stack.low + kStackReserve : 0;
  }
  ++runs_;
  depthInUse_ += depth;
}

void CExpEval::_leaveRun(std::uint32_t depth) noexcept {
  --runs_;
  depthInUse_ -= depth;
  if (runs_ == 0) stackFloor_ = 0;
}

void CExpEval::_requireArguments(const CExpEval& evaluator, const CMultiVariant& arguments,
                                 const CCallName& call, std::size_t least, std::size_t most) {
  if (arguments.size() < least) _failCall(evaluator, call, "Not enough arguments.");
  if (arguments.size() > most) _failCall(evaluator, call, "Too many arguments.");
}

void CExpEval::_failCall(const CExpEval& evaluator, const CCallName& call, const char* reason) {
  fail(CRaiser::of(evaluator), "exp_eval", call.operation, call.description, reason);
}

void CExpEval::_failMessage(const CExpEval& evaluator, const CCallName& call, CMessage reason) {
  fail(CRaiser::of(evaluator), "exp_eval", call.operation, call.description, std::move(reason));
}

void CExpEval::_fail(const char* operation, const char* description, const char* reason) const {
  fail(CRaiser::of(*this), "exp_eval", operation, description, reason);
}

void CExpEval::_failStack() const {
  fail(CRaiser::of(*this), "exp_eval", "CExpEval::execute", "Cannot execute expression.",
       "The expression is nested too deeply for the stack of this thread.");
}

void CExpEval::_failUnknownFunction(std::string_view name) const {
  fail(CRaiser::of(*this), "exp_eval", "CExpEval::callback", "Runtime error.",
       {"Unknown function '%1'.", std::string(name)});
}

std::string_view CExpEval::_trimText(std::string_view text) noexcept {
  const auto dropFront = [&text](char c) {
    while (!text.empty() && text.front() == c)
      text.remove_prefix(1);
  };
  const auto dropBack = [&text](char c) {
    while (!text.empty() && text.back() == c)
      text.remove_suffix(1);
  };
  dropFront(' ');
  dropFront('\t');
  dropFront('\'');
  dropBack(' ');
  dropBack('\t');
  dropBack('\'');
  return text;
}

CVariant CExpEval::_asString(std::string_view text) {
  return CVariant::fromString(_trimText(text));
}

}  // namespace qvt
