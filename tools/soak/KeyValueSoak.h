// KeyValueSoak: two processes write to one key-value database while four
// threads of this process read it, for a given time.
//
// Each writer process owns 20 records (class "soak", subclass its name) and
// rewrites all of them again and again, one generation per transaction,
// every value naming the writer and the generation. Each reader checks that
// a read shows all 20 records of a writer at one generation (nothing torn)
// and never an older generation than it saw before. At the end every
// writer's records must hold the last generation it committed (nothing
// lost), and an SQLite database must pass its integrity check.
#pragma once

#include <string>

namespace qvt::soak {

// runKeyValue: the run on database (created when missing) for seconds;
// program is this program's path, started again as the writers. True when
// nothing was lost, torn or failed.
bool runKeyValue(const std::string& database, double seconds, const std::string& program);

// runKeyValueWriter: the writer named writer; prints "<writer> <last
// generation> <transactions>" at the end. 0 when every write succeeded.
int runKeyValueWriter(const std::string& database, const std::string& writer, double seconds);

}  // namespace qvt::soak
