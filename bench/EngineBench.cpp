// Expression engine: compiling and executing typical expressions, and
// constructing an engine. Hand-written C++ baselines stand beside the
// comparison and the $IF case.
//
//   dhcp_eval_bench --benchmark_filter=Engine
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "BenchHost.h"
#include "class_a/exp_eval/CExpEval.h"
#include "class_a/exp_eval/CSyntaxTreeProxy.h"
#include "class_a/standard/CIHostContext.h"
#include "class_a/standard/CILogger.h"

namespace {

using qvt::CExpEval;
using qvt::CGeneralPtr;
using qvt::CSyntaxTreeProxy;
using qvt::CVariant;

using qvt::bench::CBenchHost;

CBenchHost gHost;

const char* const kComparison = "'docsis3.0' == 'docsis3.0'";
const char* const kIf = "$IF($LEN('abcdef') > 2, $LEFT('abcdef', 2), $RIGHT('abcdef', 2))";
const char* const kMatch = "$MATCH('docsis3.0:host42', 'docsis*:host[0-9]*')";
const char* const kChain = "1+2+3+4+5+6+7+8+9+10+11+12+13+14+15+16+17+18+19+20";
const char* const kMd5 = "$MD5('hello world')";

void compile(benchmark::State& state, const char* text) {
  CExpEval engine(&gHost);
  for (auto _ : state)
    benchmark::DoNotOptimize(engine.compile(text));
}

void execute(benchmark::State& state, const char* text) {
  CExpEval engine(&gHost);
  const CGeneralPtr<CSyntaxTreeProxy> tree = engine.compile(text);
  CVariant result;
  for (auto _ : state) {
    engine.execute(result, tree);
    benchmark::DoNotOptimize(result);
  }
}

BENCHMARK_CAPTURE(compile, Comparison, kComparison)->Name("EngineCompile/Comparison");
BENCHMARK_CAPTURE(execute, Comparison, kComparison)->Name("EngineExecute/Comparison");
BENCHMARK_CAPTURE(compile, If, kIf)->Name("EngineCompile/IfNested");
BENCHMARK_CAPTURE(execute, If, kIf)->Name("EngineExecute/IfNested");
BENCHMARK_CAPTURE(compile, Match, kMatch)->Name("EngineCompile/Match");
BENCHMARK_CAPTURE(execute, Match, kMatch)->Name("EngineExecute/Match");
BENCHMARK_CAPTURE(compile, Chain, kChain)->Name("EngineCompile/Chain20");
BENCHMARK_CAPTURE(execute, Chain, kChain)->Name("EngineExecute/Chain20");
BENCHMARK_CAPTURE(compile, Md5, kMd5)->Name("EngineCompile/Md5");
BENCHMARK_CAPTURE(execute, Md5, kMd5)->Name("EngineExecute/Md5");

// The same comparison written by hand: two texts compared directly.
void baselineComparison(benchmark::State& state) {
  std::string left = "docsis3.0";
  std::string right = "docsis3.0";
  for (auto _ : state) {
    benchmark::DoNotOptimize(left);
    benchmark::DoNotOptimize(right);
    bool equal = left == right;
    benchmark::DoNotOptimize(equal);
  }
}
BENCHMARK(baselineComparison)->Name("EngineBaseline/Comparison");

// The $IF case written by hand.
void baselineIf(benchmark::State& state) {
  std::string text = "abcdef";
  for (auto _ : state) {
    benchmark::DoNotOptimize(text);
    std::string result = text.size() > 2 ? text.substr(0, 2) : text.substr(text.size() - 2);
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(baselineIf)->Name("EngineBaseline/IfNested");

void construct(benchmark::State& state) {
  for (auto _ : state) {
    CExpEval engine(&gHost);
    benchmark::DoNotOptimize(&engine);
  }
}
BENCHMARK(construct)->Name("EngineConstruct");

}  // namespace
