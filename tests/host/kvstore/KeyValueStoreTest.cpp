// The behaviour both stores share, run against each (SQLite file and
// PostgreSQL database).
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "KeyValueTestStores.h"
#include "TestSupport.h"
#include "class_a/prst_generic/CIKeyValueStore.h"
#include "class_a/standard/CTimeT.h"

namespace qvt {
namespace {

using qvt_test::caught;
using qvt_test::CStoreKind;
using qvt_test::CStoreMaker;
using qvt_test::CTestDatabase;
using qvt_test::errorText;
using qvt_test::shown;

std::vector<CPrstKeyValue> seedRecords() {
  return {{"pool", "cm", "00-11", "10.1.0.0"},     {"pool", "cm", "00-22", "10.2.0.0", false},
          {"pool", "", "00-11", "10.9.0.0"},       {"pool", "mta", "00-11", "10.3.0.0"},
          {"other", "cm", "00-11", "x"},           {"Pool", "cm", "00-11", "upper"},
          {"pool", "cm", "o'brien; --", "quoted"}, {"pool", "cm", "00-1%", "percent"}};
}

class KeyValueStoreTest : public testing::TestWithParam<CStoreKind> {
 protected:
  void SetUp() override {
    if (!maker_.available()) GTEST_SKIP() << "PostgreSQL 15 is not installed";
    database_ = maker_.newDatabase();
    store_ = maker_.open(database_);
    std::vector<CPrstKeyValue> seed = seedRecords();
    store_->saveAll(seed);
  }

  std::string all() { return shown(store_->list()); }

  CStoreMaker maker_{GetParam()};
  CTestDatabase database_;
  std::unique_ptr<CIKeyValueStore> store_;
};

TEST_P(KeyValueStoreTest, LookupsFindByKeyEnabledFlagAndSubclass) {
  struct Row {
    const char* statement;
    CKeyValueKey key;
    std::size_t limit;
    std::string found;
  };
  constexpr std::size_t kAll = CIKeyValueStore::kNoLimit;
  const std::vector<Row> rows = {
      {kKeyValueByKeyEnabled, {"pool", "cm", "00-11"}, 50, "pool/cm/00-11=10.1.0.0"},
      {kKeyValueByKeyEnabled, {"pool", "cm", "00-22"}, 50, ""},
      {kKeyValueByKey, {"pool", "cm", "00-22"}, 50, "pool/cm/00-22=10.2.0.0 off"},
      {kKeyValueByKey, {"pool", "cm", "00-11"}, kAll, "pool/cm/00-11=10.1.0.0"},
      {kKeyValueByKeyEnabled, {"pool", "", "00-11"}, 50, "pool//00-11=10.9.0.0"},
      {kKeyValueByKeyEnabled, {"Pool", "cm", "00-11"}, 50, "Pool/cm/00-11=upper"},
      {kKeyValueByKeyEnabled, {"POOL", "cm", "00-11"}, 50, ""},
      {kKeyValueByKeyEnabled, {"pool", "cm", "o'brien; --"}, 50, "pool/cm/o'brien; --=quoted"},
      {kKeyValueByKeyEnabled, {"pool", "cm", "00-1_"}, 50, ""},
      {kKeyValueByKeyEnabled, {"pool", "cm", "00-11"}, 0, ""},
      {kKeyValueBySubclass,
       {"pool", "cm", "ignored"},
       kAll,
       "pool/cm/00-1%=percent; pool/cm/00-11=10.1.0.0; pool/cm/00-22=10.2.0.0 off; "
       "pool/cm/o'brien; --=quoted"},
      {kKeyValueBySubclass, {"pool", "cm", ""}, 2, "pool/cm/00-1%=percent; pool/cm/00-11=10.1.0.0"},
      {kKeyValueBySubclass, {"pool", "", ""}, kAll, "pool//00-11=10.9.0.0"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.statement) + " " + row.key.kclass + "/" + row.key.subclass + "/" +
                 row.key.key + " limit " + std::to_string(row.limit));
    EXPECT_EQ(shown(store_->query(row.statement, row.key, row.limit)), row.found);
  }
  EXPECT_EQ(errorText([&] {
              store_->query("keyvalue.nope", {"pool", "cm", "00-11"});
            }),
            "Cannot run lookup 'keyvalue.nope' on key-value database '" + store_->description() +
                "'. (Unknown lookup.)");
}

TEST_P(KeyValueStoreTest, ListsAllOrOneClassInKeyOrder) {
  EXPECT_EQ(all(),
            "Pool/cm/00-11=upper; other/cm/00-11=x; pool//00-11=10.9.0.0; "
            "pool/cm/00-1%=percent; pool/cm/00-11=10.1.0.0; pool/cm/00-22=10.2.0.0 off; "
            "pool/cm/o'brien; --=quoted; pool/mta/00-11=10.3.0.0");
  EXPECT_EQ(shown(store_->list(std::string("other"))), "other/cm/00-11=x");
}

TEST_P(KeyValueStoreTest, WritesSetTimeAndObjectIdAndRefuseWhatTheyMust) {
  const std::string db = store_->description();
  const std::int64_t before = CTimeT::now().seconds();
  CPrstKeyValue added("new", "", "k", "v1");
  store_->insert(added);
  EXPECT_GT(added.oid(), 0);
  EXPECT_GE(added.modTime().seconds(), before);
  EXPECT_LE(added.modTime().seconds(), CTimeT::now().seconds());

  CPrstKeyValue changed("new", "", "k", "v2", false);
  store_->update(changed);
  EXPECT_EQ(changed.oid(), added.oid());
  CPrstKeyValue saved("new", "", "k", "v3");
  store_->save(saved);
  EXPECT_EQ(saved.oid(), added.oid());
  const std::vector<CPrstKeyValue> stored = store_->query(kKeyValueByKey, {"new", "", "k"});
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].string(), saved.string());

  CPrstKeyValue duplicate("pool", "cm", "00-11", "again");
  CPrstKeyValue absent("pool", "cm", "absent", "v");
  // What a failed _set leaves behind: class and subclass set, key missing.
  CPrstKeyValue halfSet;
  EXPECT_TRUE(caught([&] { halfSet._set("class=pool\nsubclass=cm\nvalue=v"); }));
  CPrstKeyValue emptyValue("pool", "cm", "k", "");
  CPrstKeyValue lineBreak("pool", "cm", "k", "a\nb");
  CPrstKeyValue padded("pool", "cm", " k", "v");
  const std::string key = "(class 'pool', subclass 'cm', key '00-11')";
  struct Row {
    std::function<void()> action;
    std::string error;
  };
  const std::vector<Row> rows = {
      {[&] { store_->insert(duplicate); }, "Cannot insert key-value record " + key + " into '" +
                                               db + "'. (A record with this key exists.)"},
      {[&] { store_->update(absent); },
       "Cannot update key-value record (class 'pool', subclass 'cm', key 'absent') in '" + db +
           "'. (There is no record with this key.)"},
      {[&] { store_->save(halfSet); },
       "Cannot save key-value record (class 'pool', subclass 'cm', key '') to '" + db +
           "'. (The record's key is empty.)"},
      {[&] { store_->insert(emptyValue); },
       "Cannot insert key-value record (class 'pool', subclass 'cm', key 'k') into '" + db +
           "'. (The record's value is empty.)"},
      {[&] { store_->save(lineBreak); },
       "Cannot save key-value record (class 'pool', subclass 'cm', key 'k') to '" + db +
           "'. (The record's value holds a line break or a NUL character.)"},
      {[&] { store_->update(padded); },
       "Cannot update key-value record (class 'pool', subclass 'cm', key ' k') in '" + db +
           "'. (The record's key begins or ends with a blank.)"},
  };
  const std::string unchanged = all();
  for (const Row& row : rows) {
    const auto e = caught(row.action);
    ASSERT_TRUE(e) << row.error;
    EXPECT_EQ(e->text(), row.error);
    EXPECT_EQ(e->module(), "prst_generic");
  }
  EXPECT_EQ(all(), unchanged);

  EXPECT_TRUE(store_->remove({"new", "", "k"}));
  EXPECT_FALSE(store_->remove({"new", "", "k"}));
  EXPECT_TRUE(store_->query(kKeyValueByKey, {"new", "", "k"}).empty());
}

TEST_P(KeyValueStoreTest, ImportIsAllOrNothing) {
  const std::string before = all();
  // The database itself refuses the third record, after two were written
  // in the same transaction.
  maker_.execute(database_, GetParam() == CStoreKind::kSqlite
                                ? "CREATE TRIGGER poison BEFORE INSERT ON qvt_keyvalues"
                                  " WHEN NEW.KVALUE = 'poison'"
                                  " BEGIN SELECT RAISE(ABORT, 'poisoned value'); END"
                                : "CREATE FUNCTION poison() RETURNS trigger AS $$ BEGIN"
                                  " IF NEW.kvalue = 'poison' THEN RAISE 'poisoned value'; END IF;"
                                  " RETURN NEW; END $$ LANGUAGE plpgsql;"
                                  " CREATE TRIGGER poison BEFORE INSERT ON qvt_keyvalues"
                                  " FOR EACH ROW EXECUTE FUNCTION poison()");
  std::vector<CPrstKeyValue> records = {{"imp", "", "a", "1"},
                                        {"pool", "cm", "00-11", "changed"},
                                        {"imp", "", "c", "poison"},
                                        {"imp", "", "d", "4"}};
  EXPECT_EQ(errorText([&] { store_->saveAll(records); }),
            "Cannot save key-value records to '" + store_->description() +
                "'. (Record 3 (class 'imp', subclass '', key 'c'): poisoned value)");
  EXPECT_EQ(all(), before);

  // A record the store refuses by itself stops the import before it starts.
  records[2].setValue("3");
  records[3].setClass("");
  EXPECT_EQ(errorText([&] { store_->saveAll(records); }),
            "Cannot save key-value records to '" + store_->description() +
                "'. (Record 4 (class '', subclass '', key 'd'): The record's class is empty.)");
  EXPECT_EQ(all(), before);

  records[3].setClass("imp");
  store_->saveAll(records);
  EXPECT_EQ(shown(store_->list(std::string("imp"))), "imp//a=1; imp//c=3; imp//d=4");
  EXPECT_EQ(shown(store_->query(kKeyValueByKey, {"pool", "cm", "00-11"})), "pool/cm/00-11=changed");
  for (const CPrstKeyValue& record : records)
    EXPECT_GT(record.oid(), 0);
}

// Two writers rewrite their own ten records again and again, each
// generation in one transaction (every value is the generation number);
// four readers check that every read shows one generation on all ten
// records, never older than one they saw before.
TEST_P(KeyValueStoreTest, ReadersSeeWholeTransactionsWhileTwoWritersWrite) {
  constexpr int kGenerations = 25;
  constexpr int kRecords = 10;
  const auto generation = [](const std::string& writer, int number) {
    std::vector<CPrstKeyValue> records;
    for (int i = 0; i < kRecords; ++i)
      records.emplace_back("gen", writer, "k" + std::to_string(i), std::to_string(number));
    return records;
  };
  for (const char* writer : {"w1", "w2"}) {
    std::vector<CPrstKeyValue> records = generation(writer, 0);
    store_->saveAll(records);
  }

  std::atomic<int> writing{2};
  std::vector<std::string> problems(6);
  std::vector<std::thread> threads;
  for (int w = 0; w < 2; ++w) {
    threads.emplace_back([&, w] {
      const std::string writer = w == 0 ? "w1" : "w2";
      try {
        for (int number = 1; number <= kGenerations; ++number) {
          std::vector<CPrstKeyValue> records = generation(writer, number);
          store_->saveAll(records);
        }
      } catch (const CException& e) {
        problems[w] = e.text();
      }
      --writing;
    });
  }
  for (int r = 0; r < 4; ++r) {
    threads.emplace_back([&, r] {
      int seen[2] = {0, 0};
      try {
        do {
          for (int w = 0; w < 2 && problems[2 + r].empty(); ++w) {
            const std::vector<CPrstKeyValue> records =
                store_->query(kKeyValueBySubclass, {"gen", w == 0 ? "w1" : "w2", ""});
            const std::string expected = records.empty() ? "" : records[0].value();
            bool whole = records.size() == kRecords;
            for (const CPrstKeyValue& record : records)
              whole = whole && record.value() == expected;
            const int number = whole ? std::stoi(expected) : -1;
            if (!whole || number < seen[w])
              problems[2 + r] = "torn or older read: " + shown(records);
            seen[w] = number;
          }
        } while (writing > 0 && problems[2 + r].empty());
      } catch (const CException& e) {
        problems[2 + r] = e.text();
      }
    });
  }
  for (std::thread& thread : threads)
    thread.join();
  for (const std::string& problem : problems)
    EXPECT_EQ(problem, "");
  for (const char* writer : {"w1", "w2"}) {
    EXPECT_EQ(shown(store_->query(kKeyValueBySubclass, {"gen", writer, ""})),
              shown(generation(writer, kGenerations)));
  }
}

INSTANTIATE_TEST_SUITE_P(Stores, KeyValueStoreTest,
                         testing::Values(CStoreKind::kSqlite, CStoreKind::kPostgres),
                         // Not "info": the macro's own parameter has that name.
                         [](const testing::TestParamInfo<CStoreKind>& kind) {
                           return qvt_test::kindName(kind.param);
                         });

}  // namespace
}  // namespace qvt
