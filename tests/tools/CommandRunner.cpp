#include "tools/CommandRunner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

extern char** environ;

namespace qvt::test {

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

CScratchDir::CScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "dhcp-eval-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

CScratchDir::~CScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string CScratchDir::write(const std::string& name, const std::string& bytes) const {
  const std::string path = path_ + "/" + name;
  std::ofstream file(path, std::ios::binary);
  file << bytes;
  return path;
}

CCommandResult runDhcpEval(const CScratchDir& dir, const std::vector<std::string>& arguments,
                           const std::string& input) {
  return runProgram(dir, DHCP_EVAL_COMMAND, arguments, input);
}

CCommandResult runProgram(const CScratchDir& dir, const std::string& program,
                          const std::vector<std::string>& arguments, const std::string& input) {
  static int runs = 0;
  const std::string stem = "run" + std::to_string(++runs);
  const std::string inPath = dir.write(stem + ".in", input);
  const std::string outPath = dir.path() + "/" + stem + ".out";
  const std::string errPath = dir.path() + "/" + stem + ".err";

  std::vector<std::string> argvText{program};
  argvText.insert(argvText.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& text : argvText)
    argv.push_back(text.data());
  argv.push_back(nullptr);

  std::vector<std::string> envText{"HOME=" + dir.path()};
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (std::string(*entry).rfind("HOME=", 0) != 0) envText.emplace_back(*entry);
  }
  std::vector<char*> envp;
  for (std::string& text : envText)
    envp.push_back(text.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start " + argvText[0]);

  int wait = 0;
  while (waitpid(pid, &wait, 0) < 0 && errno == EINTR) {
  }
  CCommandResult result;
  result.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : 128 + WTERMSIG(wait);
  result.out = readFile(outPath);
  result.err = readFile(errPath);
  return result;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> cut;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    cut.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return cut;
}

}  // namespace qvt::test
