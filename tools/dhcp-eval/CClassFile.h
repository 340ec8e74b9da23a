// CClassFile: the client classes that `dhcp-eval --classes FILE` checks every
// packet against: one "name = expression" per line (AssignmentFile.h: "#"
// lines and blank lines skipped). A packet belongs to a class when the
// class's expression gives the boolean true:
//
//   # class = condition
//   cable-modem = $CM
//   relayed     = $RELAY.ADDRESS != 0.0.0.0
//
//   CClassFile classes = CClassFile::readFile("classes.txt");
//   classes.classes()[0].name;   // "cable-modem"
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qvt::tool {

class CClassFile {
 public:
  struct CClass {
    std::string name;
    std::string expression;
    std::uint32_t line;
  };

  // parse: the classes of text; name names the text in errors. Raises
  // "Cannot read class file '%1'." (module "dhcp-eval", operation
  // "CClassFile::parse") with the reason "Line %1 is not of the form name =
  // value.", "Line %1: class '%2' has no expression.", "Line %1: class '%2'
  // is defined twice." or "Line %1: '%2' is not a class name (letters,
  // digits, '-', '_' and '.')." or "The file defines no class.".
  static CClassFile parse(const std::string& text, const std::string& name);
  // readFile: parse of the file's content. Raises "Cannot open file '%1'."
  // with the system's reason when it cannot be read.
  static CClassFile readFile(const std::string& path);

  const std::vector<CClass>& classes() const { return classes_; }

 private:
  std::vector<CClass> classes_;
};

}  // namespace qvt::tool
