// Keeping people: what is saved comes back the same after the file is closed
// and opened again; changes and removals; the first schema brought up to
// date; and every kind of unusable file reported and left untouched.
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <random>

#include "StoreTestSupport.h"

namespace storetest {
namespace {

class StoreTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  QString Path(const QString& name = QStringLiteral("torvela.sqlite")) { return dir.filePath(name); }
  QDateTime now = At("2026-12-06T03:00:00Z");
  OpenOptions Options() {
    OpenOptions o;
    o.busyTimeoutMs = 200;
    o.now = [this] { return now; };
    return o;
  }
};

TEST_F(StoreTest, SavedPeopleComeBackAfterReopening) {
  const QString path = dir.filePath(QStringLiteral("新しい フォルダー/名簿.sqlite"));
  std::vector<Person> kept;
  {
    auto store = Store::Open(path, Options());
    ASSERT_TRUE(store) << store.error().message.toStdString();
    for (int i = 0; i < 24; ++i) {
      auto added = store->Add(Sample(i));
      ASSERT_TRUE(added) << i << added.error().message.toStdString();
      EXPECT_EQ(WithoutKeeping(*added), Sample(i)) << i;
      EXPECT_EQ(added->created, now);
      kept.push_back(*added);
    }
  }
  auto store = Store::Open(path, Options());
  ASSERT_TRUE(store) << store.error().message.toStdString();
  auto all = store->List();
  ASSERT_TRUE(all);
  EXPECT_EQ(*all, kept);
  auto one = store->Get(kept[5].id);
  ASSERT_TRUE(one);
  EXPECT_EQ(*one, kept[5]);
  EXPECT_EQ(RawValue(path, QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
}

TEST_F(StoreTest, UpdateKeepsCreationAndRemoveIsFinal) {
  auto store = Store::Open(Path(), Options());
  ASSERT_TRUE(store);
  const Person first = *store->Add(Sample(1));
  const Person other = *store->Add(Sample(2));

  now = At("2027-01-02T03:04:05Z");
  Person changed = first;
  changed.name = QStringLiteral("鈴木 一郎");
  changed.inputs.hour = QStringLiteral("?");
  changed.inputs.minute.clear();
  changed.inputs.moment.reset();
  auto updated = store->Update(changed);
  ASSERT_TRUE(updated) << updated.error().message.toStdString();
  EXPECT_EQ(updated->name, QStringLiteral("鈴木 一郎"));
  EXPECT_EQ(updated->inputs, changed.inputs);
  EXPECT_EQ(updated->created, first.created);
  EXPECT_EQ(updated->updated, now);
  EXPECT_EQ(*store->Get(other.id), other);

  ASSERT_TRUE(store->Remove(first.id));
  EXPECT_EQ(store->Get(first.id).error().problem, Problem::NotFound);
  EXPECT_EQ(store->Remove(first.id).error().problem, Problem::NotFound);
  EXPECT_EQ(store->Update(changed).error().problem, Problem::NotFound);
  EXPECT_EQ(store->List()->size(), 1u);
}

TEST_F(StoreTest, RefusesPeopleItCannotKeep) {
  struct Case {
    const char* what;
    void (*spoil)(Person&);
    const char* message;
  };
  const Case cases[] = {
      {"no name", [](Person& p) { p.name = QStringLiteral("　 "); }, "名前がありません"},
      {"line break in name", [](Person& p) { p.name += u'\n'; }, "改行"},
      {"no such day", [](Person& p) { p.inputs.year = 2001, p.inputs.month = 2, p.inputs.day = 29; }, "2001年2月29日"},
      {"year before the list", [](Person& p) { p.inputs.year = 1799; }, "1799"},
      {"hour 24", [](Person& p) { p.inputs.hour = QStringLiteral("24"); }, "生時「24」"},
      {"hour with a zero", [](Person& p) { p.inputs.hour = QStringLiteral("05"); }, "生時「05」"},
      {"hour without minute", [](Person& p) { p.inputs.hour = QStringLiteral("3"), p.inputs.minute.clear(); }, "生分"},
      {"minute 60", [](Person& p) { p.inputs.minute = QStringLiteral("60"); }, "生分「60」"},
      {"place code", [](Person& p) { p.inputs.placeCode = QStringLiteral("01a"); }, "出生地コード"},
      {"boundary", [](Person& p) { p.inputs.moment = MomentSettings{true, Before1888::Jst, 45}; }, "境界幅 45"},
  };
  auto store = Store::Open(Path(), Options());
  ASSERT_TRUE(store);
  for (const Case& c : cases) {
    Person p = Sample(1);
    c.spoil(p);
    auto added = store->Add(p);
    ASSERT_FALSE(added) << c.what;
    EXPECT_EQ(added.error().problem, Problem::Invalid) << c.what;
    EXPECT_TRUE(added.error().message.contains(QString::fromUtf8(c.message)))
        << c.what << ": " << added.error().message.toStdString();
    // All or nothing: one bad person keeps the good ones out too.
    EXPECT_FALSE(store->AddAll({Sample(2), p, Sample(3)})) << c.what;
  }
  EXPECT_TRUE(store->List()->empty());
}

TEST_F(StoreTest, SearchMeetsNameOrReadingInAnyKanaOrWidth) {
  auto store = Store::Open(Path(), Options());
  ASSERT_TRUE(store);
  auto add = [&](const char* name, const char* reading) {
    Person p = Sample(1);
    p.name = QString::fromUtf8(name), p.reading = QString::fromUtf8(reading);
    ASSERT_TRUE(store->Add(p));
  };
  add("山田 太郎", "やまだ たろう");
  add("ヤマモト花子", "");
  add("Tanaka Ken", "たなか けん");
  const std::pair<const char*, std::vector<const char*>> cases[] = {
      {"", {"山田 太郎", "ヤマモト花子", "Tanaka Ken"}},
      {"山田太郎", {"山田 太郎"}},
      {"ヤマ", {"山田 太郎", "ヤマモト花子"}},
      {"ﾔﾏﾀﾞ", {"山田 太郎"}},
      {"やまも", {"ヤマモト花子"}},
      {"ＴＡＮＡＫＡ", {"Tanaka Ken"}},
      {"けん", {"Tanaka Ken"}},
      {"佐藤", {}},
  };
  for (const auto& [query, names] : cases) {
    auto found = store->Search(QString::fromUtf8(query));
    ASSERT_TRUE(found);
    QStringList got, want;
    for (const Person& p : *found) got << p.name;
    for (const char* n : names) want << QString::fromUtf8(n);
    EXPECT_EQ(got, want) << query;
  }
}

// The schema of version 1 exactly as it was released.
const QStringList kVersion1 = {
    "CREATE TABLE person ("
    " id INTEGER PRIMARY KEY,"
    " name TEXT NOT NULL CHECK (length(trim(name)) > 0),"
    " reading TEXT NOT NULL DEFAULT '',"
    " memo TEXT NOT NULL DEFAULT '',"
    " birth_year INTEGER NOT NULL,"
    " birth_month INTEGER NOT NULL CHECK (birth_month BETWEEN 1 AND 12),"
    " birth_day INTEGER NOT NULL CHECK (birth_day BETWEEN 1 AND 31),"
    " hour_text TEXT NOT NULL,"
    " minute_text TEXT NOT NULL,"
    " sex TEXT NOT NULL CHECK (sex IN ('男', '女')),"
    " jisahun_text TEXT NOT NULL,"
    " jisabyo_text TEXT NOT NULL,"
    " created_utc TEXT NOT NULL,"
    " updated_utc TEXT NOT NULL)",
    "CREATE INDEX person_name ON person (name)",
    "PRAGMA application_id = 1414682188",
    "PRAGMA user_version = 1",
};

TEST_F(StoreTest, FirstSchemaIsBroughtUpToDate) {
  QStringList sql = kVersion1;
  sql << "INSERT INTO person (name, reading, memo, birth_year, birth_month, birth_day, hour_text,"
         " minute_text, sex, jisahun_text, jisabyo_text, created_utc, updated_utc) VALUES"
         " ('佐藤 一', 'さとう はじめ', 'メモ', 1975, 3, 5, '14', '?', '男', '-13', '30',"
         " '2020-01-02T03:04:05Z', '2021-01-02T03:04:05Z')";
  RawSql(Path(), sql);
  ASSERT_EQ(RawValue(Path(), "PRAGMA user_version").toInt(), 1);

  {
    auto store = Store::Open(Path(), Options());
    ASSERT_TRUE(store) << store.error().message.toStdString();
    auto all = store->List();
    ASSERT_TRUE(all);
    ASSERT_EQ(all->size(), 1u);
    Person want;
    want.id = 1, want.name = "佐藤 一", want.reading = "さとう はじめ", want.memo = "メモ";
    want.inputs = {1975, 3, 5, "14", "?", Sex::Male, "-13", "30", {}, {}, std::nullopt};
    want.created = At("2020-01-02T03:04:05Z"), want.updated = At("2021-01-02T03:04:05Z");
    EXPECT_EQ(all->front(), want);
    Person placed = Sample(1);  // the new columns are usable
    ASSERT_TRUE(store->Add(placed));
  }
  EXPECT_EQ(RawValue(Path(), "PRAGMA user_version").toInt(), SchemaVersion);
  EXPECT_EQ(RawValue(Path(), "PRAGMA integrity_check").toString(), "ok");
  EXPECT_EQ(RawValue(Path(), "SELECT place_name FROM person WHERE id = 2").toString(), "札幌市");
}

TEST(DefaultPathTest, EnvironmentOverridesTheDataFolder) {
  const QByteArray saved = qgetenv("TORVELA_DB");
  qputenv("TORVELA_DB", "/tmp/elsewhere/名簿.sqlite");
  EXPECT_EQ(DefaultDatabasePath(), QStringLiteral("/tmp/elsewhere/名簿.sqlite"));
  qunsetenv("TORVELA_DB");
  EXPECT_EQ(DefaultDatabasePath(),
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/torvela.sqlite");
  if (!saved.isNull()) qputenv("TORVELA_DB", saved);
}

// A process of its own that holds the 名簿's write lock until it is killed.
struct LockHolder {
  QProcess process;
  explicit LockHolder(const QString& path) {
    process.start(QStringLiteral(TORVELA_STORE_HELPER), {QStringLiteral("hold"), path});
    process.waitForReadyRead(10000);
  }
  bool holding() { return process.readAll().startsWith("locked"); }
  ~LockHolder() {
    process.kill();
    process.waitForFinished();
  }
};

TEST_F(StoreTest, UnusableFilesAreReportedAndLeftAlone) {
  std::mt19937 random(16);
  auto randomBytes = [&](int n) {
    QByteArray b(n, '\0');
    for (char& c : b) c = char(random());
    return b;
  };
  // A 名簿 of a few people.
  auto make = [&](const QString& path) {
    auto store = Store::Open(path, Options());
    ASSERT_TRUE(store);
    std::vector<Person> people;
    for (int i = 0; i < 200; ++i) people.push_back(Sample(i));
    ASSERT_TRUE(store->AddAll(people));
  };
  struct Case {
    const char* what;
    std::function<void(const QString&)> setUp;
    Problem problem;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"random bytes", [&](const QString& p) { WriteBytes(p, randomBytes(4096)); },
       Problem::Damaged, "壊れているか"},
      {"cut short", [&](const QString& p) { WriteBytes(p, QByteArray("SQLite format 3\0", 16) + randomBytes(30)); },
       Problem::Damaged, "壊れているか"},
      {"pages overwritten", [&](const QString& p) {
         make(p);
         QFile f(p);
         ASSERT_TRUE(f.open(QIODevice::ReadWrite));
         f.seek(4096);
         f.write(randomBytes(int(f.size()) - 4096));
       }, Problem::Damaged, "壊れているか"},
      {"newer version", [&](const QString& p) {
         make(p);
         RawSql(p, {"PRAGMA user_version = 3"});
       }, Problem::Newer, "新しい版"},
      {"another program's database", [&](const QString& p) {
         RawSql(p, {"CREATE TABLE invoices (no INTEGER)", "INSERT INTO invoices VALUES (1)"});
       }, Problem::Foreign, "名簿ではない"},
      {"a folder", [&](const QString& p) { ASSERT_TRUE(QDir().mkpath(p)); }, Problem::CannotOpen, "開けません"},
  };
  for (const Case& c : cases) {
    const QString path = Path(QString::fromUtf8(c.what) + ".sqlite");
    c.setUp(path);
    if (HasFatalFailure()) return;
    const QByteArray before = Sha256(path);
    auto store = Store::Open(path, Options());
    ASSERT_FALSE(store) << c.what;
    EXPECT_EQ(store.error().problem, c.problem) << c.what << ": " << store.error().message.toStdString();
    EXPECT_TRUE(store.error().message.contains(QString::fromUtf8(c.message))) << store.error().message.toStdString();
    EXPECT_EQ(Sha256(path), before) << c.what;
  }
  // A path below a plain file cannot even get its folder.
  WriteBytes(Path("plain"), "x");
  auto below = Store::Open(Path("plain/torvela.sqlite"), Options());
  ASSERT_FALSE(below);
  EXPECT_EQ(below.error().problem, Problem::CannotOpen);
}

TEST_F(StoreTest, LockedByAnotherProcess) {
  {
    auto store = Store::Open(Path(), Options());
    ASSERT_TRUE(store);
    ASSERT_TRUE(store->Add(Sample(1)));
  }
  const QByteArray before = Sha256(Path());
  {
    LockHolder holder(Path());
    ASSERT_TRUE(holder.holding());
    auto store = Store::Open(Path(), Options());
    ASSERT_FALSE(store);
    EXPECT_EQ(store.error().problem, Problem::Locked);
    EXPECT_TRUE(store.error().message.contains("書き込み中")) << store.error().message.toStdString();
    EXPECT_EQ(Sha256(Path()), before);
  }
  // Open first, then another process takes the lock: a change waits, then
  // reports, and succeeds once the lock is gone.
  auto store = Store::Open(Path(), Options());
  ASSERT_TRUE(store);
  {
    LockHolder holder(Path());
    ASSERT_TRUE(holder.holding());
    auto added = store->Add(Sample(2));
    ASSERT_FALSE(added);
    EXPECT_EQ(added.error().problem, Problem::Locked);
    ASSERT_TRUE(store->List());  // reading goes on beside a writer
  }
  EXPECT_TRUE(store->Add(Sample(2)));
  EXPECT_EQ(store->List()->size(), 2u);
}

// Read-only as the operating system means it: the file (or its folder) is
// not writable for the user running the program. As root the test becomes
// the user "nobody" for the duration, since root may write anything.
TEST_F(StoreTest, ReadOnlyFileOrFolder) {
  ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
  struct Case {
    const char* what;
    mode_t file, folder;
    const char* message;
  };
  const Case cases[] = {
      {"file", 0444, 0755, "読み取り専用"},
      {"folder", 0666, 0555, "フォルダーに書き込めません"},
  };
  for (const Case& c : cases) {
    const QString folder = dir.filePath(QString::fromUtf8(c.what));
    const QString path = folder + "/torvela.sqlite";
    ASSERT_TRUE(QDir().mkpath(folder));
    {
      auto store = Store::Open(path, Options());
      ASSERT_TRUE(store);
      ASSERT_TRUE(store->Add(Sample(1)));
    }
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), c.file), 0);
    ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), c.folder), 0);
    const QByteArray before = Sha256(path);
    {
      Unprivileged nobody;
      if (nobody.failed()) GTEST_SKIP() << "cannot become an ordinary user";
      auto store = Store::Open(path, Options());
      ASSERT_FALSE(store) << c.what;
      EXPECT_EQ(store.error().problem, Problem::ReadOnly) << c.what << ": " << store.error().message.toStdString();
      EXPECT_TRUE(store.error().message.contains(QString::fromUtf8(c.message))) << store.error().message.toStdString();
    }
    EXPECT_EQ(Sha256(path), before) << c.what;
    ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), 0755), 0);
  }
}

}  // namespace
}  // namespace storetest
