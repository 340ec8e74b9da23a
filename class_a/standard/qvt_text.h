// Escaped and raw control characters in text.
//
//   process_control_chars("a\\x41b");    // "aAb"
//   escape_control_chars("line\n");      // "line\\n"
//
// Free functions of the global namespace, shared by every module.
#pragma once

#include <string>

// process_control_chars: rewrites escape sequences: "\\" gives a backslash,
// "\n" a line feed, "\r" a carriage return, "\x" with the next two characters
// read as hexadecimal by strtoul one byte ("\xG1" gives byte 0); a backslash
// before any other character is dropped, as is one at the very end. Raises
// "Cannot process control characters in text '%1'." ("Insufficient digits for
// a hex escape sequence.") when fewer than two characters follow "\x".
std::string process_control_chars(const std::string& text);

// escape_control_chars: the inverse: line feed, carriage return, double quote
// and backslash become "\n", "\r", "\"" and "\\"; any other byte below 32 or
// above 127 becomes "\x" and two upper-case hexadecimal digits.
std::string escape_control_chars(const std::string& text);
