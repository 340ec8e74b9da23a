#include "host/kvstore/CPostgresConnection.h"

#include <libpq-fe.h>
#include <poll.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <type_traits>

#include "class_a/standard/Fail.h"

namespace qvt::host {

namespace {

// Type OIDs of the parameters (pg_type).
constexpr Oid kTextOid = 25;
constexpr Oid kInt8Oid = 20;
constexpr Oid kBoolOid = 16;
constexpr std::size_t kMaxParameters = 6;

void ignoreNotice(void*, const char*) {}

std::int64_t toInt64(const char* text) {
  std::int64_t value = 0;
  std::from_chars(text, text + std::strlen(text), value);
  return value;
}

// CParameters: args laid out for libpq without heap use: text as binary
// (raw bytes with a length, so it needs no terminating NUL), numbers and
// flags as text.
struct CParameters {
  explicit CParameters(std::initializer_list<CSqlArg> args) : count(static_cast<int>(args.size())) {
    std::size_t i = 0;
    for (const CSqlArg& arg : args) {
      std::visit(
          [&](const auto& value) {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, std::string_view>) {
              types[i] = kTextOid;
              values[i] = value.data();
              lengths[i] = static_cast<int>(value.size());
              formats[i] = 1;
            } else if constexpr (std::is_same_v<T, CSqlFlag>) {
              types[i] = kBoolOid;
              values[i] = value.value ? "t" : "f";
            } else {
              types[i] = kInt8Oid;
              char* end = std::to_chars(numbers[i].data(), numbers[i].data() + 23, value).ptr;
              *end = '\0';
              values[i] = numbers[i].data();
            }
          },
          arg);
      ++i;
    }
  }

  int count;
  std::array<Oid, kMaxParameters> types{};
  std::array<const char*, kMaxParameters> values{};
  std::array<int, kMaxParameters> lengths{};
  std::array<int, kMaxParameters> formats{};
  std::array<std::array<char, 24>, kMaxParameters> numbers{};
};

}  // namespace

void CPostgresConnection::CFinisher::operator()(pg_conn* connection) const {
  PQfinish(connection);
}

void CPostgresConnection::CClearer::operator()(pg_result* result) const {
  PQclear(result);
}

CPostgresConnection::CPostgresConnection(const std::string& database, std::string masked,
                                         std::string password, std::chrono::milliseconds timeout)
    : CKeyValueConnection(postgresSql()),
      masked_(std::move(masked)),
      password_(std::move(password)),
      timeout_(timeout) {
  _connect(database);
}

CPostgresConnection::~CPostgresConnection() = default;

void CPostgresConnection::_connect(const std::string& database) {
  // Keywords before "dbname" are defaults that the connection text may
  // override.
  const char* const keywords[] = {"application_name", "dbname", nullptr};
  const char* const values[] = {"dhcp_eval", database.c_str(), nullptr};
  connection_.reset(PQconnectStartParams(keywords, values, 1));
  if (!connection_) _failUnavailable("out of memory");
  const CClock::time_point deadline = CClock::now() + timeout_;
  PostgresPollingStatusType status = PGRES_POLLING_WRITING;
  while (status != PGRES_POLLING_OK) {
    if (status == PGRES_POLLING_FAILED || PQstatus(connection_.get()) == CONNECTION_BAD) {
      _failUnavailable(PQerrorMessage(connection_.get()));
    }
    _wait(status == PGRES_POLLING_READING ? POLLIN : POLLOUT, deadline);
    status = PQconnectPoll(connection_.get());
  }
  PQsetNoticeProcessor(connection_.get(), ignoreNotice, nullptr);
  if (PQsetnonblocking(connection_.get(), 1) != 0) _failSend();

  const std::string milliseconds = std::to_string(timeout_.count());
  const char* const timeoutValue[] = {milliseconds.c_str()};
  if (!PQsendQueryParams(connection_.get(), kPostgresSetTimeout, 1, nullptr, timeoutValue, nullptr,
                         nullptr, 0)) {
    _failSend();
  }
  _check(_await(deadline), true);
}

CPostgresConnection::CResult CPostgresConnection::_prepared(CKeyValueStatement id,
                                                            std::initializer_list<CSqlArg> args) {
  const CParameters parameters(args);
  const CClock::time_point deadline = CClock::now() + timeout_;
  const char* name = statementName(id);
  const std::size_t slot = static_cast<std::size_t>(id);
  if (!prepared_[slot]) {
    if (!PQsendPrepare(connection_.get(), name, sql().statement(id), parameters.count,
                       parameters.types.data())) {
      _failSend();
    }
    _check(_await(deadline), false);
    prepared_[slot] = true;
  }
  if (!PQsendQueryPrepared(connection_.get(), name, parameters.count, parameters.values.data(),
                           parameters.lengths.data(), parameters.formats.data(), 0)) {
    _failSend();
  }
  CResult result = _await(deadline);
  _check(result, true);
  return result;
}

void CPostgresConnection::select(CKeyValueStatement id, std::initializer_list<CSqlArg> args,
                                 std::vector<CPrstKeyValue>& records) {
  const CResult result = _prepared(id, args);
  const int rows = PQntuples(result.get());
  records.reserve(records.size() + static_cast<std::size_t>(rows));
  for (int row = 0; row < rows; ++row) {
    const auto text = [&](int column) {
      return std::string(PQgetvalue(result.get(), row, column),
                         static_cast<std::size_t>(PQgetlength(result.get(), row, column)));
    };
    CPrstKeyValue& record = records.emplace_back(text(0), text(1), text(2), text(3),
                                                 PQgetvalue(result.get(), row, 4)[0] == 't');
    record.setModTime(toInt64(PQgetvalue(result.get(), row, 5)));
    record.setOid(toInt64(PQgetvalue(result.get(), row, 6)));
  }
}

std::optional<std::int64_t> CPostgresConnection::write(CKeyValueStatement id,
                                                       std::initializer_list<CSqlArg> args) {
  const CResult result = _prepared(id, args);
  if (PQntuples(result.get()) == 0) return std::nullopt;
  return toInt64(PQgetvalue(result.get(), 0, 0));
}

void CPostgresConnection::execute(const char* sql) {
  if (!PQsendQuery(connection_.get(), sql)) _failSend();
  _check(_await(CClock::now() + timeout_), true);
}

std::optional<std::string> CPostgresConnection::firstValue(const char* sql) {
  if (!PQsendQueryParams(connection_.get(), sql, 0, nullptr, nullptr, nullptr, nullptr, 0)) {
    _failSend();
  }
  const CResult result = _await(CClock::now() + timeout_);
  _check(result, true);
  if (PQntuples(result.get()) == 0) return std::nullopt;
  return std::string(PQgetvalue(result.get(), 0, 0));
}

void CPostgresConnection::rollback() noexcept {
  if (lost() || PQtransactionStatus(connection_.get()) == PQTRANS_IDLE) return;
  try {
    execute(sql().rollback);
  } catch (const CException&) {
    // A connection that cannot roll back is dropped; the server then ends
    // the transaction itself.
    if (state_ == CState::kOpen) state_ = CState::kGone;
  }
}

CPostgresConnection::CResult CPostgresConnection::_await(CClock::time_point deadline) {
  PGconn* connection = connection_.get();
  // Non-blocking: what does not fit the socket at once is flushed while
  // the server's answers are read.
  int flushed;
  while ((flushed = PQflush(connection)) == 1) {
    _wait(POLLIN | POLLOUT, deadline);
    if (!PQconsumeInput(connection)) _failSend();
  }
  if (flushed < 0) _failSend();
  // The first result is the answer; the rest (none, for these statements)
  // are read and dropped so that the connection is ready again.
  CResult first;
  for (;;) {
    while (PQisBusy(connection)) {
      _wait(POLLIN, deadline);
      if (!PQconsumeInput(connection)) _failSend();
    }
    PGresult* result = PQgetResult(connection);
    if (!result) break;
    if (!first) {
      first.reset(result);
    } else {
      PQclear(result);
    }
  }
  return first;
}

void CPostgresConnection::_check(const CResult& result, bool rows) {
  const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status == PGRES_COMMAND_OK || (rows && status == PGRES_TUPLES_OK)) return;
  if (PQstatus(connection_.get()) == CONNECTION_BAD) _failSend();
  // The primary message alone: the full text adds the statement and its
  // context on further lines.
  const char* primary =
      result ? PQresultErrorField(result.get(), PG_DIAG_MESSAGE_PRIMARY) : nullptr;
  _fail(_scrubbed(primary ? primary : PQerrorMessage(connection_.get())));
}

void CPostgresConnection::_wait(short events, CClock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - CClock::now());
    if (left.count() <= 0) _failTimeout();
    pollfd descriptor{PQsocket(connection_.get()), events, 0};
    if (descriptor.fd < 0) _failSend();
    const int ready = ::poll(&descriptor, 1, static_cast<int>(left.count()));
    if (ready > 0) return;
    if (ready < 0 && errno != EINTR) _failSend();
  }
}

void CPostgresConnection::_failSend() {
  _failUnavailable(PQerrorMessage(connection_.get()));
}

void CPostgresConnection::_failUnavailable(const std::string& text) {
  state_ = CState::kGone;
  connection_.reset();
  _fail({"Database '%1' is unavailable: %2", masked_, _scrubbed(text)});
}

void CPostgresConnection::_failTimeout() {
  // The connection may be halfway through a message; it cannot be used
  // again.
  state_ = CState::kTimedOut;
  connection_.reset();
  _fail({"Database '%1' did not answer within %2 ms.", masked_,
         static_cast<std::int64_t>(timeout_.count())});
}

void CPostgresConnection::_fail(const CMessage& reason) const {
  fail(CRaiser::of(*this), "prst_generic", "CPostgresConnection::execute",
       "PostgreSQL statement failed.", reason);
}

std::string CPostgresConnection::_scrubbed(const std::string& text) const {
  std::string line;
  bool blank = false;
  for (const char c : text) {
    if (c == '\n' || c == '\r' || c == '\t' || c == ' ') {
      blank = !line.empty();
      continue;
    }
    if (blank) line += ' ';
    blank = false;
    line += c;
  }
  if (line.empty()) line = "no answer";
  if (!password_.empty()) {
    for (std::size_t at = line.find(password_); at != std::string::npos;
         at = line.find(password_, at + 4)) {
      line.replace(at, password_.size(), "****");
    }
  }
  return line;
}

}  // namespace qvt::host
