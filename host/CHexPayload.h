// CHexPayload: one DHCP message written as hexadecimal text.
//
// The text holds pairs of hexadecimal digits; blanks, tabs, line ends, ":"
// and "-" separate groups, and "#" starts a comment that runs to the end of
// its line. Each group must hold whole bytes (an even number of digits):
//
//   # DHCPDISCOVER, first bytes
//   01 01 06 00  39:03:f3:26   # op htype hlen hops, xid
//   0000-8000
//
// The address family is not written in the file: a DHCPv4 message is at
// least 240 bytes long and carries the magic cookie at offset 236; anything
// else is taken as DHCPv6 (guessFamily), unless the caller knows better.
#pragma once

#include <string>
#include <vector>

namespace qvt::host {

class CHexPayload {
 public:
  // parse: the bytes of `text`; `name` names the text in errors. Raises
  // "Cannot read hex payload '%1'." with the line and column of a character
  // that is no digit or separator (a byte outside printable ASCII is named
  // as 0xNN), of a group with an odd number of digits, or "The text holds no
  // bytes." when there are none.
  static std::vector<unsigned char> parse(const std::string& text, const std::string& name);

  // readFile: parse of the file's content. Raises "Cannot open file '%1'."
  // with the system's reason when it cannot be read (a directory included),
  // with "The file is larger than 1048576 bytes." for a larger file, else as
  // parse.
  static std::vector<unsigned char> readFile(const std::string& path);

  // guessFamily: 4 for at least 240 bytes with 63 82 53 63 at offset 236,
  // otherwise 6.
  static int guessFamily(const std::vector<unsigned char>& payload);
};

}  // namespace qvt::host
