#include "tools/dhcp-eval/CEvalCommand.h"

#include "tools/dhcp-eval/CJsonWriter.h"
#include "tools/dhcp-eval/ExceptionJson.h"
#include "tools/dhcp-eval/TreeText.h"
#include "tools/dhcp-eval/ValueText.h"

namespace qvt::tool {

CEvalCommand::CEvalCommand(CIHostContext& host, COptions options, std::ostream& out,
                           std::ostream& err)
    : options_(options), out_(out), err_(err), engine_(&host) {
  engine_.initCipher();
  if (options_.trace) engine_.setTraceSink(&recorder_);
}

bool CEvalCommand::evaluate(const std::string& expression) {
  recorder_.clear();
  CGeneralPtr<CSyntaxTreeProxy> tree;
  bool traced = false;
  try {
    if (options_.trace) out_ << "expression: " << printableText(expression) << '\n';
    tree = engine_.compile(expression);
    engine_.execute(result_, tree);
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
    _printError(expression, e);
  } catch (const std::exception& e) {
    if (options_.trace && !traced) _printTrace(tree);
    _printError(expression, e);
  }
  ++failures_;
  out_.flush();
  err_.flush();
  return false;
}

void CEvalCommand::_printValue(const std::string& expression, const CVariant& value) {
  if (!options_.json) {
    // Built before printing: a value that cannot be shown fails as a whole.
    const std::string text = describeValue(value);
    out_ << text << '\n';
    return;
  }
  CJsonWriter json;
  json.beginObject()
      .member("expression", expression)
      .member("type", CVariant::typeName(value.type()))
      .member("subtype", value.subtype().name())
      .member("value", value.isKnown() ? value.string() : std::string())
      .endObject();
  out_ << json.text() << '\n';
}

void CEvalCommand::_printError(const std::string& expression, const CException& e) {
  _printError(expression, e.text(), [&e](CJsonWriter& json) { writeException(json, e); });
}

void CEvalCommand::_printError(const std::string& expression, const std::exception& e) {
  _printError(expression, e.what(), [&e](CJsonWriter& json) { writeException(json, e); });
}

void CEvalCommand::_printError(const std::string& expression, const std::string& text,
                               const std::function<void(CJsonWriter&)>& writeError) {
  if (!options_.json) {
    err_ << "error: " << printableText(expression) << ": " << printableText(text) << '\n';
    return;
  }
  CJsonWriter json;
  json.beginObject().member("expression", expression).key("error");
  writeError(json);
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

}  // namespace qvt::tool
