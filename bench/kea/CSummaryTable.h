// CSummaryTable: the benchmark's closing table: one row per figure with our
// engine's value, Kea's, their ratio (ours / Kea) and, where it applies, the
// hand-written floor; "n/a" where a side has no such figure or could not be
// measured.
//
//   keabench::CSummaryTable table;
//   table.section("Executing");
//   table.add("execute E1", keabench::CUnit::kNanoseconds, 120.0, 95.0);
//   table.print(std::cout);
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace keabench {

enum class CUnit { kNanoseconds, kBytes, kCount, kPerSecond, kFactor };

class CSummaryTable {
 public:
  // section: a heading row before the rows that follow.
  void section(std::string title);
  // add: a figure row; ratio is ours / kea when both are given and kea is
  // not 0.
  void add(std::string figure, CUnit unit, std::optional<double> ours, std::optional<double> kea,
           std::optional<double> floor = std::nullopt);
  // print: the table in fixed-width columns.
  void print(std::ostream& out) const;

 private:
  struct CRow {
    bool heading = false;
    std::string figure;
    CUnit unit = CUnit::kNanoseconds;
    std::optional<double> ours;
    std::optional<double> kea;
    std::optional<double> floor;
  };

  static std::string _format(CUnit unit, std::optional<double> value);

  std::vector<CRow> rows_;
};

}  // namespace keabench
