// torvela-cli's 名簿 and printed page, run as a user would: save, list,
// person, CSV import and export, PDF, and the files it must not harm.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/CliRun.h"

namespace {

using namespace clitest;
namespace fs = std::filesystem;

// A folder of its own for each test.
class CliKeep : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tvkeep-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const char* name) const { return (dir_ / name).string(); }
  std::string Db(const char* name = "people.sqlite") const { return "--db=" + Path(name); }

  static std::string Slurp(const std::string& path) {
    return (std::ostringstream() << std::ifstream(path, std::ios::binary).rdbuf()).str();
  }
  static void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  fs::path dir_;
};

const std::string Header =
    "名前,よみ,メモ,生年,生月,生日,生時,生分,性別,時差分,時差秒,出生地コード,出生地,"
    "夏時間補正,1888年以前,境界幅,登録日時,更新日時\r\n";

TEST_F(CliKeep, SaveListPersonGiveTheSameChart) {
  const std::vector<std::string> birth = {"--date=1975-03-05", "--time=14:30", "--sex=男",
                                          "--place=福岡市", "--margin=10"};
  std::vector<std::string> save = {Db(), "--save=山田太郎"};
  save.insert(save.end(), birth.begin(), birth.end());
  const CliRun saved = Cli(save);
  ASSERT_EQ(saved.status, 0) << saved.err;
  EXPECT_TRUE(Has(saved.out, "山田太郎"));
  ASSERT_EQ(Cli({Db(), "--save=鈴木花子", "--date=1990-12-31", "--time=?:?"}).status, 0);

  const CliRun list = Cli({Db(), "--list"});
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_EQ(Lines(list.out), (std::vector<std::string>{
                                 "山田太郎\t\t1975年3月5日14時30分\t男\t-18分20秒\t福岡県福岡市",
                                 "鈴木花子\t\t1990年12月31日出生時間不明\t女\t0分0秒\t"}));

  // The saved person's chart is the chart of the options, place and margin included.
  for (const std::vector<std::string>& form : {std::vector<std::string>{"--json"},
                                               std::vector<std::string>{}}) {
    std::vector<std::string> direct = birth, kept = {Db(), "--person=山田太郎"};
    direct.insert(direct.end(), form.begin(), form.end());
    kept.insert(kept.end(), form.begin(), form.end());
    direct.push_back(Now);
    kept.push_back(Now);
    const CliRun a = Cli(direct), b = Cli(kept);
    ASSERT_EQ(b.status, 0) << b.err;
    if (form.empty()) {
      EXPECT_EQ("氏名：山田太郎\n" + a.out, b.out);
    } else {
      EXPECT_EQ(a.out, b.out);
      EXPECT_TRUE(Has(b.out, "\"place\":{\"code\":\"401307\"")) << b.out;
    }
  }

  // Saving a name again updates that person.
  const CliRun again = Cli({Db(), "--save=山田太郎", "--date=1975-03-06", "--time=9:05"});
  EXPECT_TRUE(again.status == 0 && Has(again.out, "更新")) << again.out << again.err;
  const auto after = Lines(Cli({Db(), "--list"}).out);
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[0], "山田太郎\t\t1975年3月6日9時5分\t女\t0分0秒\t");

  // The database named by TORVELA_DB when no --db is given.
  const CliRun env = Cli({"--list"}, "", nullptr, nullptr, "TORVELA_DB='" + Path("people.sqlite") + "'");
  EXPECT_EQ(Lines(env.out), after);

  struct Row { std::vector<std::string> args; int status; const char* err; } const rows[] = {
      {{Db(), "--person=だれでもない"}, 2, "いません"},
      {{Db(), "--save=\u3000 ", "--date=1975-03-05", "--time=1:00"}, 2, "--save"},
      {{Db(), "--person=山田太郎", "--date=1975-03-05"}, 2, "命式"},
      {{Db(), "--save=X", "--time=1:00"}, 2, "--date"},
  };
  for (const Row& row : rows) {
    const CliRun r = Cli(row.args);
    EXPECT_TRUE(r.status == row.status && Has(r.err, row.err)) << row.args[1] << r.status << r.err;
  }
}

TEST_F(CliKeep, PdfHoldsTheEightCharactersAndTheName) {
  ASSERT_EQ(Cli({Db(), "--save=佐藤一郎", "--date=1980-03-01", "--time=0:10", "--jisa=-18",
                 "--jisa-sec=30"})
                .status,
            0);
  const CliRun json = Cli({Db(), "--person=佐藤一郎", "--json", Now});
  const auto texts = nlohmann::json::parse(json.out)["texts"];
  const CliRun pdf = Cli({Db(), "--person=佐藤一郎", "--pdf=" + Path("a.pdf"), Now});
  ASSERT_EQ(pdf.status, 0) << pdf.err;
  EXPECT_TRUE(pdf.out.empty());
  const std::string text = [&] {
    const std::string cmd = "pdftotext -layout '" + Path("a.pdf") + "' '" + Path("a.txt") + "'";
    return std::system(cmd.c_str()) == 0 ? Slurp(Path("a.txt")) : std::string();
  }();
  ASSERT_FALSE(text.empty());
  EXPECT_TRUE(Has(text, "佐藤一郎") && Has(text, "1980年3月1日0時10分")) << text;
  for (const char* key : {"yKan", "yShi", "mKan", "mShi", "dKan", "dShi", "hKan", "hShi"})
    EXPECT_TRUE(Has(text, texts[key].get<std::string>())) << key;
  EXPECT_TRUE(Has(text, "命式詳細") || Has(text, "通変星")) << text;

  // From the chart options too; a file that cannot be written: status 1.
  const CliRun direct = Cli({"--date=1980-03-01", "--time=0:10", "--pdf=" + Path("b.pdf"), Now});
  EXPECT_TRUE(direct.status == 0 && Slurp(Path("b.pdf")).rfind("%PDF", 0) == 0) << direct.err;
  const CliRun nowhere =
      Cli({"--date=1980-03-01", "--time=0:10", "--pdf=" + Path("no/such/dir/c.pdf"), Now});
  EXPECT_TRUE(nowhere.status == 1 && !nowhere.err.empty() && nowhere.out.empty()) << nowhere.err;
  // --json with --pdf prints the JSON as well.
  const CliRun both =
      Cli({"--date=1980-03-01", "--time=0:10", "--pdf=" + Path("d.pdf"), "--json", Now});
  EXPECT_TRUE(both.status == 0 && nlohmann::json::accept(both.out) && fs::exists(Path("d.pdf")));
}

TEST_F(CliKeep, ImportWithBadRowsAddsNothingUnlessSkipped) {
  const std::string csv = Header +
                          "一,,,1980,3,1,0,10,女,-18,30,,,,,,,\r\n"
                          "二,,\"メモ, \"\"引用\"\"\n二行目\",1981,2,30,1,1,男,0,0,,,,,,,\r\n"
                          "三,,,1982,4,5,?,,男,19,0,,,off,lmt,60,,\r\n"
                          "四,,,1983,5,6,25,0,女,0,0,,,,,,,\r\n";
  Write(Path("in.csv"), csv);
  const CliRun refused = Cli({Db(), "--import=" + Path("in.csv")});
  EXPECT_EQ(refused.status, 1);
  // The row with a line break in its memo starts on line 3; the next is line 5.
  EXPECT_TRUE(Has(refused.err, "3行目") && Has(refused.err, "6行目") && !Has(refused.err, "5行目"))
      << refused.err;
  EXPECT_TRUE(Cli({Db(), "--list"}).out.empty());

  const CliRun skipped = Cli({Db(), "--import=" + Path("in.csv"), "--skip-bad"});
  EXPECT_EQ(skipped.status, 0) << skipped.err;
  EXPECT_TRUE(Has(skipped.out, "2 人") && Has(skipped.err, "6行目")) << skipped.out << skipped.err;
  EXPECT_EQ(Lines(Cli({Db(), "--list"}).out),
            (std::vector<std::string>{"一\t\t1980年3月1日0時10分\t女\t-18分30秒\t",
                                      "三\t\t1982年4月5日出生時間不明\t男\t19分0秒\t"}));

  // Not a 名簿 CSV at all: status 1, nothing added.
  for (const std::string& bytes : {std::string(), std::string("a,b\r\n1,2\r\n")}) {
    Write(Path("bad.csv"), bytes);
    const CliRun r = Cli({Db("other.sqlite"), "--import=" + Path("bad.csv")});
    EXPECT_TRUE(r.status == 1 && !r.err.empty()) << r.err;
  }
  EXPECT_EQ(Cli({Db("other.sqlite"), "--import=" + Path("missing.csv")}).status, 1);
}

TEST_F(CliKeep, ExportThenImportGivesTheSamePeople) {
  for (const std::vector<std::string>& save : {
           std::vector<std::string>{"--save=甲", "--date=1949-07-01", "--time=10:00", "--dst=off"},
           std::vector<std::string>{"--save=乙", "--date=1880-06-10", "--time=10:?", "--place=京都市",
                                    "--before-1888=solar"},
           std::vector<std::string>{"--save=丙, \"quoted\"", "--date=2000-01-01", "--time=?:?",
                                    "--jisa=－１３", "--sex=男"},
       }) {
    std::vector<std::string> args = {Db("a.sqlite")};
    args.insert(args.end(), save.begin(), save.end());
    ASSERT_EQ(Cli(args).status, 0) << save[0];
  }
  const CliRun exported = Cli({Db("a.sqlite"), "--export=" + Path("out.csv")});
  ASSERT_EQ(exported.status, 0) << exported.err;
  EXPECT_TRUE(Has(exported.out, "3 人"));
  EXPECT_EQ(Slurp(Path("out.csv")).rfind("\xEF\xBB\xBF名前,", 0), 0u);
  ASSERT_EQ(Cli({Db("b.sqlite"), "--import=" + Path("out.csv")}).status, 0);
  const std::string a = Cli({Db("a.sqlite"), "--list"}).out, b = Cli({Db("b.sqlite"), "--list"}).out;
  EXPECT_EQ(Lines(a).size(), 3u);
  EXPECT_EQ(a, b);
  for (const char* who : {"甲", "乙", "丙, \"quoted\""}) {
    EXPECT_EQ(Cli({Db("a.sqlite"), std::string("--person=") + who, "--json", Now}).out,
              Cli({Db("b.sqlite"), std::string("--person=") + who, "--json", Now}).out)
        << who;
  }
  // An export that cannot be written: status 1.
  EXPECT_EQ(Cli({Db("a.sqlite"), "--export=" + Path("no/dir/out.csv")}).status, 1);
}

TEST_F(CliKeep, ADamagedDatabaseIsReportedAndLeftAlone) {
  std::mt19937 random(7);
  std::string bytes(8192, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  const std::string foreign = "SQLite format 3" + std::string(1, '\0') + bytes.substr(0, 84);
  for (const std::string& content : {bytes, foreign}) {
    Write(Path("bad.sqlite"), content);
    for (const std::vector<std::string>& args : {
             std::vector<std::string>{Db("bad.sqlite"), "--list"},
             std::vector<std::string>{Db("bad.sqlite"), "--save=X", "--date=1980-03-01", "--time=1:00"},
             std::vector<std::string>{Db("bad.sqlite"), "--person=X"},
             std::vector<std::string>{Db("bad.sqlite"), "--export=" + Path("x.csv")},
         }) {
      const CliRun r = Cli(args);
      EXPECT_TRUE(r.status == 1 && !r.err.empty() && r.out.empty()) << args[1] << r.err;
      EXPECT_TRUE(Slurp(Path("bad.sqlite")) == content) << args[1];
    }
  }
  // A folder where the file should be.
  fs::create_directories(Path("folder.sqlite"));
  EXPECT_EQ(Cli({Db("folder.sqlite"), "--list"}).status, 1);
}

}  // namespace
