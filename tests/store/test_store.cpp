// The 名簿: what is saved comes back the same after the file is closed and
// opened again; changes and removals; the first schema brought up to date;
// every kind of unusable file reported and left untouched; CSV written and
// read back, bad rows named; imports all or nothing, even when killed.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <chrono>
#include <random>
#include <thread>

#include "StoreTestSupport.h"
#include "store/Csv.h"

namespace storetest {
namespace {

class StoreTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  QString Path(const QString& name = QStringLiteral("torvela.sqlite")) { return dir.filePath(name); }
  QDateTime now = At("2026-12-06T03:00:00Z");
  OpenOptions Options() { return {200, [this] { return now; }}; }
  // Opening fails with the problem and a message holding `says`, and the
  // file's bytes are as they were.
  void ExpectRefused(const QString& path, Problem problem, const char* says) {
    const QByteArray before = Sha256(path);
    auto store = Store::Open(path, Options());
    ASSERT_FALSE(store) << path.toStdString();
    EXPECT_EQ(store.error().problem, problem) << path.toStdString() << ": " << Why(store);
    EXPECT_TRUE(store.error().message.contains(QString::fromUtf8(says))) << Why(store);
    EXPECT_EQ(Sha256(path), before) << path.toStdString();
  }
  // A 名簿 holding the first n sample people.
  void Make(const QString& path, int n) {
    auto store = Store::Open(path, Options());
    ASSERT_TRUE(store) << Why(store);
    std::vector<Person> people;
    for (int i = 0; i < n; ++i) people.push_back(Sample(i));
    ASSERT_TRUE(store->AddAll(people));
  }
};

TEST_F(StoreTest, SavedPeopleComeBackAfterReopeningThenChangeAndGo) {
  const QString path = dir.filePath(QStringLiteral("新しい フォルダー/名簿.sqlite"));
  std::vector<Person> kept;
  {
    auto store = Store::Open(path, Options());
    ASSERT_TRUE(store) << Why(store);
    for (int i = 0; i < 24; ++i) {
      auto added = store->Add(Sample(i));
      ASSERT_TRUE(added) << i << Why(added);
      EXPECT_TRUE(WithoutKeeping(*added) == Sample(i) && added->created == now) << i;
      kept.push_back(*added);
    }
  }
  auto store = Store::Open(path, Options());
  ASSERT_TRUE(store) << Why(store);
  EXPECT_EQ(*store->List(), kept);
  EXPECT_EQ(*store->Get(kept[5].id), kept[5]);
  EXPECT_EQ(Sql(path, {"PRAGMA journal_mode"}).toString(), "wal");

  // An update keeps the creation time and touches no one else.
  now = At("2027-01-02T03:04:05Z");
  Person changed = kept[1];
  changed.name = QStringLiteral("鈴木 一郎");
  changed.inputs.hour = QStringLiteral("?");
  changed.inputs.minute.clear();
  changed.inputs.moment.reset();
  auto updated = store->Update(changed);
  ASSERT_TRUE(updated) << Why(updated);
  EXPECT_TRUE(updated->name == changed.name && updated->inputs == changed.inputs);
  EXPECT_TRUE(updated->created == kept[1].created && updated->updated == now);
  EXPECT_EQ(*store->Get(kept[2].id), kept[2]);
  // A removal is final.
  ASSERT_TRUE(store->Remove(kept[1].id));
  EXPECT_EQ(store->Get(kept[1].id).error().problem, Problem::NotFound);
  EXPECT_EQ(store->Remove(kept[1].id).error().problem, Problem::NotFound);
  EXPECT_EQ(store->Update(changed).error().problem, Problem::NotFound);
  EXPECT_EQ(store->List()->size(), 23u);
}

TEST_F(StoreTest, RefusesPeopleItCannotKeep) {
  const std::pair<void (*)(Person&), const char*> cases[] = {
      {[](Person& p) { p.name = QStringLiteral("　 "); }, "名前がありません"},
      {[](Person& p) { p.name += u'\n'; }, "改行"},
      {[](Person& p) { p.inputs.year = 2001, p.inputs.month = 2, p.inputs.day = 29; }, "2001年2月29日"},
      {[](Person& p) { p.inputs.year = 1799; }, "1799"},
      {[](Person& p) { p.inputs.hour = QStringLiteral("24"); }, "生時「24」"},
      {[](Person& p) { p.inputs.hour = QStringLiteral("05"); }, "生時「05」"},
      {[](Person& p) { p.inputs.hour = QStringLiteral("3"), p.inputs.minute.clear(); }, "生分"},
      {[](Person& p) { p.inputs.minute = QStringLiteral("60"); }, "生分「60」"},
      {[](Person& p) { p.inputs.placeCode = QStringLiteral("01a"); }, "出生地コード"},
      {[](Person& p) { p.inputs.moment = MomentSettings{true, Before1888::Jst, 45}; }, "境界幅 45"},
  };
  auto store = Store::Open(Path(), Options());
  ASSERT_TRUE(store);
  for (const auto& [spoil, says] : cases) {
    Person p = Sample(1);
    spoil(p);
    auto added = store->Add(p);
    ASSERT_FALSE(added) << says;
    EXPECT_TRUE(added.error().problem == Problem::Invalid && added.error().message.contains(QString::fromUtf8(says)))
        << says << ": " << Why(added);
    // All or nothing: one bad person keeps the good ones out too.
    EXPECT_FALSE(store->AddAll({Sample(2), p, Sample(3)})) << says;
  }
  EXPECT_TRUE(store->List()->empty());
}

TEST_F(StoreTest, SearchMeetsNameOrReadingInAnyKanaOrWidth) {
  auto store = Store::Open(Path(), Options());
  ASSERT_TRUE(store);
  for (const auto& [name, reading] : {std::pair{"山田 太郎", "やまだ たろう"}, {"ヤマモト花子", ""}, {"Tanaka Ken", "たなか けん"}}) {
    Person p = Sample(1);
    p.name = QString::fromUtf8(name), p.reading = QString::fromUtf8(reading);
    ASSERT_TRUE(store->Add(p));
  }
  const std::pair<const char*, QStringList> cases[] = {
      {"", {"山田 太郎", "ヤマモト花子", "Tanaka Ken"}}, {"山田太郎", {"山田 太郎"}},
      {"ヤマ", {"山田 太郎", "ヤマモト花子"}},          {"ﾔﾏﾀﾞ", {"山田 太郎"}},
      {"やまも", {"ヤマモト花子"}},                      {"ＴＡＮＡＫＡ", {"Tanaka Ken"}},
      {"けん", {"Tanaka Ken"}},                          {"佐藤", {}},
  };
  for (const auto& [query, names] : cases) {
    const auto found = store->Search(QString::fromUtf8(query));
    ASSERT_TRUE(found) << Why(found);
    QStringList got;
    for (const Person& p : *found) got << p.name;
    EXPECT_EQ(got, names) << query;
  }
}

TEST_F(StoreTest, FirstSchemaIsBroughtUpToDate) {
  // Version 1 exactly as it was released, with one person.
  Sql(Path(), {"CREATE TABLE person (id INTEGER PRIMARY KEY,"
               " name TEXT NOT NULL CHECK (length(trim(name)) > 0), reading TEXT NOT NULL DEFAULT '',"
               " memo TEXT NOT NULL DEFAULT '', birth_year INTEGER NOT NULL,"
               " birth_month INTEGER NOT NULL CHECK (birth_month BETWEEN 1 AND 12),"
               " birth_day INTEGER NOT NULL CHECK (birth_day BETWEEN 1 AND 31), hour_text TEXT NOT NULL,"
               " minute_text TEXT NOT NULL, sex TEXT NOT NULL CHECK (sex IN ('男', '女')),"
               " jisahun_text TEXT NOT NULL, jisabyo_text TEXT NOT NULL, created_utc TEXT NOT NULL,"
               " updated_utc TEXT NOT NULL)",
               "CREATE INDEX person_name ON person (name)", "PRAGMA application_id = 1414682188",
               "PRAGMA user_version = 1",
               "INSERT INTO person (name, reading, memo, birth_year, birth_month, birth_day, hour_text,"
               " minute_text, sex, jisahun_text, jisabyo_text, created_utc, updated_utc) VALUES"
               " ('佐藤 一', 'さとう はじめ', 'メモ', 1975, 3, 5, '14', '?', '男', '-13', '30',"
               " '2020-01-02T03:04:05Z', '2021-01-02T03:04:05Z')"});
  ASSERT_EQ(Sql(Path(), {"PRAGMA user_version"}).toInt(), 1);
  {
    auto store = Store::Open(Path(), Options());
    ASSERT_TRUE(store) << Why(store);
    Person want;
    want.id = 1, want.name = "佐藤 一", want.reading = "さとう はじめ", want.memo = "メモ";
    want.inputs = {1975, 3, 5, "14", "?", Sex::Male, "-13", "30", {}, {}, std::nullopt};
    want.created = At("2020-01-02T03:04:05Z"), want.updated = At("2021-01-02T03:04:05Z");
    EXPECT_EQ(*store->List(), std::vector<Person>{want});
    ASSERT_TRUE(store->Add(Sample(1)));  // the new columns are usable
  }
  EXPECT_EQ(Sql(Path(), {"PRAGMA user_version"}).toInt(), SchemaVersion);
  EXPECT_EQ(Sql(Path(), {"PRAGMA integrity_check"}).toString(), "ok");
  EXPECT_EQ(Sql(Path(), {"SELECT place_name FROM person WHERE id = 2"}).toString(), "札幌市");
}

TEST(DefaultPathTest, EnvironmentOverridesTheDataFolder) {
  const QByteArray saved = qgetenv("TORVELA_DB");
  qputenv("TORVELA_DB", "/tmp/elsewhere/名簿.sqlite");
  EXPECT_EQ(DefaultDatabasePath(), QStringLiteral("/tmp/elsewhere/名簿.sqlite"));
  qunsetenv("TORVELA_DB");
  EXPECT_EQ(DefaultDatabasePath(), QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/torvela.sqlite");
  if (!saved.isNull()) qputenv("TORVELA_DB", saved);
}

TEST_F(StoreTest, UnusableFilesAreReportedAndLeftAlone) {
  std::mt19937 random(16);
  auto randomBytes = [&](int n) {
    QByteArray b(n, '\0');
    for (char& c : b) c = char(random());
    return b;
  };
  const struct { const char* what; std::function<void(const QString&)> setUp; Problem problem; const char* says; } cases[] = {
      {"random bytes", [&](const QString& p) { WriteBytes(p, randomBytes(4096)); }, Problem::Damaged, "壊れているか"},
      {"cut short", [&](const QString& p) { WriteBytes(p, QByteArray("SQLite format 3\0", 16) + randomBytes(30)); },
       Problem::Damaged, "壊れているか"},
      {"pages overwritten", [&](const QString& p) {
         Make(p, 200);
         QFile f(p);
         ASSERT_TRUE(f.open(QIODevice::ReadWrite) && f.seek(4096));
         f.write(randomBytes(int(f.size()) - 4096));
       }, Problem::Damaged, "壊れているか"},
      {"newer version", [&](const QString& p) { Make(p, 200), Sql(p, {"PRAGMA user_version = 3"}); },
       Problem::Newer, "新しい版"},
      {"another program's database",
       [&](const QString& p) { Sql(p, {"CREATE TABLE invoices (no INTEGER)", "INSERT INTO invoices VALUES (1)"}); },
       Problem::Foreign, "名簿ではない"},
      {"a folder", [&](const QString& p) { ASSERT_TRUE(QDir().mkpath(p)); }, Problem::CannotOpen, "開けません"},
  };
  for (const auto& c : cases) {
    const QString path = Path(QString::fromUtf8(c.what) + ".sqlite");
    c.setUp(path);
    if (HasFatalFailure()) return;
    ExpectRefused(path, c.problem, c.says);
  }
  // A path below a plain file cannot even get its folder.
  WriteBytes(Path("plain"), "x");
  ExpectRefused(Path("plain/torvela.sqlite"), Problem::CannotOpen, "");
}

// A process of its own that holds the 名簿's write lock until it is killed.
struct LockHolder {
  QProcess process;
  explicit LockHolder(const QString& path) {
    process.start(QStringLiteral(TORVELA_STORE_HELPER), {QStringLiteral("hold"), path});
    process.waitForReadyRead(10000);
  }
  bool holding() { return process.readAll().startsWith("locked"); }
  ~LockHolder() { process.kill(), process.waitForFinished(); }
};

TEST_F(StoreTest, LockedByAnotherProcess) {
  Make(Path(), 1);
  {
    LockHolder holder(Path());
    ASSERT_TRUE(holder.holding());
    ExpectRefused(Path(), Problem::Locked, "書き込み中");
  }
  // Open first, then another process takes the lock: a change waits, then
  // reports, and succeeds once the lock is gone.
  auto store = Store::Open(Path(), Options());
  ASSERT_TRUE(store);
  {
    LockHolder holder(Path());
    ASSERT_TRUE(holder.holding());
    EXPECT_EQ(store->Add(Sample(2)).error().problem, Problem::Locked);
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
  const struct { const char* what; mode_t file, folder; const char* says; } cases[] = {
      {"file", 0444, 0755, "読み取り専用"}, {"folder", 0666, 0555, "フォルダーに書き込めません"}};
  for (const auto& c : cases) {
    const QString folder = dir.filePath(QString::fromUtf8(c.what)), path = folder + "/torvela.sqlite";
    ASSERT_TRUE(QDir().mkpath(folder));
    Make(path, 1);
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), c.file), 0);
    ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), c.folder), 0);
    {
      Unprivileged nobody;
      if (nobody.failed()) GTEST_SKIP() << "cannot become an ordinary user";
      ExpectRefused(path, Problem::ReadOnly, c.says);
    }
    ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), 0755), 0);
  }
}

const QByteArray kHeader =
    "名前,よみ,メモ,生年,生月,生日,生時,生分,性別,時差分,時差秒,出生地コード,出生地,"
    "夏時間補正,1888年以前,境界幅,登録日時,更新日時";

TEST(CsvTest, ExportIsBomHeaderAndQuotedCrlfLinesThatReadBackTheSame) {
  Person p;
  p.name = "山田 花子", p.reading = "やまだ はなこ";
  p.memo = "祖母, \"はな\"\n二行目";
  p.inputs = {1975, 3, 5, "14", "?", Sex::Female, "-13", "30", "011002", "札幌市",
              MomentSettings{false, Before1888::Lmt, 10}};
  p.created = At("2026-12-06T03:00:00Z");
  Person q;
  q.name = " 前後に空白 ";
  q.inputs = {1800, 1, 1, "?", "", Sex::Male, "0", "0", {}, {}, std::nullopt};
  EXPECT_EQ(ToCsv({p, q}),
            "\xEF\xBB\xBF" + kHeader + "\r\n"
            "山田 花子,やまだ はなこ,\"祖母, \"\"はな\"\"\n二行目\",1975,3,5,14,?,女,-13,30,011002,札幌市,"
            "off,lmt,10,2026-12-06T03:00:00Z,\r\n"
            "\" 前後に空白 \",,,1800,1,1,?,,男,0,0,,,,,,,\r\n");
  // Each row read back as written, on the line it starts on.
  std::vector<Person> people;
  for (int i = 0; i < 60; ++i) {
    people.push_back(Sample(i));
    if (i % 2) people.back().created = At("2020-01-02T03:04:05Z");
  }
  auto parsed = ParseCsv(ToCsv(people));
  ASSERT_TRUE(parsed) << Why(parsed);
  EXPECT_TRUE(parsed->bad.empty());
  ASSERT_EQ(parsed->good.size(), people.size());
  for (std::size_t i = 0, line = 2; i < people.size(); line += 1 + people[i].memo.count(u'\n'), ++i)
    EXPECT_TRUE(parsed->good[i].person == people[i] && parsed->good[i].line == int(line)) << i;
}

// A file of one header and the given rows, LF line ends, no byte-order mark.
QByteArray File(std::initializer_list<const char*> rows) {
  QByteArray f = kHeader + "\n";
  for (const char* r : rows) f += QByteArray(r) + "\n";
  return f;
}

const char* const kGood = "佐藤,さとう,,1975,3,5,14,5,男,0,0,,,,,,,";

TEST(CsvTest, BadRowsAreNamedByLineAndReason) {
  const struct { QByteArray file; int goodRows; std::vector<std::pair<int, const char*>> bad; } cases[] = {
      {File({kGood, "佐藤,,,2001,2,29,14,5,男,0,0,,,,,,,"}), 1, {{3, "2001年2月29日という日はありません"}}},
      {File({"佐藤,,,1975,三,5,14,5,男,0,0,,,,,,,"}), 0, {{2, "生月「三」は整数ではありません"}}},
      {File({"佐藤,,,1975,3,5,24,5,男,0,0,,,,,,,"}), 0, {{2, "生時「24」"}}},
      {File({"佐藤,,,1975,3,5,14,,男,0,0,,,,,,,"}), 0, {{2, "生分"}}},
      {File({"佐藤,,,1975,3,5,14,5,M,0,0,,,,,,,"}), 0, {{2, "性別「M」"}}},
      {File({kGood, ",さとう,,1975,3,5,14,5,男,0,0,,,,,,,", kGood}), 2, {{3, "名前がありません"}}},
      {File({"佐藤,さとう,1975,3,5,14,5,男,0,0"}), 0, {{2, "項目の数が 10 です（18 のはずです）"}}},
      {File({"佐藤\",,,1975,3,5,14,5,男,0,0,,,,,,,"}), 0, {{2, "引用符"}}},
      {File({"\"佐藤\"x,,,1975,3,5,14,5,男,0,0,,,,,,,"}), 0, {{2, "引用符"}}},
      {File({"佐藤,,,1975,3,5,14,5,男,0,0,,,auto,,,,"}), 0, {{2, "三つとも"}}},
      {File({"佐藤,,,1975,3,5,14,5,男,0,0,,,auto,jst,45,,"}), 0, {{2, "境界幅「45」"}}},
      {File({"佐藤,,,1975,3,5,14,5,男,0,0,,,,,,2026/12/06,"}), 0, {{2, "登録日時「2026/12/06」"}}},
      // The memo's line breaks count: the bad row after it starts on line 5.
      {File({"佐藤,,\"一\n二\r\n三\",1975,3,5,14,5,男,0,0,,,,,,,", "x,,,1975,13,5,14,5,男,0,0,,,,,,,"}), 1,
       {{5, "1975年13月5日"}}},
      {File({kGood, "佐藤,,\"ずっと,1975,3,5,14,5,男,0,0,,,,,,,", kGood}), 1, {{3, "閉じていません"}}},
      {File({"", kGood, "", kGood}), 2, {}},  // blank lines skipped
      {File({}), 0, {}},                       // header only
  };
  for (const auto& c : cases) {
    auto parsed = ParseCsv(c.file);
    ASSERT_TRUE(parsed) << c.file.toStdString() << ": " << Why(parsed);
    EXPECT_EQ(int(parsed->good.size()), c.goodRows) << c.file.toStdString();
    ASSERT_EQ(parsed->bad.size(), c.bad.size()) << c.file.toStdString();
    for (std::size_t i = 0; i < c.bad.size(); ++i)
      EXPECT_TRUE(parsed->bad[i].line == c.bad[i].first &&
                  parsed->bad[i].reason.contains(QString::fromUtf8(c.bad[i].second)))
          << c.file.toStdString() << ": " << parsed->bad[i].Text().toStdString();
  }
}

TEST(CsvTest, WithOrWithoutBomAndCrlfTypedTextsKept) {
  QByteArray crlf = File({kGood});
  crlf.replace("\n", "\r\n");
  for (const QByteArray& bytes : {File({kGood}), crlf, "\xEF\xBB\xBF" + File({kGood}), "\xEF\xBB\xBF" + crlf}) {
    auto parsed = ParseCsv(bytes);
    ASSERT_TRUE(parsed && parsed->bad.empty() && parsed->good.size() == 1u) << bytes.toStdString();
    EXPECT_TRUE(parsed->good[0].person.name == "佐藤" && parsed->good[0].person.inputs.minute == "5");
  }
  // Full-width digits and ？ read; the time difference is left as typed, for the chart to read.
  auto parsed = ParseCsv(File({"佐藤,,,１９７５,３,５,？,,男,－１３, 30 ,,,,,,,"}));
  ASSERT_TRUE(parsed && parsed->good.size() == 1u);
  const BirthInputs& in = parsed->good[0].person.inputs;
  EXPECT_TRUE(in.year == 1975 && in.month == 3 && in.hour == "?" && in.jisahun == "－１３" && in.jisabyo == " 30 ");
}

TEST(CsvTest, FilesThatCannotBeReadAtAll) {
  const std::pair<const char*, QByteArray> cases[] = {
      {"空です", ""}, {"空です", "\xEF\xBB\xBF"}, {"空です", "\r\n\n"},
      {"見出し行ではありません", "name,reading\n佐藤,さとう\n"},
      {"見出し行ではありません", QByteArray(kGood) + "\n"},
      {"UTF-8ではありません", kHeader + "\n\x8d\xb2\x93\xa1,,,1975,3,5,14,5,\x92\x6a,0,0,,,,,,,\n"},
  };
  for (const auto& [message, bytes] : cases) {
    auto parsed = ParseCsv(bytes);
    ASSERT_FALSE(parsed) << message;
    EXPECT_TRUE(parsed.error().problem == Problem::BadFile && parsed.error().message.contains(QString::fromUtf8(message)))
        << Why(parsed);
  }
  EXPECT_FALSE(ReadCsvFile(QStringLiteral("/nonexistent/no such.csv")));
}

TEST(CsvTest, TenThousandPeopleThroughFileAndStore) {
  QTemporaryDir dir;
  std::vector<Person> people;
  for (int i = 0; i < 10000; ++i) people.push_back(Sample(i));
  const QString csv = dir.filePath("名簿.csv");
  {
    auto source = Store::Open(dir.filePath("a.sqlite"));
    ASSERT_TRUE(source);
    ASSERT_EQ(*source->AddAll(people), 10000);
    auto written = ExportCsvFile(*source, csv);
    ASSERT_TRUE(written) << Why(written);
    EXPECT_EQ(*written, 10000);
  }
  auto parsed = ReadCsvFile(csv);
  ASSERT_TRUE(parsed && parsed->good.size() == 10000u);
  auto target = Store::Open(dir.filePath("b.sqlite"));
  ASSERT_TRUE(target);
  ASSERT_EQ(*AddCsvRows(*target, *parsed), 10000);
  const std::vector<Person> all = *target->List();
  ASSERT_EQ(all.size(), 10000u);
  for (std::size_t i = 0; i < people.size(); ++i) ASSERT_EQ(WithoutKeeping(all[i]), people[i]) << i;
}

TEST(CsvTest, ImportAddsGoodRowsTogetherOrNothing) {
  QTemporaryDir dir;
  auto store = Store::Open(dir.filePath("torvela.sqlite"));
  ASSERT_TRUE(store);
  auto parsed = ParseCsv(File({kGood, "佐藤,,,2001,2,29,14,5,男,0,0,,,,,,,", kGood}));
  ASSERT_TRUE(parsed && parsed->bad.size() == 1u);
  EXPECT_EQ(parsed->bad[0].Text(), "3行目: 2001年2月29日という日はありません。");
  ASSERT_EQ(*AddCsvRows(*store, *parsed), 2);
  EXPECT_EQ(store->List()->size(), 2u);
  // A row the store refuses (changed after parsing) keeps all of them out.
  parsed->good[1].person.inputs.hour = "25";
  EXPECT_FALSE(AddCsvRows(*store, *parsed));
  EXPECT_EQ(store->List()->size(), 2u);
}

// An import killed at any moment: the 名簿 still opens, passes SQLite's
// integrity check and holds either none or all of that import.
TEST(KillTest, ImportKilledAnywhereIsAllOrNothing) {
  constexpr int kImport = 1000;
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("torvela.sqlite"));
  {
    auto store = Store::Open(path);
    ASSERT_TRUE(store);
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(store->Add(Sample(i)));
  }
  // Another process reads kImport people and is returned as it starts adding them.
  const auto start = [&](int seed) {
    auto p = std::make_unique<QProcess>();
    p->start(QStringLiteral(TORVELA_STORE_HELPER),
             {QStringLiteral("import"), path, QString::number(kImport), QString::number(seed)});
    while (!p->canReadLine() && p->waitForReadyRead(10000)) {
    }
    EXPECT_EQ(p->readLine().trimmed(), QByteArray("ready"));
    return p;
  };
  const auto count = [&]() -> std::size_t {
    auto store = Store::Open(path);
    EXPECT_TRUE(store) << Why(store);
    if (!store) return 0;
    auto check = store->CheckIntegrity();
    EXPECT_TRUE(check) << check.error().message.toStdString();
    auto all = store->List();
    return all ? all->size() : 0;
  };
  // One import left alone tells how long the adding takes on this machine;
  // the kills are spread over twice that, before, during and after the commit.
  QElapsedTimer timer;
  auto whole = start(0);
  timer.start();
  ASSERT_TRUE(whole->waitForFinished(30000));
  const qint64 span = timer.nsecsElapsed() / 1000;
  ASSERT_EQ(whole->exitCode(), 0);
  std::size_t expected = 10 + kImport;
  ASSERT_EQ(count(), expected);

  std::mt19937 random(16);
  std::uniform_int_distribution<qint64> delay(0, span * 2);
  int none = 0, all = 0;
  for (int round = 1; round <= 16; ++round) {
    auto import = start(round * kImport);
    std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    import->kill();  // SIGKILL
    import->waitForFinished();
    const std::size_t n = count();
    ASSERT_TRUE(n == expected || n == expected + kImport) << "round " << round << ": " << n;
    (n == expected ? none : all) += 1;
    expected = n;
  }
  std::printf("import of %d took %lld us; killed imports: %d left none, %d finished\n", kImport,
              static_cast<long long>(span), none, all);
}

}  // namespace
}  // namespace storetest

// Qt SQL finds its SQLite driver through the application object.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QCoreApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
