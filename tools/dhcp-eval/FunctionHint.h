// FunctionHint: the hint dhcp-eval adds to an error about a function name
// that is not registered, naming the closest registered names.
//
//   unknownFunctionName("Runtime error. (Unknown function 'UCASES'.)");  // "UCASES"
//   functionHint("UCASES", evaluator.functionNames());  // "did you mean $UCASE?"
//   functionHint("ucase", names);                       // "did you mean $UCASE?"
//   functionHint("NOSUCH", names);
//   // "no function has a name close to $NOSUCH; 'dhcp-eval --functions' lists them"
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qvt::tool {

// kMaxSuggestions: at most this many names are suggested.
constexpr std::size_t kMaxSuggestions = 3;

// unknownFunctionName: the name of the first "Unknown function 'NAME'."
// in an error text (also where a wider error quotes it); none when the text
// has no such reason.
std::optional<std::string> unknownFunctionName(const std::string& errorText);

// functionHint: "did you mean $A?" ("$A or $B", "$A, $B or $C") with the
// registered names nearest to name: those at the smallest edit distance
// (letters compared without case; an insertion, deletion, substitution or
// swap of neighbours counts 1), when that distance is at most a third of
// the name's length (at least 1, at most 3), in byte order, at most
// kMaxSuggestions. Otherwise a pointer to --functions.
std::string functionHint(const std::string& name, const std::vector<std::string>& registered);

}  // namespace qvt::tool
