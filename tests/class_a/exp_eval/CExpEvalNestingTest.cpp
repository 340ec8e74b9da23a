// Nesting limits: deep or self-reaching expressions fail with a CException
// instead of exhausting the stack, and everything that compiles runs on a
// thread with a 256 KiB stack.
#include <gtest/gtest.h>
#include <pthread.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "EngineTestSupport.h"
#include "class_a/exp_eval/CIntegerTermNode.h"
#include "class_a/exp_eval/CNodeBaseFactory.h"
#include "class_a/exp_eval/CUnaryExprNode.h"
#include "class_a/standard/CExceptionFacade.h"

namespace qvt::test {
namespace {

using CExpEvalNesting = CEngineTest;

constexpr std::size_t kSmallStack = 256 * 1024;

const std::string kNoStack =
    "error: Cannot execute expression. (The expression is nested too deeply for the stack of "
    "this thread.)";
constexpr std::uint32_t kMaxDepth = CNodeBaseFactory::kMaxDepth;

// runOnSmallStack: runs work on a new thread whose stack is exactly `stack`
// bytes of our own (a stack the system caches from an earlier thread could
// be larger).
void runOnSmallStack(const std::function<void()>& work, std::size_t stack = kSmallStack) {
  void* memory = nullptr;
  ASSERT_EQ(0, posix_memalign(&memory, 4096, stack));
  pthread_attr_t attributes;
  ASSERT_EQ(0, pthread_attr_init(&attributes));
  ASSERT_EQ(0, pthread_attr_setstack(&attributes, memory, stack));
  pthread_t thread;
  auto body = [](void* argument) -> void* {
    (*static_cast<const std::function<void()>*>(argument))();
    return nullptr;
  };
  ASSERT_EQ(0,
            pthread_create(&thread, &attributes, body, const_cast<std::function<void()>*>(&work)));
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
  std::free(memory);
}

// plusChain: "1+1+...+1" with count operands; its tree is count levels deep.
std::string plusChain(std::size_t count) {
  return "1" + repeat("+1", count - 1);
}

const std::string kTooDeep = "error: Cannot build an expression nested more than " +
                             std::to_string(kMaxDepth) +
                             " levels deep. (Expression too deeply nested.)";

TEST_F(CExpEvalNesting, DeepTextsFailWithAClearError) {
  const std::size_t huge = 100000;
  const std::size_t large = 10000;
  EXPECT_EQ("uinteger: 1", run(engine, repeat("(", huge) + "1" + repeat(")", huge)));
  EXPECT_EQ(
      "error: Cannot parse expression '" + repeat("(", 3) + "1" + "'. (Mismatched parentheses.)",
      run(engine, repeat("(", 3) + "1"));
  EXPECT_EQ(kTooDeep, run(engine, plusChain(huge)));
  EXPECT_EQ(kTooDeep, run(engine, repeat("-", large) + "1"));
  EXPECT_EQ(kTooDeep, run(engine, repeat("!(", large) + "1" + repeat(")", large)));
  EXPECT_EQ(kTooDeep, run(engine, repeat("$IF(1,", large) + "2" + repeat(",3)", large)));
  EXPECT_EQ(kTooDeep, run(engine, repeat("0?2:", large) + "3"));
  // At the limit the tree is built and runs.
  EXPECT_EQ("uinteger: " + std::to_string(kMaxDepth), run(engine, plusChain(kMaxDepth)));
  EXPECT_EQ(kTooDeep, run(engine, plusChain(kMaxDepth + 1)));
}

TEST_F(CExpEvalNesting, ManyArgumentsDoNotNest) {
  const std::string call = "$LEN(" + repeat("1,", 20000) + "22)";
  EXPECT_EQ(2u, engine.compile(call)->depth() - 1);
  runOnSmallStack([&] { EXPECT_EQ("integer: 2", run(engine, call)); });
}

TEST_F(CExpEvalNesting, SelfReachingValueFailsAndReportsTheCause) {
  CExceptionFacade stack(&host.logger_);
  engine.setExceptionStack(&stack);
  CValueFile file("");
  // The value refers to its own key.
  const std::string self = "[$VALUE('" + file.path() + "', 'k')]";
  std::ofstream(file.path()) << "k = " << self << "\n";
  runOnSmallStack([&] {
    EXPECT_EQ("error: Cannot execute expression '" + self + "'. (Expression does not evaluate.)",
              run(engine, "$VALUE('" + file.path() + "', 'k')"));
  });
  ASSERT_GT(stack.size(), 0u);
  EXPECT_EQ("Cannot execute expression. (Expressions run from within expressions nest more than " +
                std::to_string(CExpEval::kMaxNestedRuns) + " levels deep.)",
            stack.outer()->text());
  // The engine is usable afterwards.
  EXPECT_EQ("uinteger: 3", run(engine, "1 + 2"));
}

TEST_F(CExpEvalNesting, NestedRunsShareTheDepthBudget) {
  // Each key's tree is two levels deep; the last is as deep as the budget allows.
  std::string content;
  CValueFile file("");
  const std::uint32_t levels = CExpEval::kMaxNestedRuns - 1;
  for (std::uint32_t level = 0; level + 1 < levels; ++level) {
    content += "k" + std::to_string(level) + " = [$VALUE('" + file.path() + "', 'k" +
               std::to_string(level + 1) + "')]\n";
  }
  const std::string top = "$VALUE('" + file.path() + "', 'k0')";
  const std::uint32_t used = engine.compile(top)->depth() * levels;
  const std::uint32_t room = kMaxDepth - used;
  std::ofstream(file.path()) << content << "k" << levels - 1 << " = [" << plusChain(room) << "]\n";
  runOnSmallStack([&] {
    const std::string value = run(engine, top);
    if (!(kSanitized && value.find("Cannot execute expression '[$VALUE") != std::string::npos)) {
      EXPECT_EQ("uinteger: " + std::to_string(room), value);
    }
  });
  std::ofstream(file.path()) << content << "k" << levels - 1 << " = [" << plusChain(room + 1)
                             << "]\n";
  runOnSmallStack([&] {
    EXPECT_EQ("error: Cannot execute expression '[$VALUE('" + file.path() +
                  "', 'k1')]'. (Expression does not evaluate.)",
              run(engine, top));
  });
}

TEST_F(CExpEvalNesting, TreesAtTheLimitRunOnASmallStack) {
  engine.initCipher();
  const std::string deepest[] = {
      plusChain(kMaxDepth),
      repeat("-", kMaxDepth - 1) + "1",
      repeat("!(", kMaxDepth - 1) + "1" + repeat(")", kMaxDepth - 1),
      repeat("$IF(1,", kMaxDepth / 2 - 1) + "2" + repeat(",3)", kMaxDepth / 2 - 1),
      repeat("$MD5(", kMaxDepth / 2 - 1) + "2" + repeat(")", kMaxDepth / 2 - 1),
      repeat("1?", kMaxDepth / 2 - 1) + "2" + repeat(":3", kMaxDepth / 2 - 1),
      repeat("1&&", kMaxDepth - 1) + "1",
      repeat("0||", kMaxDepth - 1) + "1",
      repeat("1==", kMaxDepth - 1) + "1",
  };
  for (const std::string& text : deepest) {
    SCOPED_TRACE(text.substr(0, 40));
    CGeneralPtr<CSyntaxTreeProxy> tree = engine.compile(text);
    EXPECT_LE(tree->depth(), kMaxDepth);
    EXPECT_GE(tree->depth(), kMaxDepth - 2);
    runOnSmallStack([&] {
      std::string outcome = "ran";
      try {
        CVariant result;
        engine.execute(result, tree);
      } catch (const CException& e) {
        outcome = "error: " + e.text();
      }
      if (!(kSanitized && outcome == kNoStack)) {
        EXPECT_EQ("ran", outcome);
      }
    });
  }
}

TEST_F(CExpEvalNesting, StackGuardStopsWhatTheThreadCannotHold) {
  const CGeneralPtr<CSyntaxTreeProxy> tree = engine.compile(plusChain(kMaxDepth));
  // 8 KiB above the reserve: too little for a tree of this depth in any build.
  runOnSmallStack(
      [&] {
        CVariant result;
        try {
          engine.execute(result, tree);
          ADD_FAILURE() << "no exception";
        } catch (const CException& e) {
          EXPECT_EQ(kNoStack, "error: " + e.text());
        }
      },
      CExpEval::kStackReserve + 8 * 1024);
  // The same tree on this thread, and the engine afterwards.
  EXPECT_EQ("uinteger: 3", run(engine, "1 + 2"));
  CVariant result;
  engine.execute(result, tree);
  EXPECT_EQ(kMaxDepth, result.uinteger());
}

TEST_F(CExpEvalNesting, DestroyingADeepTreeUsesLittleStack) {
  runOnSmallStack([] {
    std::unique_ptr<CNodeBase> tree = std::make_unique<CIntegerTermNode>(nullptr, CVariant(1));
    for (int i = 0; i < 200000; ++i) {
      tree = std::make_unique<CUnaryExprNode>(nullptr, COperator::kNegate, std::move(tree));
    }
    tree.reset();
  });
  SUCCEED();
}

}  // namespace
}  // namespace qvt::test
