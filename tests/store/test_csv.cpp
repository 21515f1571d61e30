// CSV: what is written reads back the same (quotes, commas and line breaks
// in the memo included); each bad row is named by its line and reason; whole
// files that cannot be read say why; imports add all good rows or nothing.
#include <QFile>

#include "StoreTestSupport.h"
#include "store/Csv.h"

namespace storetest {
namespace {

const QByteArray kHeader =
    "名前,よみ,メモ,生年,生月,生日,生時,生分,性別,時差分,時差秒,出生地コード,出生地,"
    "夏時間補正,1888年以前,境界幅,登録日時,更新日時";

TEST(CsvTest, ExportIsBomHeaderAndQuotedCrlfLines) {
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
}

TEST(CsvTest, WrittenPeopleReadBackTheSame) {
  std::vector<Person> people;
  for (int i = 0; i < 60; ++i) {
    people.push_back(Sample(i));
    if (i % 2) people.back().created = At("2020-01-02T03:04:05Z");
  }
  auto parsed = ParseCsv(ToCsv(people));
  ASSERT_TRUE(parsed) << parsed.error().message.toStdString();
  EXPECT_TRUE(parsed->bad.empty());
  ASSERT_EQ(parsed->good.size(), people.size());
  int line = 2;
  for (std::size_t i = 0; i < people.size(); ++i) {
    EXPECT_EQ(parsed->good[i].person, people[i]) << i;
    EXPECT_EQ(parsed->good[i].line, line) << i;
    line += 1 + int(people[i].memo.count(u'\n'));
  }
}

// A file of one header and the given rows, LF line ends, no byte-order mark.
QByteArray File(std::initializer_list<const char*> rows) {
  QByteArray f = kHeader + "\n";
  for (const char* r : rows) f += QByteArray(r) + "\n";
  return f;
}

const char* const kGood = "佐藤,さとう,,1975,3,5,14,5,男,0,0,,,,,,,";

TEST(CsvTest, BadRowsAreNamedByLineAndReason) {
  struct Case {
    const char* what;
    QByteArray file;
    int goodRows;
    std::vector<std::pair<int, const char*>> bad;  // line, part of the reason
  };
  const Case cases[] = {
      {"bad date", File({kGood, "佐藤,,,2001,2,29,14,5,男,0,0,,,,,,,"}), 1, {{3, "2001年2月29日という日はありません"}}},
      {"month text", File({"佐藤,,,1975,三,5,14,5,男,0,0,,,,,,,"}), 0, {{2, "生月「三」は整数ではありません"}}},
      {"hour 24", File({"佐藤,,,1975,3,5,24,5,男,0,0,,,,,,,"}), 0, {{2, "生時「24」"}}},
      {"minute missing", File({"佐藤,,,1975,3,5,14,,男,0,0,,,,,,,"}), 0, {{2, "生分"}}},
      {"sex", File({"佐藤,,,1975,3,5,14,5,M,0,0,,,,,,,"}), 0, {{2, "性別「M」"}}},
      {"no name", File({kGood, ",さとう,,1975,3,5,14,5,男,0,0,,,,,,,", kGood}), 2, {{3, "名前がありません"}}},
      {"too few fields", File({"佐藤,さとう,1975,3,5,14,5,男,0,0"}), 0, {{2, "項目の数が 10 です（18 のはずです）"}}},
      {"stray quote", File({"佐藤\",,,1975,3,5,14,5,男,0,0,,,,,,,"}), 0, {{2, "引用符"}}},
      {"text after quote", File({"\"佐藤\"x,,,1975,3,5,14,5,男,0,0,,,,,,,"}), 0, {{2, "引用符"}}},
      {"some settings", File({"佐藤,,,1975,3,5,14,5,男,0,0,,,auto,,,,"}), 0, {{2, "三つとも"}}},
      {"bad setting", File({"佐藤,,,1975,3,5,14,5,男,0,0,,,auto,jst,45,,"}), 0, {{2, "境界幅「45」"}}},
      {"bad time", File({"佐藤,,,1975,3,5,14,5,男,0,0,,,,,,2026/12/06,"}), 0, {{2, "登録日時「2026/12/06」"}}},
      // The memo's line breaks count: the bad row after it starts on line 5.
      {"lines in memo", File({"佐藤,,\"一\n二\r\n三\",1975,3,5,14,5,男,0,0,,,,,,,", "x,,,1975,13,5,14,5,男,0,0,,,,,,,"}), 1,
       {{5, "1975年13月5日"}}},
      {"unclosed quote", File({kGood, "佐藤,,\"ずっと,1975,3,5,14,5,男,0,0,,,,,,,", kGood}), 1, {{3, "閉じていません"}}},
      {"blank lines skipped", File({"", kGood, "", kGood}), 2, {}},
      {"full-width digits and ？", File({"佐藤,,,１９７５,３,５,？,,男,０,０,,,,,,,"}), 1, {}},
      {"header only", File({}), 0, {}},
  };
  for (const Case& c : cases) {
    auto parsed = ParseCsv(c.file);
    ASSERT_TRUE(parsed) << c.what << ": " << parsed.error().message.toStdString();
    EXPECT_EQ(int(parsed->good.size()), c.goodRows) << c.what;
    ASSERT_EQ(parsed->bad.size(), c.bad.size()) << c.what;
    for (std::size_t i = 0; i < c.bad.size(); ++i) {
      EXPECT_EQ(parsed->bad[i].line, c.bad[i].first) << c.what;
      EXPECT_TRUE(parsed->bad[i].reason.contains(QString::fromUtf8(c.bad[i].second)))
          << c.what << ": " << parsed->bad[i].Text().toStdString();
    }
  }
}

TEST(CsvTest, TypedTextsAreKeptAsTyped) {
  auto parsed = ParseCsv(File({"佐藤,,,１９７５,３,５,？,,男,－１３, 30 ,,,,,,,"}));
  ASSERT_TRUE(parsed);
  ASSERT_EQ(parsed->good.size(), 1u);
  const BirthInputs& in = parsed->good[0].person.inputs;
  EXPECT_EQ(in.year, 1975);
  EXPECT_EQ(in.hour, "?");
  EXPECT_EQ(in.jisahun, "－１３");  // the time difference is read by the chart, not here
  EXPECT_EQ(in.jisabyo, " 30 ");
}

TEST(CsvTest, FilesThatCannotBeReadAtAll) {
  const std::pair<const char*, QByteArray> cases[] = {
      {"空です", ""},
      {"空です", "\xEF\xBB\xBF"},
      {"空です", "\r\n\n"},
      {"見出し行ではありません", "name,reading\n佐藤,さとう\n"},
      {"見出し行ではありません", QByteArray(kGood) + "\n"},
      {"UTF-8ではありません", kHeader + "\n\x8d\xb2\x93\xa1,,,1975,3,5,14,5,\x92\x6a,0,0,,,,,,,\n"},
  };
  for (const auto& [message, bytes] : cases) {
    auto parsed = ParseCsv(bytes);
    ASSERT_FALSE(parsed) << message;
    EXPECT_EQ(parsed.error().problem, Problem::BadFile);
    EXPECT_TRUE(parsed.error().message.contains(QString::fromUtf8(message))) << parsed.error().message.toStdString();
  }
}

TEST(CsvTest, WithOrWithoutBomAndCrlf) {
  const QByteArray lf = File({kGood});
  QByteArray crlf = lf;
  crlf.replace("\n", "\r\n");
  for (const QByteArray& bytes : {lf, crlf, "\xEF\xBB\xBF" + lf, "\xEF\xBB\xBF" + crlf}) {
    auto parsed = ParseCsv(bytes);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed->good.size(), 1u);
    EXPECT_TRUE(parsed->bad.empty());
    EXPECT_EQ(parsed->good[0].person.name, "佐藤");
    EXPECT_EQ(parsed->good[0].person.inputs.minute, "5");
  }
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
    ASSERT_TRUE(written) << written.error().message.toStdString();
    EXPECT_EQ(*written, 10000);
  }
  auto parsed = ReadCsvFile(csv);
  ASSERT_TRUE(parsed);
  ASSERT_EQ(parsed->good.size(), 10000u);
  auto target = Store::Open(dir.filePath("b.sqlite"));
  ASSERT_TRUE(target);
  ASSERT_EQ(*AddCsvRows(*target, *parsed), 10000);
  auto all = target->List();
  ASSERT_TRUE(all);
  ASSERT_EQ(all->size(), 10000u);
  for (std::size_t i = 0; i < people.size(); ++i) ASSERT_EQ(WithoutKeeping((*all)[i]), people[i]) << i;
}

TEST(CsvTest, ImportAddsGoodRowsTogetherOrNothing) {
  QTemporaryDir dir;
  auto store = Store::Open(dir.filePath("torvela.sqlite"));
  ASSERT_TRUE(store);
  auto parsed = ParseCsv(File({kGood, "佐藤,,,2001,2,29,14,5,男,0,0,,,,,,,", kGood}));
  ASSERT_TRUE(parsed);
  ASSERT_EQ(parsed->bad.size(), 1u);
  EXPECT_EQ(parsed->bad[0].Text(), "3行目: 2001年2月29日という日はありません。");
  ASSERT_EQ(*AddCsvRows(*store, *parsed), 2);
  EXPECT_EQ(store->List()->size(), 2u);

  // A row the store refuses (changed after parsing) keeps all of them out.
  parsed->good[1].person.inputs.hour = "25";
  EXPECT_FALSE(AddCsvRows(*store, *parsed));
  EXPECT_EQ(store->List()->size(), 2u);
  EXPECT_FALSE(ReadCsvFile(dir.filePath("no such.csv")));
}

}  // namespace
}  // namespace storetest
