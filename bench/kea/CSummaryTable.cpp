#include "CSummaryTable.h"

#include <cstdio>
#include <utility>

namespace keabench {
namespace {

constexpr int kFigureWidth = 62;
constexpr int kValueWidth = 12;

std::string formatted(const char* format, double value, const char* unit) {
  char text[64];
  std::snprintf(text, sizeof text, format, value, unit);
  return text;
}

}  // namespace

void CSummaryTable::section(std::string title) {
  CRow row;
  row.heading = true;
  row.figure = std::move(title);
  rows_.push_back(std::move(row));
}

void CSummaryTable::add(std::string figure, CUnit unit, std::optional<double> ours,
                        std::optional<double> kea, std::optional<double> floor) {
  rows_.push_back({false, std::move(figure), unit, ours, kea, floor});
}

std::string CSummaryTable::_format(CUnit unit, std::optional<double> value) {
  if (!value) return "n/a";
  const double v = *value;
  switch (unit) {
    case CUnit::kNanoseconds:
      if (v < 1e3) return formatted("%.1f %s", v, "ns");
      if (v < 1e6) return formatted("%.2f %s", v / 1e3, "us");
      return formatted("%.3f %s", v / 1e6, "ms");
    case CUnit::kBytes:
      return formatted("%.0f %s", v, "B");
    case CUnit::kCount:
      return formatted("%.1f%s", v, "");
    case CUnit::kPerSecond:
      if (v < 1e6) return formatted("%.1f %s", v / 1e3, "k/s");
      return formatted("%.2f %s", v / 1e6, "M/s");
    case CUnit::kFactor:
      return formatted("%.2f%s", v, "x");
  }
  return "?";
}

void CSummaryTable::print(std::ostream& out) const {
  char line[256];
  std::snprintf(line, sizeof line, "%-*s %*s %*s %*s %*s\n", kFigureWidth, "figure", kValueWidth,
                "ours", kValueWidth, "Kea", kValueWidth, "ours/Kea", kValueWidth, "floor");
  out << line << std::string(kFigureWidth + 4 * (kValueWidth + 1), '-') << '\n';
  for (const CRow& row : rows_) {
    if (row.heading) {
      out << '\n' << row.figure << '\n';
      continue;
    }
    std::string ratio = "n/a";
    if (row.ours && row.kea && *row.kea != 0) ratio = _format(CUnit::kFactor, *row.ours / *row.kea);
    std::snprintf(line, sizeof line, "  %-*s %*s %*s %*s %*s\n", kFigureWidth - 2,
                  row.figure.c_str(), kValueWidth, _format(row.unit, row.ours).c_str(), kValueWidth,
                  _format(row.unit, row.kea).c_str(), kValueWidth, ratio.c_str(), kValueWidth,
                  row.floor ? _format(row.unit, row.floor).c_str() : "");
    out << line;
  }
}

}  // namespace keabench
