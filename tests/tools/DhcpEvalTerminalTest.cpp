// dhcp-eval on a terminal (a pseudo-terminal here): Tab completes function
// names, commands and file names, and an open parenthesis asks for the next
// line.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/CommandRunner.h"

namespace qvt::test {
namespace {

class CTerminalSession {
 public:
  // CTerminalSession: dhcp-eval with arguments on a new terminal.
  explicit CTerminalSession(const CScratchDir& dir, std::vector<std::string> arguments = {}) {
    arguments.insert(arguments.begin(), DHCP_EVAL_COMMAND);
    std::vector<char*> argv;
    for (std::string& argument : arguments)
      argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_ = forkpty(&terminal_, nullptr, nullptr, nullptr);
    if (pid_ == 0) {
      setenv("HOME", dir.path().c_str(), 1);
      setenv("TERM", "xterm", 1);
      execv(DHCP_EVAL_COMMAND, argv.data());
      _exit(127);
    }
  }
  CTerminalSession(const CTerminalSession&) = delete;
  CTerminalSession& operator=(const CTerminalSession&) = delete;
  ~CTerminalSession() {
    if (pid_ <= 0) return;
    if (!ended_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    close(terminal_);
  }

  bool started() const { return pid_ > 0; }
  void type(const std::string& keys) {
    ASSERT_EQ(write(terminal_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
  }

  // waitFor: whether text shows on the terminal after what was shown
  // before, within ten seconds.
  bool waitFor(const std::string& text) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (shown_.find(text, seen_) == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd ready{terminal_, POLLIN, 0};
      if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) return false;
      char buffer[512];
      const ssize_t got = read(terminal_, buffer, sizeof buffer);
      if (got <= 0) return false;
      shown_.append(buffer, static_cast<std::size_t>(got));
    }
    seen_ = shown_.find(text, seen_) + text.size();
    return true;
  }

  const std::string& shown() const { return shown_; }

  // exitStatus: the program's exit status once it ended by itself (within
  // ten seconds; -1 otherwise).
  int exitStatus() {
    waitFor(std::string(1, '\0'));  // reads until the terminal closes
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) return -1;
      usleep(10000);
    }
    ended_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
  int terminal_ = -1;
  std::string shown_;
  std::size_t seen_ = 0;
  bool ended_ = false;
};

TEST(DhcpEvalTerminalTest, TabCompletesAndAnOpenParenthesisContinues) {
  CScratchDir dir;
  CTerminalSession session(dir);
  ASSERT_TRUE(session.started());
  ASSERT_TRUE(session.waitFor("dhcp-eval> ")) << session.shown();
  // The keys are read in order, so the completion is done before "(".
  session.type("$UC\t('docsis')\r");
  EXPECT_TRUE(session.waitFor("string \"DOCSIS\"")) << session.shown();
  session.type(":pa\t " DHCP_EVAL_SOURCE_DIR "/examples/dhcp4-relayed.p\t 1\r");
  EXPECT_TRUE(session.waitFor("loaded frame 1 of")) << session.shown();
  session.type("($HWAD\t ==\r");
  EXPECT_TRUE(session.waitFor("...> ")) << session.shown();
  session.type("$HWADDR)\r");
  EXPECT_TRUE(session.waitFor("frame 1: boolean true")) << session.shown();
  session.type("quit\r");
  EXPECT_EQ(session.exitStatus(), 0) << session.shown();
}

// --packet without an expression opens the prompt with the capture loaded;
// one that cannot be loaded is a usage error before any prompt.
TEST(DhcpEvalTerminalTest, PacketWithoutAnExpressionOpensThePromptWithItLoaded) {
  CScratchDir dir;
  const std::string relayed = DHCP_EVAL_SOURCE_DIR "/examples/dhcp4-relayed.pcap";
  CTerminalSession session(dir, {"--packet", relayed, "--frame", "2"});
  ASSERT_TRUE(session.started());
  ASSERT_TRUE(session.waitFor("loaded frame 2 of '" + relayed + "'")) << session.shown();
  ASSERT_TRUE(session.waitFor("dhcp-eval> ")) << session.shown();
  session.type("$HOPS\r");
  EXPECT_TRUE(session.waitFor("frame 2: integer 1")) << session.shown();
  session.type("quit\r");
  EXPECT_EQ(session.exitStatus(), 0) << session.shown();

  CTerminalSession missing(dir, {"--packet", "/nonexistent/x.pcap"});
  ASSERT_TRUE(missing.started());
  EXPECT_EQ(missing.exitStatus(), 2) << missing.shown();
  EXPECT_NE(missing.shown().find("error: Cannot open file '/nonexistent/x.pcap'."),
            std::string::npos)
      << missing.shown();
  EXPECT_EQ(missing.shown().find("dhcp-eval> "), std::string::npos) << missing.shown();
}

}  // namespace
}  // namespace qvt::test
