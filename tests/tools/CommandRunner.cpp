#include "tools/CommandRunner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

extern char** environ;

namespace qvt::test {

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

pid_t startProgram(const CScratchDir& dir, const std::string& program,
                   const std::vector<std::string>& arguments, const std::string& inPath,
                   const std::string& outPath, const std::string& errPath) {
  std::vector<std::string> argvText{program};
  argvText.insert(argvText.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& text : argvText)
    argv.push_back(text.data());
  argv.push_back(nullptr);
  std::string home = "HOME=" + dir.path();
  std::vector<char*> envp{home.data()};
  for (char** entry = environ; *entry != nullptr; ++entry)
    if (std::strncmp(*entry, "HOME=", 5) != 0) envp.push_back(*entry);
  envp.push_back(nullptr);
  const pid_t pid = fork();
  if (pid != 0) return pid;
  dup2(open(inPath.c_str(), O_RDONLY | O_CLOEXEC), 0);
  dup2(open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600), 1);
  dup2(open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600), 2);
  execve(argv[0], argv.data(), envp.data());
  _exit(127);
}

CCommandResult runProgram(const CScratchDir& dir, const std::string& program,
                          const std::vector<std::string>& arguments, const std::string& input) {
  static int runs = 0;
  const std::string stem = "run" + std::to_string(++runs);
  const std::string inPath = dir.write(stem + ".in", input);
  const std::string outPath = dir.path() + "/" + stem + ".out";
  const std::string errPath = dir.path() + "/" + stem + ".err";
  const pid_t pid = startProgram(dir, program, arguments, inPath, outPath, errPath);
  if (pid < 0) throw std::runtime_error("cannot start " + program);
  int wait = 0;
  while (waitpid(pid, &wait, 0) < 0 && errno == EINTR) {
  }
  CCommandResult result;
  result.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : 128 + WTERMSIG(wait);
  result.out = readFile(outPath);
  result.err = readFile(errPath);
  return result;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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
