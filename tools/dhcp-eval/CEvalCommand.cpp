#include "tools/dhcp-eval/CEvalCommand.h"

#include "tools/dhcp-eval/CJsonWriter.h"
#include "tools/dhcp-eval/ErrorText.h"
#include "tools/dhcp-eval/ExceptionJson.h"
#include "tools/dhcp-eval/FunctionHint.h"
#include "tools/dhcp-eval/TreeText.h"
#include "tools/dhcp-eval/ValueText.h"

namespace qvt::tool {

CEvalCommand::CEvalCommand(COptions options, std::ostream& out, std::ostream& err)
    : options_(options), out_(out), err_(err) {}

bool CEvalCommand::evaluate(CExpEval& evaluator, const std::string& expression,
                            std::optional<std::uint64_t> frame) {
  frame_ = frame;
  recorder_.clear();
  if (options_.trace) evaluator.setTraceSink(&recorder_);
  CGeneralPtr<CSyntaxTreeProxy> tree;
  bool traced = false;
  try {
    if (options_.trace) {
      out_ << _framePrefix() << "expression: " << printableText(expression) << '\n';
    }
    tree = evaluator.compile(expression);
    evaluator.execute(result_, tree);
    if (options_.trace) {
      traced = true;
      _printTrace(tree);
    }
    _printValue(expression, result_);
    ++evaluated_;
    out_.flush();
    return true;
  } catch (const CException& e) {
    if (options_.trace && !traced) _printTrace(tree);
    _printError(expression, e, evaluator);
  } catch (const std::exception& e) {
    if (options_.trace && !traced) _printTrace(tree);
    _printError(expression, e);
  }
  ++failures_;
  out_.flush();
  err_.flush();
  return false;
}

void CEvalCommand::packetFailed(std::uint64_t frame, const CException& e) {
  ++failures_;
  if (!options_.json) {
    err_ << "error: frame " << frame << ": " << printableText(e.text()) << '\n';
    err_.flush();
    return;
  }
  CJsonWriter json;
  json.beginObject().member("frame", frame).key("error");
  writeException(json, e);
  json.endObject();
  out_ << json.text() << '\n';
  out_.flush();
}

void CEvalCommand::_printValue(const std::string& expression, const CVariant& value) {
  if (!options_.json) {
    // Built before printing: a value that cannot be shown fails as a whole.
    const std::string text = describeValue(value);
    out_ << _framePrefix() << text << '\n';
    return;
  }
  CJsonWriter json;
  _beginJson(json);
  json.member("expression", expression)
      .member("type", CVariant::typeName(value.type()))
      .member("subtype", value.subtype().name())
      .member("value", value.isKnown() ? value.string() : std::string())
      .endObject();
  out_ << json.text() << '\n';
}

void CEvalCommand::_printError(const std::string& expression, const CException& e,
                               const CExpEval& evaluator) {
  const std::string text = e.text();
  std::string hint;
  if (const std::optional<std::string> name = unknownFunctionName(text)) {
    hint = functionHint(*name, evaluator.functionNames());
    if (!options_.json && !hinted_.insert(*name).second) hint.clear();
  }
  _printError(
      expression, text, [&e](CJsonWriter& json) { writeException(json, e); }, hint);
}

void CEvalCommand::_printError(const std::string& expression, const std::exception& e) {
  _printError(expression, e.what(), [&e](CJsonWriter& json) { writeException(json, e); });
}

void CEvalCommand::_printError(const std::string& expression, const std::string& text,
                               const std::function<void(CJsonWriter&)>& writeError,
                               const std::string& hint) {
  if (!options_.json) {
    const CErrorLineText line = errorLineText(expression, text);
    err_ << "error: " << _framePrefix() << printableText(line.expression) << ": "
         << printableText(line.text) << '\n';
    if (!hint.empty()) err_ << "hint: " << printableText(hint) << '\n';
    return;
  }
  CJsonWriter json;
  _beginJson(json);
  json.member("expression", expression).key("error");
  writeError(json);
  if (!hint.empty()) json.member("hint", hint);
  json.endObject();
  out_ << json.text() << '\n';
}

void CEvalCommand::_printTrace(const CGeneralPtr<CSyntaxTreeProxy>& tree) {
  const CTokenList& tokens = tree ? tree->tokens() : recorder_.postfix();
  out_ << (tree ? "postfix:" : "postfix (incomplete):");
  for (const CToken& token : tokens)
    out_ << ' ' << describeToken(token);
  out_ << '\n';
  if (!tree) return;
  out_ << "tree:\n";
  writeTree(out_, *tree, recorder_);
}

void CEvalCommand::_beginJson(CJsonWriter& json) const {
  json.beginObject();
  if (frame_) json.member("frame", *frame_);
}

std::string CEvalCommand::_framePrefix() const {
  return frame_ ? "frame " + std::to_string(*frame_) + ": " : std::string();
}

}  // namespace qvt::tool
