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

// optionsOf: the options ("-f", "--json") named in lines.
std::set<std::string> optionsOf(const std::vector<std::string>& text) {
  static const std::regex option("(^|[ ,\\[])(--?[a-z0-9][a-z0-9-]*)");
  std::set<std::string> found;
  for (const std::string& line : text) {
    for (std::sregex_iterator it(line.begin(), line.end(), option), end; it != end; ++it)
      found.insert((*it)[2]);
  }
  return found;
}

// helpOptionLines: the lines of a help text that describe options (those
// starting with "  -").
std::vector<std::string> helpOptionLines(const std::string& help) {
  std::vector<std::string> selected;
  for (const std::string& line : lines(help)) {
    if (line.rfind("  -", 0) == 0) selected.push_back(line);
  }
  return selected;
}

// manualOptionLines: the tag lines (after .TP) of the manual page's section
// title, up to the next section, shown as printed; with command words only
// (a tag not starting with "-"), the first word of each.
std::vector<std::string> manualTags(const std::string& title, bool commands) {
  std::vector<std::string> tags;
  bool inSection = false;
  bool tagNext = false;
  for (const std::string& line : lines(source("doc/dhcp-eval.1"))) {
    if (line.rfind(".SH ", 0) == 0) inSection = line == ".SH " + title;
    if (!inSection) continue;
    if (line == ".TP") {
      tagNext = true;
      continue;
    }
    if (!tagNext) continue;
    tagNext = false;
    // A tag line is a font macro (.B, .BI, .BR) and its words.
    std::string tag = unescaped(line.substr(line.find(' ') + 1));
    tag.erase(std::remove(tag.begin(), tag.end(), '"'), tag.end());
    if (!commands) {
      if (tag.rfind('-', 0) == 0) tags.push_back(tag);
    } else if (tag.rfind('-', 0) != 0) {
      tags.push_back(tag.substr(0, tag.find(' ')));
    }
  }
  return tags;
}

TEST(DocumentedExamplesTest, ManualPageListsTheOptionsOfHelp) {
  CScratchDir dir;
  const CCommandResult help = runDhcpEval(dir, {"--help"});
  ASSERT_EQ(help.status, 0);
  EXPECT_EQ(optionsOf(manualTags("OPTIONS", false)), optionsOf(helpOptionLines(help.out)));

  // The title names the version the program reports ("dhcp-eval 0.1.0").
  const std::string reported = runDhcpEval(dir, {"--version"}).out;
  const std::string version = reported.substr(reported.find(' ') + 1);
  std::string title;
  for (const std::string& line : lines(source("doc/dhcp-eval.1"))) {
    if (line.rfind(".TH ", 0) == 0) title = line;
  }
  EXPECT_NE(title.find("\"dhcp_eval " + version.substr(0, version.size() - 1) + "\""),
            std::string::npos)
      << title << " / " << reported;

  const CCommandResult kvHelp = runDhcpEval(dir, {"kv", "--help"});
  ASSERT_EQ(kvHelp.status, 0);
  EXPECT_EQ(optionsOf(manualTags("\"KEY-VALUE RECORDS\"", false)),
            optionsOf(helpOptionLines(kvHelp.out)));
  // The commands: the lines of "commands:" in the help text.
  std::set<std::string> helpCommands;
  static const std::regex command("^  ([a-z]+)( |$)");
  for (const std::string& line : lines(kvHelp.out)) {
    std::smatch match;
    if (std::regex_search(line, match, command)) helpCommands.insert(match[1]);
  }
  const std::vector<std::string> manual = manualTags("\"KEY-VALUE RECORDS\"", true);
  EXPECT_EQ(std::set<std::string>(manual.begin(), manual.end()), helpCommands);
}

}  // namespace
}  // namespace qvt::test
