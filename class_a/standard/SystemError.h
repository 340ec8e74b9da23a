// The operating system's error texts.
#pragma once

#include <cstdint>
#include <string>

namespace qvt {

// systemErrorText: the system's message for an error code; empty for 0 and
// "Unknown error code N" when the system has no text for N. Trailing line
// feeds and carriage returns are removed.
std::string systemErrorText(std::uint32_t code);

// lastSystemError: the calling thread's last error code (errno).
std::uint32_t lastSystemError();

}  // namespace qvt
