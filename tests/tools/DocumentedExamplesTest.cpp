// The documentation of dhcp-eval holds: every example of README.md and of the
// manual page runs and prints what it shows, and the manual page lists the
// options that --help lists.
//
// An example is a line starting with "$ " (in README.md inside an indented
// block, in the manual page between .EX and .EE); the lines after it, up to
// the next such line or the end of the block, are its output on standard
// output and standard error, where a line "..." stands for any number of
// lines. The examples of one document run in order in one scratch directory
// that holds examples/ (so one may use the files an earlier one wrote), by
// /bin/sh with the built dhcp-eval first on PATH.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "tools/CommandRunner.h"

namespace qvt::test {
namespace {

struct CExample {
  std::size_t line;  // of the command, from 1
  std::string command;
  std::vector<std::string> output;
};

std::string source(const std::string& name) {
  return readFile(std::string(DHCP_EVAL_SOURCE_DIR) + "/" + name);
}

// readmeExamples: the "$ " lines of README.md's indented blocks (four
// blanks or more, as in a list item), each followed by its output at the
// same indentation.
std::vector<CExample> readmeExamples() {
  std::vector<CExample> examples;
  std::size_t indent = 0;  // of the open example; 0 when none is open
  const std::vector<std::string> text = lines(source("README.md"));
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::size_t blanks = text[i].find_first_not_of(' ');
    if (blanks == std::string::npos || blanks < 4) {
      indent = 0;
      continue;
    }
    if (text[i].compare(blanks, 2, "$ ") == 0) {
      examples.push_back(CExample{i + 1, text[i].substr(blanks + 2), {}});
      indent = blanks;
    } else if (indent != 0 && blanks >= indent) {
      examples.back().output.push_back(text[i].substr(indent));
    } else {
      indent = 0;
    }
  }
  return examples;
}

// unescaped: a line of the manual page as it shows.
std::string unescaped(std::string line) {
  const std::vector<std::pair<std::string, std::string>> escapes = {
      {"\\-", "-"}, {"\\(aq", "'"}, {"\\(dq", "\""}, {"\\&", ""},
      {"\\fB", ""}, {"\\fI", ""},   {"\\fR", ""},    {"\\e", "\\"}};
  std::string shown;
  for (std::size_t i = 0; i < line.size();) {
    bool replaced = false;
    for (const auto& [escape, text] : escapes) {
      if (line.compare(i, escape.size(), escape) == 0) {
        shown += text;
        i += escape.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) shown += line[i++];
  }
  return shown;
}

// manualExamples: the "$ " lines between .EX and .EE.
std::vector<CExample> manualExamples() {
  std::vector<CExample> examples;
  bool inExample = false;
  const std::vector<std::string> text = lines(source("doc/dhcp-eval.1"));
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == ".EX" || text[i] == ".EE") {
      inExample = text[i] == ".EX";
      continue;
    }
    if (!inExample) continue;
    const std::string content = unescaped(text[i]);
    if (content.rfind("$ ", 0) == 0) {
      examples.push_back(CExample{i + 1, content.substr(2), {}});
    } else if (!examples.empty()) {
      examples.back().output.push_back(content);
    }
  }
  return examples;
}

// matches: printed is expected, a "..." line of expected (indented or not)
// standing for any run of lines.
bool matches(const std::vector<std::string>& printed, std::size_t p,
             const std::vector<std::string>& expected, std::size_t e) {
  if (e == expected.size()) return p == printed.size();
  if (expected[e].find_first_not_of(' ') != std::string::npos &&
      expected[e].substr(expected[e].find_first_not_of(' ')) == "...") {
    for (std::size_t skip = p; skip <= printed.size(); ++skip) {
      if (matches(printed, skip, expected, e + 1)) return true;
    }
    return false;
  }
  return p < printed.size() && printed[p] == expected[e] &&
         matches(printed, p + 1, expected, e + 1);
}

void runExamples(const std::string& document, const std::vector<CExample>& examples) {
  CScratchDir dir;
  std::filesystem::create_directory_symlink(std::string(DHCP_EVAL_SOURCE_DIR) + "/examples",
                                            dir.path() + "/examples");
  const std::string tools = std::filesystem::path(DHCP_EVAL_COMMAND).parent_path().string();
  for (const CExample& example : examples) {
    SCOPED_TRACE(document + ":" + std::to_string(example.line) + ": $ " + example.command);
    // The README shows the program where the build puts it.
    const std::string command =
        std::regex_replace(example.command, std::regex("^build/tools/dhcp-eval "), "dhcp-eval ");
    const CCommandResult result = runProgram(dir, "/bin/sh",
                                             {"-c", "cd '" + dir.path() + "' && PATH='" + tools +
                                                        "':\"$PATH\" && (" + command + ") 2>&1"});
    EXPECT_LT(result.status, 128) << "ended by a signal";
    EXPECT_TRUE(matches(lines(result.out), 0, example.output, 0)) << "printed:\n" << result.out;
  }
}

TEST(DocumentedExamplesTest, ReadmeExamplesPrintWhatTheyShow) {
  const std::vector<CExample> examples = readmeExamples();
  EXPECT_GE(examples.size(), 4u);
  runExamples("README.md", examples);
}

TEST(DocumentedExamplesTest, ManualPageExamplesPrintWhatTheyShow) {
  const std::vector<CExample> examples = manualExamples();
  EXPECT_GE(examples.size(), 15u);
  runExamples("doc/dhcp-eval.1", examples);
}

// optionsOf: the options ("-f", "--json") named in the lines of text that
// start with prefix.
std::set<std::string> optionsOf(const std::vector<std::string>& text, const std::string& prefix) {
  static const std::regex option("(^|[ ,\\[])(--?[a-z0-9][a-z0-9-]*)");
  std::set<std::string> found;
  for (const std::string& line : text) {
    if (line.rfind(prefix, 0) != 0) continue;
    for (std::sregex_iterator it(line.begin(), line.end(), option), end; it != end; ++it)
      found.insert((*it)[2]);
  }
  return found;
}

// manualTags: the tags (the line after .TP, a font macro and its words) of
// the manual page's section title, as shown.
std::vector<std::string> manualTags(const std::string& title) {
  std::vector<std::string> tags;
  bool inSection = false;
  bool tagNext = false;
  for (const std::string& line : lines(source("doc/dhcp-eval.1"))) {
    if (line.rfind(".SH ", 0) == 0) inSection = line == ".SH " + title;
    if (inSection && tagNext) {
      std::string tag = unescaped(line.substr(line.find(' ') + 1));
      tag.erase(std::remove(tag.begin(), tag.end(), '"'), tag.end());
      tags.push_back(tag);
    }
    tagNext = inSection && line == ".TP";
  }
  return tags;
}

TEST(DocumentedExamplesTest, ManualPageListsTheOptionsOfHelp) {
  CScratchDir dir;
  const CCommandResult help = runDhcpEval(dir, {"--help"});
  ASSERT_EQ(help.status, 0);
  EXPECT_EQ(optionsOf(manualTags("OPTIONS"), "-"), optionsOf(lines(help.out), "  -"));

  // The title names the version the program reports ("dhcp-eval 0.1.0").
  const CCommandResult reported = runDhcpEval(dir, {"--version"});
  EXPECT_EQ(reported.status, 0);
  const std::string version = reported.out.substr(reported.out.find(' ') + 1);
  std::string title;
  for (const std::string& line : lines(source("doc/dhcp-eval.1"))) {
    if (line.rfind(".TH ", 0) == 0) title = line;
  }
  EXPECT_NE(title.find("\"dhcp_eval " + version.substr(0, version.size() - 1) + "\""),
            std::string::npos)
      << title << " / " << reported.out;

  // kv: its options, and its commands (the help lines "  COMMAND ...", the
  // manual's tags that are no option).
  const CCommandResult kvHelp = runDhcpEval(dir, {"kv", "--help"});
  ASSERT_EQ(kvHelp.status, 0);
  const std::vector<std::string> kvTags = manualTags("\"KEY-VALUE RECORDS\"");
  EXPECT_EQ(optionsOf(kvTags, "-"), optionsOf(lines(kvHelp.out), "  -"));
  std::set<std::string> helpCommands;
  std::set<std::string> manualCommands;
  static const std::regex command("^  ([a-z]+)( |$)");
  for (const std::string& line : lines(kvHelp.out)) {
    std::smatch match;
    if (std::regex_search(line, match, command)) helpCommands.insert(match[1]);
  }
  for (const std::string& tag : kvTags)
    if (tag.rfind('-', 0) != 0) manualCommands.insert(tag.substr(0, tag.find(' ')));
  EXPECT_EQ(helpCommands.size(), 7u);  // set, get, delete, list, import, export, copy
  EXPECT_EQ(manualCommands, helpCommands);
}

}  // namespace
}  // namespace qvt::test
