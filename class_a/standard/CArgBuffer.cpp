#include "class_a/standard/CArgBuffer.h"

#include "class_a/standard/Fail.h"

namespace qvt {
namespace arg_buffer_errors {

void tooManyArguments(const char* operation) {
  fail(CRaiser::none(), "standard", operation, "Cannot process argument.", "Too many arguments.");
}

void notEnoughBufferSpace(const char* operation) {
  fail(CRaiser::none(), "standard", operation, "Cannot process argument.",
       "Not enough buffer space.");
}

void notEnoughMemory(const char* operation) {
  fail(CRaiser::none(), "standard", operation, "Cannot push string argument.",
       "Not enough memory.");
}

void invalidPointer(const char* operation) {
  fail(CRaiser::none(), "standard", operation, "Cannot push string argument.", "Invalid pointer.");
}

void outOfBounds(const char* operation, std::size_t index) {
  fail(CRaiser::none(), "standard", operation, {"Cannot access argument %1.", index},
       "Out of bounds.");
}

}  // namespace arg_buffer_errors
}  // namespace qvt
