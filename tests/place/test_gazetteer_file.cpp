// The gazetteer file as it may turn up: the shipped one, reformatted, or
// damaged. A bad record stops the load with the file, line and field named.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>

#include <QString>

#include "calc/Module2.h"
#include "place/Gazetteer.h"

namespace torvela::place {
namespace {

namespace fs = std::filesystem;

const fs::path kShipped = fs::path(TORVELA_TEST_DATA_DIR) / "places.txt";

// Two good lines; the cases below damage the second.
const std::string kHeader = "# code\tprefecture\tname\treading\tromaji\tlongitude\tlatitude\n";
const std::string kGood1 = "011002\t北海道\t札幌市\tさっぽろし\tsapporoshi\t141.35429\t43.06194";
const std::string kGood2 = "011011\t北海道\t札幌市 中央区\tさっぽろし ちゅうおうく\tsapporoshi chuuouku\t141.35429\t43.06194";

TEST(GazetteerFile, ShippedFileLoadsEveryPlace) {
  const Gazetteer g = Gazetteer::Load(kShipped);
  ASSERT_EQ(g.places().size(), 1922u);  // 1747 municipalities, 175 wards
  std::set<std::string> prefectures;
  std::string previous;
  for (const Place& p : g.places()) {
    EXPECT_LT(previous, p.code);
    previous = p.code;
    prefectures.insert(p.prefecture);
  }
  EXPECT_EQ(prefectures.size(), 47u);
}

TEST(GazetteerFile, WardsAndDistrictsAreShownJoined) {
  const Gazetteer g = Gazetteer::Parse(kHeader + kGood1 + "\n" + kGood2 + "\n");
  const Place& ward = g.places()[1];
  EXPECT_EQ(ward.name, "札幌市中央区");
  EXPECT_EQ(ward.localName, "中央区");
  EXPECT_EQ(ward.reading, "さっぽろしちゅうおうく");
  EXPECT_EQ(ward.romaji, "sapporoshi chuuouku");
  EXPECT_DOUBLE_EQ(ward.longitude, 141.35429);
  EXPECT_EQ(g.places()[0].localName, "札幌市");
}

TEST(GazetteerFile, ToleratesByteOrderMarkCrLfCommentsAndBlankLines) {
  const std::string text = "\xEF\xBB\xBF" + kHeader + "\r\n" + kGood2 + "\r\n# note\r\n" + kGood1;
  const Gazetteer g = Gazetteer::Parse(text);
  ASSERT_EQ(g.places().size(), 2u);
  EXPECT_EQ(g.places()[0].code, "011002");  // put in code order
}

struct Bad {
  const char* what;
  std::string line;  // replaces the second record (line 3)
  int field;         // 0: the line as a whole
  const char* says;
};

TEST(GazetteerFile, MalformedRecordNamesFileLineAndField) {
  const std::string tab = "\t";
  const std::string rest = "\t北海道\t札幌市 中央区\tさっぽろし ちゅうおうく\tsapporoshi chuuouku\t141.35\t43.06";
  const Bad cases[] = {
      {"code not digits", "01101x" + rest, 1, "6 桁の数字ではありません"},
      {"code check digit", "011012" + rest, 1, "検査数字が合いません"},
      {"code repeated", "011002" + rest, 1, "第 2 行と重複しています"},
      {"prefecture number", "481009" + rest, 1, "01〜47"},
      {"prefecture not the code's", "011011\t青森県\t札幌市 中央区\tさっぽろし ちゅうおうく\tsapporoshi chuuouku\t141\t43", 2,
       "北海道"},
      {"name with two spaces", "011011\t北海道\t札幌市  中央区\tさっぽろし ちゅうおうく\tsapporoshi chuuouku\t141\t43", 3,
       "空白"},
      {"name not a municipality", "011011\t北海道\t札幌駅\tさっぽろえき\tsapporoeki\t141\t43", 3, "市・町・村・区"},
      {"name repeated", "011029\t北海道\t札幌市\tさっぽろし\tsapporoshi\t141\t43", 3, "第 2 行と同じ"},
      {"reading in katakana", "011011\t北海道\t札幌市 中央区\tサッポロシ チュウオウク\tsapporoshi chuuouku\t141\t43", 4,
       "ひらがなではありません"},
      {"reading not split like the name", "011011\t北海道\t札幌市 中央区\tさっぽろしちゅうおうく\tsapporoshi chuuouku\t141\t43",
       4, "名前と合いません"},
      {"romaji in capitals", "011011\t北海道\t札幌市 中央区\tさっぽろし ちゅうおうく\tSapporoshi chuuouku\t141\t43", 5,
       "ローマ字ではありません"},
      {"longitude not a number", "011011\t北海道\t札幌市 中央区\tさっぽろし ちゅうおうく\tsapporoshi chuuouku\t141.3.5\t43",
       6, "数値ではありません（\"141.3.5\"）"},
      {"longitude outside Japan", "011011\t北海道\t札幌市 中央区\tさっぽろし ちゅうおうく\tsapporoshi chuuouku\t-141\t43", 6,
       "日本の範囲"},
      {"latitude empty", "011011\t北海道\t札幌市 中央区\tさっぽろし ちゅうおうく\tsapporoshi chuuouku\t141\t", 7,
       "数値ではありません"},
      {"latitude missing", "011011\t北海道\t札幌市 中央区\tさっぽろし ちゅうおうく\tsapporoshi chuuouku\t141", 7, "がありません"},
      {"one field too many", "011011" + rest + tab + "x", 0, "多すぎます"},
      {"blanks instead of tabs", "011011 北海道 札幌市中央区 さっぽろしちゅうおうく sapporoshichuuouku 141 43", 2,
       "タブ区切り"},
      {"broken UTF-8", "011011\t北海道\t札幌\xE5\xB8\t\tさっぽろし\tsapporoshi\t141\t43", 3, "UTF-8"},
      {"control character", "011011\t北海道\t札幌市\x01\tさっぽろし\tsapporoshi\t141\t43", 3, "制御文字"},
  };
  for (const Bad& c : cases) {
    const std::string text = kHeader + kGood1 + "\n" + c.line + "\n";
    try {
      Gazetteer::Parse(text);
      ADD_FAILURE() << c.what << ": loaded";
    } catch (const DataFileError& e) {
      EXPECT_EQ(e.file(), "places.txt") << c.what;
      EXPECT_EQ(e.record(), 3) << c.what;
      EXPECT_EQ(e.field(), c.field) << c.what;
      const std::string where = c.field == 0 ? "places.txt の第 3 行" : "places.txt の第 3 行第 " + std::to_string(c.field) + " 項目";
      EXPECT_NE(std::string(e.what()).find(where), std::string::npos) << c.what << ": " << e.what();
      EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << c.what << ": " << e.what();
    }
  }
}

TEST(GazetteerFile, NoPlaceAtAllIsAnError) {
  for (const std::string& text : {std::string(), kHeader, std::string("\n\n")}) {
    try {
      Gazetteer::Parse(text);
      ADD_FAILURE() << "loaded an empty gazetteer";
    } catch (const DataFileError& e) {
      EXPECT_EQ(e.record(), 0);
      EXPECT_NE(std::string(e.what()).find("1 件もありません"), std::string::npos);
    }
  }
}

TEST(GazetteerFile, MissingOrUnusableFileIsAnErrorAndKeepsWhatWasLoaded) {
  const fs::path dir = fs::temp_directory_path() / ("torvela_places_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::create_directories(dir);
  Gazetteer g = Gazetteer::Load(kShipped);

  struct Case {
    fs::path path;
    const char* says;
  };
  const fs::path bad = dir / "places.txt";
  std::ofstream(bad) << kGood1 << "\n011011\t北海道\n";
  for (const Case& c : {Case{dir / "none.txt", "見つかりません"}, Case{dir, "通常のファイルではありません"},
                        Case{bad, "第 2 行第 3 項目（名前）がありません"}}) {
    try {
      g = Gazetteer::Load(c.path);
      ADD_FAILURE() << c.path << ": loaded";
    } catch (const DataFileError& e) {
      EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
    }
  }
  EXPECT_EQ(g.places().size(), 1922u);
  fs::remove_all(dir);
}

// Random damage to the head of the shipped file (bytes replaced, inserted,
// removed): each result loads or stops with a line and a message that is
// valid UTF-8 (it reaches a message box), never anything else.
TEST(GazetteerFile, RandomDamageLoadsOrStopsCleanly) {
  std::ostringstream whole;
  whole << std::ifstream(kShipped, std::ios::binary).rdbuf();
  std::string head = whole.str();
  head.resize(head.find('\n', 20000) + 1);
  std::string bytes = "\t \n\r#0123456789.-市区町村北海道あア\xE3\x81\xFF";
  bytes += '\0';
  std::mt19937 random(14);
  int loaded = 0, stopped = 0;
  for (int round = 0; round < 200; ++round) {
    std::string text = head;
    for (int k = 0; k < 1 + round % 4; ++k) {
      const std::size_t at = random() % text.size();
      const char b = bytes[random() % bytes.size()];
      switch (random() % 3) {
        case 0: text[at] = b; break;
        case 1: text.insert(at, 1, b); break;
        default: text.erase(at, 1 + random() % 8); break;
      }
    }
    try {
      const Gazetteer g = Gazetteer::Parse(text);
      EXPECT_FALSE(g.places().empty());
      ++loaded;
    } catch (const DataFileError& e) {
      const std::string what = e.what();
      EXPECT_GT(e.record(), 0) << what;
      EXPECT_EQ(QString::fromUtf8(what.c_str()).toUtf8().toStdString(), what);
      ++stopped;
    }
  }
  EXPECT_GT(stopped, 100);
  EXPECT_GT(loaded, 0);  // a damaged comment, or a byte that keeps a number valid
}

}  // namespace
}  // namespace torvela::place
