#include "tools/dhcp-eval/KvCommand.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "class_a/prst_generic/CIKeyValueStore.h"
#include "class_a/standard/CException.h"
#include "host/kvstore/KeyValueCopy.h"
#include "host/kvstore/KeyValueRecordFile.h"
#include "host/kvstore/KeyValueStores.h"
#include "tools/dhcp-eval/CJsonWriter.h"
#include "tools/dhcp-eval/CliErrors.h"
#include "tools/dhcp-eval/CommandLine.h"
#include "tools/dhcp-eval/ValueText.h"

namespace qvt::tool {

const char kKvUsage[] =
    "usage: dhcp-eval kv --db DB [--json] [--db-timeout MS] COMMAND [ARGUMENT]...\n"
    "       dhcp-eval kv copy --from DB --to DB\n"
    "\n"
    "Keeps the key-value records that $DB.KEYVALUE and $DB.KEYVALUE.EXISTS read.\n"
    "DB is an SQLite file (\"kv.db\", \"sqlite:kv.db\") or a PostgreSQL connection\n"
    "text (\"postgresql://user@host/db\", \"host=/run/pg dbname=kv\").\n"
    "\n"
    "commands:\n"
    "  set CLASS SUBCLASS KEY VALUE [--disabled]\n"
    "                   store a record (replacing the one with the same key);\n"
    "                   --disabled stores it disabled, so lookups skip it\n"
    "  get CLASS SUBCLASS KEY\n"
    "                   print the record's value\n"
    "  delete CLASS SUBCLASS KEY\n"
    "                   remove the record\n"
    "  list [CLASS [SUBCLASS]]\n"
    "                   print the records, one per line: class, subclass, key,\n"
    "                   value and \"enabled\" or \"disabled\", separated by tabs\n"
    "  import FILE      store the records of FILE (\"-\": standard input), written as\n"
    "                   \"export\" writes them: key=value lines, a blank line between\n"
    "                   records; all of them or, when one fails, none\n"
    "  export           print every record in the form \"import\" reads\n"
    "  copy --from DB --to DB\n"
    "                   store every record of one database in another\n"
    "\n"
    "options:\n"
    "  --db DB          the database (\"set\" and \"import\" create a missing one)\n"
    "  --json           \"get\" and \"list\" print one JSON object per record:\n"
    "                   {\"class\": C, \"subclass\": S, \"key\": K, \"value\": V,\n"
    "                   \"enabled\": B}\n"
    "  --db-timeout MS  how long an operation waits for a locked database\n"
    "                   (default 5000)\n"
    "  -h, --help       show this help\n"
    "\n"
    "Exit status: 0 when done, 1 when the record does not exist or the database\n"
    "fails, 2 for a usage error or a database or file that cannot be opened.\n";

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// CKvFailure: an error already worded for the user, with its exit status.
struct CKvFailure {
  int status;
  std::string message;
};

struct CKvLine {
  std::string command;
  std::vector<std::string> arguments;
  std::string database;
  std::string from;
  std::string to;
  bool json = false;
  bool disabled = false;
  bool help = false;
  std::string timeout;
};

CKvLine parseKvLine(int argc, const char* const* argv) {
  CKvLine line;
  CLI::App app{"dhcp-eval kv"};
  app.set_help_flag();
  app.allow_extras();
  const auto common = [&line](CLI::App& target) {
    target.add_option("--db", line.database)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    target.add_option("--db-timeout", line.timeout)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    target.add_flag("--json", line.json)->disable_flag_override();
    target.add_flag("-h", line.help)->disable_flag_override();
    target.add_flag("--help", line.help)->disable_flag_override();
  };
  common(app);
  for (const char* name : {"set", "get", "delete", "list", "import", "export", "copy"}) {
    CLI::App* sub = app.add_subcommand(name);
    sub->set_help_flag();
    sub->allow_extras();
    common(*sub);
    sub->add_option("arguments", line.arguments);
    sub->callback([&line, name] { line.command = name; });
    if (std::string(name) == "set") {
      sub->add_flag("--disabled", line.disabled)->disable_flag_override();
    }
    if (std::string(name) == "copy") {
      sub->add_option("--from", line.from)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
      sub->add_option("--to", line.to)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    }
  }
  // After "--" every argument is the command's own (a key that begins with
  // "-"); CLI11 reads the vector from its back.
  std::vector<std::string> afterDash;
  std::vector<std::string> arguments = splitAtDoubleDash(argc, argv, afterDash);
  std::reverse(arguments.begin(), arguments.end());
  try {
    app.parse(arguments);
  } catch (const CLI::ParseError& e) {
    throw CUsageError{usageMessage(e)};
  }
  if (line.help) return line;
  std::vector<std::string> extras = app.remaining();
  for (const CLI::App* sub : app.get_subcommands()) {
    const std::vector<std::string> more = sub->remaining();
    extras.insert(extras.end(), more.begin(), more.end());
  }
  if (line.command.empty()) {
    if (!extras.empty()) throw CUsageError{"kv: unknown command '" + extras.front() + "'"};
    throw CUsageError{"kv: a command is needed: set, get, delete, list, import, export or copy"};
  }
  if (!extras.empty()) throw CUsageError{"unknown option '" + extras.front() + "'"};
  line.arguments.insert(line.arguments.end(), afterDash.begin(), afterDash.end());
  return line;
}

// checkArguments: raises CUsageError when the command's arguments do not
// fit it.
void checkArguments(const CKvLine& line) {
  struct CShape {
    const char* command;
    std::size_t minimum;
    std::size_t maximum;
    const char* text;
  };
  static const CShape kShapes[] = {
      {"set", 4, 4, "CLASS SUBCLASS KEY VALUE"},
      {"get", 3, 3, "CLASS SUBCLASS KEY"},
      {"delete", 3, 3, "CLASS SUBCLASS KEY"},
      {"list", 0, 2, "at most CLASS and SUBCLASS"},
      {"import", 1, 1, "FILE"},
      {"export", 0, 0, "no arguments"},
      {"copy", 0, 0, "no arguments, only --from DB and --to DB"},
  };
  for (const CShape& shape : kShapes) {
    if (line.command != shape.command) continue;
    if (line.arguments.size() < shape.minimum || line.arguments.size() > shape.maximum) {
      throw CUsageError{"kv " + line.command + " takes " + shape.text};
    }
  }
  if (line.command == "copy" && (line.from.empty() || line.to.empty())) {
    throw CUsageError{"kv copy needs --from DB and --to DB"};
  }
  if (line.command != "copy" && line.database.empty()) {
    throw CUsageError{"kv " + line.command + " needs --db DB"};
  }
}

std::unique_ptr<CIKeyValueStore> openStore(const std::string& database, bool create,
                                           std::uint32_t timeoutMs) {
  host::CKeyValueStoreOptions options;
  options.create = create;
  options.timeout = std::chrono::milliseconds(timeoutMs);
  try {
    return host::openKeyValueStore(database, options);
  } catch (const CException& e) {
    throw CKvFailure{kExitUsage, e.text()};
  }
}

std::string keyText(const CKeyValueKey& key) {
  return "class '" + key.kclass + "', subclass '" + key.subclass + "', key '" + key.key + "'";
}

void writeRecord(std::ostream& out, const CPrstKeyValue& record, bool json) {
  if (json) {
    CJsonWriter writer;
    writer.beginObject()
        .member("class", record.kclass())
        .member("subclass", record.subclass())
        .member("key", record.key())
        .member("value", record.value())
        .member("enabled", record.enabled())
        .endObject();
    out << writer.text() << '\n';
    return;
  }
  out << printableText(record.kclass()) << '\t' << printableText(record.subclass()) << '\t'
      << printableText(record.key()) << '\t' << printableText(record.value()) << '\t'
      << (record.enabled() ? "enabled" : "disabled") << '\n';
}

int run(const CKvLine& line, std::uint32_t timeoutMs, std::ostream& out, std::ostream& err) {
  const std::string& command = line.command;
  checkArguments(line);
  if (command == "copy") {
    const std::unique_ptr<CIKeyValueStore> from = openStore(line.from, false, timeoutMs);
    const std::unique_ptr<CIKeyValueStore> to = openStore(line.to, false, timeoutMs);
    const std::size_t copied = host::copyRecords(*from, *to);
    out << "copied " << copied << " records from '" << from->description() << "' to '"
        << to->description() << "'\n";
    return kExitOk;
  }
  if (command == "set") {
    CPrstKeyValue record(line.arguments[0], line.arguments[1], line.arguments[2], line.arguments[3],
                         !line.disabled);
    openStore(line.database, true, timeoutMs)->save(record);
    return kExitOk;
  }
  if (command == "import") {
    // The records are read whole before the database is touched.
    std::vector<CPrstKeyValue> records;
    try {
      records = line.arguments[0] == "-" ? host::readRecordStream(stdin, "(standard input)")
                                         : host::readRecordFile(line.arguments[0]);
    } catch (const CException& e) {
      throw CKvFailure{kExitUsage, e.text()};
    }
    const std::unique_ptr<CIKeyValueStore> store = openStore(line.database, true, timeoutMs);
    store->saveAll(records);
    out << "imported " << records.size() << " records into '" << store->description() << "'\n";
    return kExitOk;
  }
  const std::unique_ptr<CIKeyValueStore> store = openStore(line.database, false, timeoutMs);
  if (command == "export") {
    out << host::writeRecords(store->list());
    return kExitOk;
  }
  if (command == "list") {
    std::vector<CPrstKeyValue> records;
    if (line.arguments.size() == 2) {
      records = store->query(kKeyValueBySubclass, {line.arguments[0], line.arguments[1], ""});
    } else {
      records = store->list(line.arguments.empty() ? std::optional<std::string>()
                                                   : std::optional<std::string>(line.arguments[0]));
    }
    for (const CPrstKeyValue& record : records)
      writeRecord(out, record, line.json);
    return kExitOk;
  }
  const CKeyValueKey key{line.arguments[0], line.arguments[1], line.arguments[2]};
  if (command == "delete") {
    if (store->remove(key)) return kExitOk;
  } else {
    const std::vector<CPrstKeyValue> found = store->query(kKeyValueByKey, key, 1);
    if (!found.empty()) {
      if (line.json) {
        writeRecord(out, found.front(), true);
      } else {
        out << found.front().value() << '\n';
        if (!found.front().enabled()) {
          err << "dhcp-eval: note: the record is disabled; $DB.KEYVALUE does not see it\n";
        }
      }
      return kExitOk;
    }
  }
  throw CKvFailure{kExitFailed,
                   "kv: no record with " + keyText(key) + " in '" + store->description() + "'"};
}

}  // namespace

int runKv(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  try {
    const CKvLine line = parseKvLine(argc, argv);
    if (line.help) {
      out << kKvUsage;
      return kExitOk;
    }
    const std::uint32_t timeoutMs =
        line.timeout.empty()
            ? 5000
            : static_cast<std::uint32_t>(parseCount("--db-timeout", line.timeout, 0));
    return run(line, timeoutMs, out, err);
  } catch (const CUsageError& e) {
    err << "dhcp-eval: " << e.message << "\nTry 'dhcp-eval kv --help'.\n";
    return kExitUsage;
  } catch (const CKvFailure& e) {
    err << "dhcp-eval: " << printableText(e.message) << '\n';
    return e.status;
  } catch (const CException& e) {
    err << "dhcp-eval: " << printableText(e.text()) << '\n';
    return kExitFailed;
  }
}

}  // namespace qvt::tool
