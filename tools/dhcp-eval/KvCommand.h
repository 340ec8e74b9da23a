// KvCommand: `dhcp-eval kv`, the key-value records that $DB.KEYVALUE and
// $DB.KEYVALUE.EXISTS read, kept in an SQLite file or a PostgreSQL database
// (any database text of host::openKeyValueStore):
//
//   dhcp-eval kv --db kv.db set pool cm 00-11-22-33-44-55 10.1.0.0
//   dhcp-eval kv --db kv.db get pool cm 00-11-22-33-44-55     # 10.1.0.0
//   dhcp-eval kv --db kv.db export > records.txt
//   dhcp-eval kv copy --from kv.db --to postgresql://dhcp@db/kv
//
// Only "set" and "import" create a database that does not exist; every
// other command refuses a missing database or a file that is not a
// key-value database and leaves it as it was. "import" and "copy" write all
// records in one transaction: all of them, or none.
#pragma once

#include <ostream>

namespace qvt::tool {

// kKvUsage: the text of "dhcp-eval kv --help".
extern const char kKvUsage[];

// runKv: runs the kv command line (argv[0] is "kv"), printing to out and
// err. Returns the exit status: 0 done, 1 when the record asked for does
// not exist or the database fails during the command (locked beyond the
// timeout, ...), 2 for a usage error, a file that cannot be read or a
// database that cannot be opened. Never raises.
int runKv(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace qvt::tool
