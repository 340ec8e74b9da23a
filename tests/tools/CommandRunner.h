// CommandRunner: runs the built dhcp-eval as a process in a scratch
// directory and collects what it printed.
//
//   CScratchDir dir;
//   CCommandResult r = runDhcpEval(dir, {"--json", "1 + 2"});
//   r.status;   // 0
//   r.out;      // {"expression": "1 + 2", ...}\n
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace qvt::test {

// CScratchDir: a fresh directory under the system's temporary directory,
// removed with everything in it when the object goes.
class CScratchDir {
 public:
  CScratchDir();
  CScratchDir(const CScratchDir&) = delete;
  CScratchDir& operator=(const CScratchDir&) = delete;
  ~CScratchDir();

  const std::string& path() const { return path_; }
  // write: a file named name in the directory holding bytes; its path.
  std::string write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

struct CCommandResult {
  int status = -1;  // the exit status; 128 + the signal when one ended it
  std::string out;
  std::string err;
};

// runDhcpEval: runs dhcp-eval with arguments, standard input read from a file
// holding input (never a terminal), HOME set to the scratch directory.
CCommandResult runDhcpEval(const CScratchDir& dir, const std::vector<std::string>& arguments,
                           const std::string& input = std::string());

// runProgram: runs program (a path) with arguments the way runDhcpEval runs
// dhcp-eval.
CCommandResult runProgram(const CScratchDir& dir, const std::string& program,
                          const std::vector<std::string>& arguments,
                          const std::string& input = std::string());

// startProgram: starts program (a path) with arguments, standard input,
// output and error on the files at those paths, HOME set to the scratch
// directory; its process id (-1 when it cannot start).
pid_t startProgram(const CScratchDir& dir, const std::string& program,
                   const std::vector<std::string>& arguments, const std::string& inPath,
                   const std::string& outPath, const std::string& errPath);

// readFile: the bytes of the file at path ("" when it cannot be read).
std::string readFile(const std::string& path);

// lines: text cut at each line feed (a last unterminated piece included).
std::vector<std::string> lines(const std::string& text);

}  // namespace qvt::test
