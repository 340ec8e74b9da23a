// CFigures: measures every figure of the side-by-side benchmark and adds it
// to the summary table: compiling, executing, decoding, whole exchanges
// (an evaluator per exchange, and one long-lived evaluator per worker),
// heap use and allocations, and throughput on two threads against one.
//
//   keabench::CFigures figures(harness, table, dictionary, worker, &worker, kea);
//   figures.add("execute");
//
// Our figures that need the evaluator are "n/a" when ours is null (our
// DHCPv4 evaluator is not available); decoding is ours either way.
#pragma once

#include <optional>
#include <string>

#include "BenchPackets.h"
#include "CHarness.h"
#include "CKeaWorker.h"
#include "COurWorker.h"
#include "CSummaryTable.h"
#include "host/COptionDictionary.h"

namespace keabench {

class CFigures {
 public:
  // CFigures: decoder is our worker used for decoding (always usable);
  // ours is the same worker once prepared, or null. Nothing is owned.
  CFigures(const CHarness& harness, CSummaryTable& table, const qvt::COptionDictionary& dictionary,
           COurWorker& decoder, COurWorker* ours, const CKeaWorker& kea);

  // add: the group named "compile", "execute", "exchange", "heap" or
  // "threads"; false for any other name.
  bool add(const std::string& group);

  void addCompiling();
  void addExecuting();
  void addExchanges();
  void addMemory();
  void addThreads();

 private:
  // CTimes: a figure's time for each engine; ours is empty when our
  // evaluator is not there.
  struct CTimes {
    std::optional<double> ours;
    double kea = 0;
  };

  // _times: the harness's times of ours and kea side by side (kea alone
  // when our evaluator is not there).
  template <class Ours, class Kea>
  CTimes _times(Ours&& ours, Kea&& kea) const {
    if (ours_ == nullptr) return {std::nullopt, harness_.nanosPerOp(kea)};
    const auto [oursTime, keaTime] = harness_.nanosPerOp(ours, kea);
    return {oursTime, keaTime};
  }
  // _timeOurs: the time of op when our evaluator is there.
  template <class Op>
  std::optional<double> _timeOurs(Op&& op) const {
    if (ours_ == nullptr) return std::nullopt;
    return harness_.nanosPerOp(op);
  }
  // _addTimes: a time row.
  void _addTimes(const std::string& figure, const CTimes& times,
                 std::optional<double> floor = std::nullopt);
  // allocationsPerCall: heap allocations of one call of op (averaged).
  template <class Op>
  static double _allocationsPerCall(Op&& op);

  const CHarness& harness_;
  CSummaryTable& table_;
  const qvt::COptionDictionary& dictionary_;
  COurWorker& decoder_;
  COurWorker* ours_;
  const CKeaWorker& kea_;
  const CPacket packet_;
};

}  // namespace keabench
