// CPostgresConnection: one connection to a PostgreSQL key-value database,
// with its statements prepared on the server (under their names, such as
// "keyvalue.class_subclass_key_enabled") on first use.
//
// Nothing waits longer than the timeout: connecting (with the session's
// set-up) and each call (with preparing its statement) run against a
// deadline that far ahead, and the session's statement_timeout makes the
// server give up as well. A call that must connect first so waits at most
// twice the timeout. Failures raise CException (module
// "prst_generic") whose reason is the server's account with the password
// masked:
//   "Database '%1' is unavailable: %2"   cannot connect, or the server went away
//   "Database '%1' did not answer within %2 ms."
//   the server's error text otherwise (a refused statement)
// After the first two the connection is lost() and must be dropped.
#pragma once

#include <array>
#include <chrono>
#include <memory>
#include <string>

#include "class_a/standard/CMessage.h"
#include "host/kvstore/CKeyValueConnection.h"

struct pg_conn;
struct pg_result;

namespace qvt::host {

class CPostgresConnection : public CKeyValueConnection {
 public:
  // CPostgresConnection: connects with the libpq connection text database
  // (URI or key=value); masked names it in messages, and password (may be
  // empty) is masked wherever the server's texts repeat it.
  CPostgresConnection(const std::string& database, std::string masked, std::string password,
                      std::chrono::milliseconds timeout);
  ~CPostgresConnection() override;

  void select(CKeyValueStatement id, std::initializer_list<CSqlArg> args,
              std::vector<CPrstKeyValue>& records) override;
  std::optional<std::int64_t> write(CKeyValueStatement id,
                                    std::initializer_list<CSqlArg> args) override;
  void execute(const char* sql) override;
  std::optional<std::string> firstValue(const char* sql) override;
  void rollback() noexcept override;
  bool lost() const override { return state_ != CState::kOpen; }
  bool serverWentAway() const override { return state_ == CState::kGone; }

 private:
  enum class CState { kOpen, kGone, kTimedOut };
  struct CFinisher {
    void operator()(pg_conn* connection) const;
  };
  struct CClearer {
    void operator()(pg_result* result) const;
  };
  using CResult = std::unique_ptr<pg_result, CClearer>;
  using CClock = std::chrono::steady_clock;

  void _connect(const std::string& database);
  // _prepared: sends the prepared statement of id with args (preparing it
  // first on this connection) and returns its result.
  CResult _prepared(CKeyValueStatement id, std::initializer_list<CSqlArg> args);
  // _await: the result of what was sent, waiting until deadline.
  CResult _await(CClock::time_point deadline);
  // _check: raises unless result succeeded; rows: whether it returns rows.
  void _check(const CResult& result, bool rows);
  void _wait(short events, CClock::time_point deadline);
  [[noreturn]] void _failSend();
  [[noreturn]] void _failUnavailable(const std::string& text);
  [[noreturn]] void _failTimeout();
  [[noreturn]] void _fail(const CMessage& reason) const;
  // _scrubbed: text on one line, the password masked.
  std::string _scrubbed(const std::string& text) const;

  std::unique_ptr<pg_conn, CFinisher> connection_;
  const std::string masked_;
  const std::string password_;
  const std::chrono::milliseconds timeout_;
  CState state_ = CState::kOpen;
  std::array<bool, kKeyValueStatementCount> prepared_{};
};

}  // namespace qvt::host
