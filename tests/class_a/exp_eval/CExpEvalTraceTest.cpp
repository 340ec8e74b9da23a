// Trace points: the labels a trace sink sees while an expression is compiled
// and run, in order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "class_a/exp_eval/CITraceSink.h"
#include "class_a/exp_eval/CNonterminalNode.h"

namespace qvt::test {
namespace {

// CRecorder: "label token" or "label op=value" lines.
class CRecorder : public CITraceSink {
 public:
  void trace(const char* label, const CToken& token) override {
    lines.push_back(std::string(label) + token.string());
  }
  void trace(const char* label, const CNodeBase& node) override {
    const auto* inner = dynamic_cast<const CNonterminalNode*>(&node);
    lines.push_back(std::string(label) + " " + (inner ? inner->op().spelling() : "leaf") + "=" +
                    node.value().string());
  }
  std::vector<std::string> lines;
};

std::vector<std::string> traceOf(const std::string& text) {
  CTestHost host;
  CExpEval engine(&host);
  CRecorder recorder;
  engine.setTraceSink(&recorder);
  CVariant result;
  engine.execute(result, engine.compile(text));
  return recorder.lines;
}

TEST(CExpEvalTrace, CompileAndRunOfASum) {
  const std::vector<std::string> expected = {
      "Push operand: 1",     "Final push: 2",       "Final push: +", "Push: leaf=1",
      "Push: leaf=2",        "Pop: leaf=2",         "Pop: leaf=1",   "Push: +=",
      "Before interpret +=", "After interpret +=3",
  };
  EXPECT_EQ(expected, traceOf("1 + 2"));
}

TEST(CExpEvalTrace, OperatorPushesByCause) {
  const std::vector<std::string> lines = traceOf("(1*2)+3*4");
  const std::vector<std::string> parser(lines.begin(), lines.begin() + 8);
  const std::vector<std::string> expected = {
      "Push operand: 1", "Push operand: 2", "Right parent push: *", "Push operand: 3",
      "Final push: 4",   "Final push: *",   "Final push: +",        "Push: leaf=1",
  };
  EXPECT_EQ(expected, parser);
  const std::vector<std::string> regular = traceOf("1*2+3");
  EXPECT_EQ("Regular operator push: *", regular[2]);
}

TEST(CExpEvalTrace, ArgumentLinksRunFirstToLast) {
  std::vector<std::string> run;
  for (const std::string& line : traceOf("$LEN('a', 'bc')")) {
    if (line.rfind("Before", 0) == 0 || line.rfind("After", 0) == 0) run.push_back(line);
  }
  // The call, then the links (last argument first) down to the terminator,
  // then back up as each argument is taken.
  const std::vector<std::string> expected = {
      "Before interpret $=", "Before interpret $=", "Before interpret $=",  "Before interpret $=",
      "After interpret $=",  "After interpret $=a", "After interpret $=bc", "After interpret $=2",
  };
  EXPECT_EQ(expected, run);
}

}  // namespace
}  // namespace qvt::test
