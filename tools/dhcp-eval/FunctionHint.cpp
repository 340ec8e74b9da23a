#include "tools/dhcp-eval/FunctionHint.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <string>
#include <vector>

namespace qvt::tool {

namespace {

constexpr const char* kReasonStart = "Unknown function '";

char folded(char c) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

// distance: the optimal string alignment distance of a and b, letters
// compared without case.
std::size_t distance(const std::string& a, const std::string& b) {
  const std::size_t n = a.size();
  const std::size_t m = b.size();
  // Three rows of the table: two back (for swaps), one back, this one.
  std::vector<std::size_t> before(m + 1), previous(m + 1), current(m + 1);
  for (std::size_t j = 0; j <= m; ++j)
    previous[j] = j;
  for (std::size_t i = 1; i <= n; ++i) {
    current[0] = i;
    for (std::size_t j = 1; j <= m; ++j) {
      const bool same = folded(a[i - 1]) == folded(b[j - 1]);
      current[j] =
          std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (same ? 0 : 1)});
      if (i > 1 && j > 1 && folded(a[i - 1]) == folded(b[j - 2]) &&
          folded(a[i - 2]) == folded(b[j - 1])) {
        current[j] = std::min(current[j], before[j - 2] + 1);
      }
    }
    before.swap(previous);
    previous.swap(current);
  }
  return previous[m];
}

}  // namespace

std::optional<std::string> unknownFunctionName(const std::string& errorText) {
  const std::size_t start = errorText.find(kReasonStart);
  if (start == std::string::npos) return std::nullopt;
  const std::size_t first = start + std::char_traits<char>::length(kReasonStart);
  const std::size_t end = errorText.find("'.", first);
  if (end == std::string::npos) return std::nullopt;
  return errorText.substr(first, end - first);
}

std::string functionHint(const std::string& name, const std::vector<std::string>& registered) {
  const std::size_t limit = std::clamp<std::size_t>(name.size() / 3, 1, 3);
  std::size_t best = limit;
  std::vector<std::string> nearest;
  for (const std::string& candidate : registered) {
    const std::size_t d = distance(name, candidate);
    if (d > best) continue;
    if (d < best) {
      best = d;
      nearest.clear();
    }
    nearest.push_back(candidate);
  }
  if (nearest.empty()) {
    return "no function has a name close to $" + name + "; 'dhcp-eval --functions' lists them";
  }
  std::sort(nearest.begin(), nearest.end());
  if (nearest.size() > kMaxSuggestions) nearest.resize(kMaxSuggestions);
  std::string hint = "did you mean ";
  for (std::size_t i = 0; i < nearest.size(); ++i) {
    if (i > 0) hint += i + 1 == nearest.size() ? " or " : ", ";
    hint += "$" + nearest[i];
  }
  return hint + "?";
}

}  // namespace qvt::tool
