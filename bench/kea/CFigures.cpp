#include "CFigures.h"

#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <string>

#include "AllocationCounter.h"
#include "RawConditions.h"

namespace keabench {
namespace {

using benchmark::DoNotOptimize;
using qvt::bench::CHeapUse;
using qvt::bench::heapUse;

constexpr int kAllocationCalls = 64;

template <class Pick>
std::array<std::string, kExpressionCount> texts(Pick pick) {
  std::array<std::string, kExpressionCount> result;
  for (std::size_t index = 0; index < kExpressionCount; ++index) {
    result[index] = pick(kExpressions[index]);
  }
  return result;
}

const std::array<std::string, kExpressionCount>& ourTexts() {
  static const auto result = texts([](const CExpressionPair& pair) { return pair.ours; });
  return result;
}

const std::array<std::string, kExpressionCount>& keaTexts() {
  static const auto result = texts([](const CExpressionPair& pair) { return pair.kea; });
  return result;
}

std::string named(const char* what, std::size_t index) {
  return std::string(what) + ' ' + kExpressions[index].name;
}

}  // namespace

template <class Op>
double CFigures::_allocationsPerCall(Op&& op) {
  op();
  const CHeapUse before = heapUse();
  for (int call = 0; call < kAllocationCalls; ++call) {
    op();
  }
  const CHeapUse after = heapUse();
  return static_cast<double>(after.allocations - before.allocations) / kAllocationCalls;
}

CFigures::CFigures(const CHarness& harness, CSummaryTable& table,
                   const qvt::COptionDictionary& dictionary, COurWorker& decoder, COurWorker* ours,
                   const CKeaWorker& kea)
    : harness_(harness),
      table_(table),
      dictionary_(dictionary),
      decoder_(decoder),
      ours_(ours),
      kea_(kea),
      packet_(matchingDiscover()) {}

bool CFigures::add(const std::string& group) {
  if (group == "compile") {
    addCompiling();
  } else if (group == "execute") {
    addExecuting();
  } else if (group == "exchange") {
    addExchanges();
  } else if (group == "heap") {
    addMemory();
  } else if (group == "threads") {
    addThreads();
  } else {
    return false;
  }
  return true;
}

void CFigures::_addTimes(const std::string& figure, const CTimes& times,
                         std::optional<double> floor) {
  table_.add(figure, CUnit::kNanoseconds, times.ours, times.kea, floor);
}

void CFigures::addCompiling() {
  table_.section(
      "Compile (ours: parse and build the tree, the evaluator's cache bypassed; "
      "Kea: EvalContext::parseString)");
  for (std::size_t index = 0; index < kExpressionCount; ++index) {
    const std::string& ours = ourTexts()[index];
    const std::string& kea = keaTexts()[index];
    _addTimes(named("compile", index), _times([&] { DoNotOptimize(ours_->compileUncached(ours)); },
                                              [&] { DoNotOptimize(kea::parse(kea)); }));
  }
  _addTimes("compile all five", _times(
                                    [&] {
                                      for (const std::string& text : ourTexts()) {
                                        DoNotOptimize(ours_->compileUncached(text));
                                      }
                                    },
                                    [&] {
                                      for (const std::string& text : keaTexts()) {
                                        DoNotOptimize(kea::parse(text));
                                      }
                                    }));
  table_.add("compile all five again (ours: from the evaluator's cache)", CUnit::kNanoseconds,
             _timeOurs([&] {
               for (const std::string& text : ourTexts()) {
                 DoNotOptimize(ours_->evaluator().compile(text));
               }
             }),
             std::nullopt);
}

void CFigures::addExecuting() {
  table_.section(
      "Execute a compiled expression on the decoded DISCOVER "
      "(ours: execute; Kea: evaluateBool)");
  COurWorker::Values values;
  if (ours_ != nullptr) ours_->perWorker(packet_, values);
  const isc::dhcp::Pkt4Ptr message = kea::decode(packet_);
  for (std::size_t index = 0; index < kExpressionCount; ++index) {
    _addTimes(named("execute", index),
              _times(
                  [&] {
                    ours_->evaluator().execute(values[index], ours_->trees()[index]);
                    DoNotOptimize(values[index]);
                  },
                  [&] { DoNotOptimize(kea::evaluate(kea_.expressions()[index], *message)); }));
  }
  _addTimes("execute all five", _times(
                                    [&] {
                                      ours_->executeAll(values);
                                      DoNotOptimize(values);
                                    },
                                    [&] { DoNotOptimize(kea_.evaluateAll(*message)); }));
}

void CFigures::addExchanges() {
  table_.section(
      "Exchange (ours: CDhcp4Decoder; Kea: new Pkt4 and unpack. Per exchange, Kea "
      "parses the five; per worker it evaluates them pre-parsed, as a Kea server "
      "does. Floor: the five checked by hand on the raw bytes)");
  const auto [oursDecode, keaDecode] =
      harness_.nanosPerOp([&] { DoNotOptimize(decoder_.decode(packet_)); },
                          [&] { DoNotOptimize(kea::decode(packet_)); });
  _addTimes("decode the DISCOVER", {oursDecode, keaDecode});
  table_.add("build an evaluator (instance)", CUnit::kNanoseconds,
             _timeOurs([&] { DoNotOptimize(ours_->instance(ours_->node().context())); }),
             std::nullopt);
  const qvt::CGeneralPtr<qvt::COption> root = decoder_.decode(packet_);
  table_.add("point the worker's node context at a message", CUnit::kNanoseconds,
             _timeOurs([&] { ours_->node().point(root, COurWorker::relayAddress()); }),
             std::nullopt);

  const double floor =
      harness_.nanosPerOp([&] { DoNotOptimize(rawConditions(packet_.data(), packet_.size())); });
  COurWorker::Values values;
  _addTimes("exchange: decode, instance, compile 5, execute 5",
            _times(
                [&] {
                  ours_->exchange(packet_, values);
                  DoNotOptimize(values);
                },
                [&] { DoNotOptimize(kea_.exchange(packet_)); }),
            floor);
  _addTimes("exchange per worker: decode, point, execute 5",
            _times(
                [&] {
                  ours_->perWorker(packet_, values);
                  DoNotOptimize(values);
                },
                [&] { DoNotOptimize(kea_.perWorker(packet_)); }),
            floor);
}

void CFigures::addMemory() {
  table_.section(
      "Heap (live bytes held, as asked of operator new; allocations per call. "
      "Kea keeps no evaluator object: its figure is the five token lists)");
  const qvt::CGeneralPtr<qvt::COption> root = decoder_.decode(packet_);

  std::optional<double> oursEvaluator, oursTrees;
  if (ours_ != nullptr) {
    CNodeContext node = ours_->makeNode(root);
    for (int round = 0; round < 3; ++round) {  // the first rounds warm up
      const CHeapUse start = heapUse();
      const qvt::CGeneralPtr<qvt::CExpEval> evaluator = ours_->instance(&node);
      const CHeapUse built = heapUse();
      COurWorker::Trees trees;
      for (std::size_t index = 0; index < kExpressionCount; ++index) {
        trees[index] = evaluator->compile(ourTexts()[index]);
      }
      const CHeapUse compiled = heapUse();
      oursEvaluator = static_cast<double>(compiled.liveBytes - start.liveBytes);
      oursTrees = static_cast<double>(compiled.liveBytes - built.liveBytes);
    }
  }
  double keaExpressions = 0;
  for (int round = 0; round < 3; ++round) {
    const CHeapUse start = heapUse();
    CKeaWorker::Expressions expressions;
    for (std::size_t index = 0; index < kExpressionCount; ++index) {
      expressions[index] = kea::parse(keaTexts()[index]);
    }
    keaExpressions = static_cast<double>(heapUse().liveBytes - start.liveBytes);
  }
  table_.add("evaluator holding the five compiled", CUnit::kBytes, oursEvaluator, keaExpressions);
  table_.add("the five compiled expressions alone", CUnit::kBytes, oursTrees, keaExpressions);

  double oursMessage = 0, keaMessage = 0;
  {
    const CHeapUse start = heapUse();
    const qvt::CGeneralPtr<qvt::COption> decoded = decoder_.decode(packet_);
    oursMessage = static_cast<double>(heapUse().liveBytes - start.liveBytes);
  }
  {
    const CHeapUse start = heapUse();
    const isc::dhcp::Pkt4Ptr decoded = kea::decode(packet_);
    keaMessage = static_cast<double>(heapUse().liveBytes - start.liveBytes);
  }
  table_.add("decoded DISCOVER", CUnit::kBytes, oursMessage, keaMessage);

  COurWorker::Values values;
  if (ours_ != nullptr) ours_->perWorker(packet_, values);
  const isc::dhcp::Pkt4Ptr message = kea::decode(packet_);
  auto oursCount = [&](auto op) -> std::optional<double> {
    if (ours_ == nullptr) return std::nullopt;
    return _allocationsPerCall(op);
  };
  table_.add("allocations: execute all five", CUnit::kCount,
             oursCount([&] { ours_->executeAll(values); }),
             _allocationsPerCall([&] { DoNotOptimize(kea_.evaluateAll(*message)); }));
  table_.add("allocations: point the worker's node context", CUnit::kCount,
             oursCount([&] { ours_->node().point(root, COurWorker::relayAddress()); }),
             std::nullopt);
  table_.add("allocations: decode", CUnit::kCount,
             _allocationsPerCall([&] { DoNotOptimize(decoder_.decode(packet_)); }),
             _allocationsPerCall([&] { DoNotOptimize(kea::decode(packet_)); }));
  table_.add("allocations: exchange per worker", CUnit::kCount,
             oursCount([&] { ours_->perWorker(packet_, values); }),
             _allocationsPerCall([&] { DoNotOptimize(kea_.perWorker(packet_)); }));
  table_.add("allocations: exchange", CUnit::kCount,
             oursCount([&] { ours_->exchange(packet_, values); }),
             _allocationsPerCall([&] { DoNotOptimize(kea_.exchange(packet_)); }));
}

void CFigures::addThreads() {
  table_.section(
      "Threads (each thread its own evaluator and decoder; throughput against the wall clock, "
      "and per CPU second, where waiting on each other shows but other processes do not)");
  const CPacket& packet = packet_;
  const qvt::COptionDictionary& dictionary = dictionary_;

  auto ourWorker = [&dictionary, &packet](bool decodeEach) {
    auto worker = std::make_unique<COurWorker>(dictionary);
    worker->prepare();
    auto values = std::make_unique<COurWorker::Values>();
    worker->perWorker(packet, *values);
    return [worker = std::move(worker), values = std::move(values), decodeEach, &packet] {
      if (decodeEach) {
        worker->perWorker(packet, *values);
      } else {
        worker->executeAll(*values);
      }
      DoNotOptimize(*values);
    };
  };
  auto keaWorker = [&packet](bool decodeEach) {
    auto worker = std::make_shared<const CKeaWorker>();
    const isc::dhcp::Pkt4Ptr message = kea::decode(packet);
    return [worker, message, decodeEach, &packet] {
      DoNotOptimize(decodeEach ? worker->perWorker(packet) : worker->evaluateAll(*message));
    };
  };

  for (const bool decodeEach : {false, true}) {
    const std::string what = decodeEach ? "exchange per worker" : "execute all five";
    std::optional<CHarness::CScaling> ours;
    if (ours_ != nullptr) ours = harness_.scaling([&] { return ourWorker(decodeEach); });
    const CHarness::CScaling kea = harness_.scaling([&] { return keaWorker(decodeEach); });
    auto oursOr = [&](auto value) -> std::optional<double> {
      if (!ours) return std::nullopt;
      return value(*ours);
    };
    table_.add(what + ", 1 thread", CUnit::kPerSecond,
               oursOr([](const auto& s) { return s.one.perSecond; }), kea.one.perSecond);
    table_.add(what + ", 2 threads", CUnit::kPerSecond,
               oursOr([](const auto& s) { return s.two.perSecond; }), kea.two.perSecond);
    table_.add(what + ", 2 threads against 1", CUnit::kFactor,
               oursOr([](const auto& s) { return s.factor; }), kea.factor);
    table_.add(what + ", 2 against 1 per CPU second", CUnit::kFactor,
               oursOr([](const auto& s) { return s.cpuFactor; }), kea.cpuFactor);
  }
}

}  // namespace keabench
