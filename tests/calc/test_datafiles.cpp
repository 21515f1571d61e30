// Loading the name tables and the two data files, and what the user is told
// when a file cannot be used.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "calc/Module2.h"

namespace torvela {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> ShippedValues(const std::string& name) {
  std::ifstream in(fs::path(TORVELA_TEST_BIN_DIR) / name);
  std::vector<std::string> values;
  std::string line;
  while (std::getline(in, line)) {
    std::stringstream ss(line);
    std::string v;
    while (std::getline(ss, v, ',')) values.push_back(v);
  }
  return values;
}

// Values written `perLine` to a line, joined by `sep`, lines ended by `eol`.
std::string Layout(const std::vector<std::string>& values, std::size_t perLine,
                   const std::string& sep, const std::string& eol) {
  std::string out;
  for (std::size_t i = 0; i < values.size(); ++i) {
    out += values[i];
    out += (i + 1) % perLine == 0 || i + 1 == values.size() ? eol : sep;
  }
  return out;
}

bool SameTables(const Module2& a, const Module2& b) {
  return a.PlanetTermKeys == b.PlanetTermKeys && a.PlanetTermValues == b.PlanetTermValues &&
         a.LatitudeTermKeys == b.LatitudeTermKeys &&
         a.LatitudeTermValues == b.LatitudeTermValues && a.StemNames == b.StemNames &&
         a.BranchNames == b.BranchNames && a.WeekdayNames == b.WeekdayNames;
}

class DataFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("torvela-calc-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    planet_ = ShippedValues("planet.txt");
    latitude_ = ShippedValues("latitude.txt");
    ASSERT_EQ(planet_.size(), 840u);
    ASSERT_EQ(latitude_.size(), 170u);
    reference_.LoadTables(TORVELA_TEST_BIN_DIR);
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }
  void WriteGood() {
    Write("planet.txt", Layout(planet_, 7, ",", "\n"));
    Write("latitude.txt", Layout(latitude_, 5, ",", "\n"));
  }
  // Loads into a fresh Module2 and returns the error (fails if none).
  DataFileError LoadError() {
    Module2 m;
    try {
      m.LoadTables(dir_);
    } catch (const DataFileError& e) {
      return e;
    }
    ADD_FAILURE() << "no error";
    return DataFileError("", 0, 0, "");
  }

  fs::path dir_;
  std::vector<std::string> planet_, latitude_;
  Module2 reference_;
};

TEST_F(DataFiles, ShippedTablesAndNames) {
  const Module2& m = reference_;
  EXPECT_EQ(m.StemNames[0], "□");
  EXPECT_EQ(m.StemNames[1], "甲");
  EXPECT_EQ(m.StemNames[10], "癸");
  EXPECT_EQ(m.BranchNames[0], "□");
  EXPECT_EQ(m.BranchNames[12], "亥");
  EXPECT_EQ(m.WeekdayNames[1], "日");
  EXPECT_EQ(m.WeekdayNames[7], "土");
  const std::array<std::int16_t, 3> firstKeys{1, -1, 1};
  const std::array<double, 4> firstValues{0.013, 243, 28, 335};
  EXPECT_EQ(m.PlanetTermKeys[1], firstKeys);
  EXPECT_EQ(m.PlanetTermValues[1], firstValues);
  const std::array<std::int16_t, 3> latKeys{2, -1, 0};
  EXPECT_EQ(m.LatitudeTermKeys[1], latKeys);
  for (int i = 1; i <= PlanetTermCount; ++i) {
    EXPECT_GE(m.PlanetTermKeys[i][0], 1);
    EXPECT_LE(m.PlanetTermKeys[i][0], 6);
  }
}

TEST_F(DataFiles, SeparatorsAndLayoutsLoadTheSameValues) {
  struct Case {
    const char* what;
    std::size_t perLine;
    std::string sep, eol, prefix;
  } const cases[] = {
      {"one per line", 1, "", "\n", ""},
      {"commas", 7, ",", "\n", ""},
      {"comma and blank", 7, ", ", "\n", ""},
      {"blank before comma", 7, " ,", "\n", ""},
      {"blanks", 7, "   ", "\n", ""},
      {"tabs", 3, "\t", "\n", ""},
      {"CRLF", 7, ",", "\r\n", ""},
      {"byte order mark", 7, ",", "\n", "\xEF\xBB\xBF"},
      {"trailing comma", 7, ",", ",\n", ""},
      {"one long line", 10000, " ", "", "  \n\n"},
  };
  for (const auto& c : cases) {
    Write("planet.txt", c.prefix + Layout(planet_, c.perLine, c.sep, c.eol));
    Write("latitude.txt", c.prefix + Layout(latitude_, c.perLine, c.sep, c.eol));
    Module2 m;
    EXPECT_NO_THROW(m.LoadTables(dir_)) << c.what;
    EXPECT_TRUE(SameTables(m, reference_)) << c.what;
  }
}

TEST_F(DataFiles, ExtraRecordsAndTrailingTextAreIgnored) {
  std::vector<std::string> more = planet_;
  more.insert(more.end(), {"9", "9", "9", "1", "2", "3", "4", "garbage"});
  Write("planet.txt", Layout(more, 7, ",", "\n") + std::string(1 << 20, '\x01'));
  Write("latitude.txt", Layout(latitude_, 5, ",", "\n") + "end of table\n");
  Module2 m;
  ASSERT_NO_THROW(m.LoadTables(dir_));
  EXPECT_TRUE(SameTables(m, reference_));
}

TEST_F(DataFiles, IntegerFieldsRoundHalfAwayFromZero) {
  std::vector<std::string> p = planet_;
  p[0] = "1.4";
  p[1] = "-2.5";
  p[2] = "2.5";
  Write("planet.txt", Layout(p, 7, ",", "\n"));
  Write("latitude.txt", Layout(latitude_, 5, ",", "\n"));
  Module2 m;
  ASSERT_NO_THROW(m.LoadTables(dir_));
  const std::array<std::int16_t, 3> keys{1, -3, 3};
  EXPECT_EQ(m.PlanetTermKeys[1], keys);
}

TEST_F(DataFiles, BadValuesNameTheRecordAndField) {
  struct Case {
    const char* file;
    std::size_t index;  // 0-based position of the value replaced
    std::string text;
    int record, field;
    std::string message;
  } const cases[] = {
      {"planet.txt", 36 * 7 + 3, "abc", 37, 4, "数値ではありません（\"abc\"）"},
      {"planet.txt", 0, "NaN", 1, 1, "数値ではありません"},
      {"planet.txt", 5, "inf", 1, 6, "数値ではありません"},
      {"planet.txt", 6, "-Infinity", 1, 7, "数値ではありません"},
      {"planet.txt", 10, "1e400", 2, 4, "扱えません（\"1e400\"）"},
      {"planet.txt", 11, "1.5x", 2, 5, "数値ではありません"},
      {"planet.txt", 12, "++1", 2, 6, "数値ではありません"},
      {"planet.txt", 13, "0x10", 2, 7, "数値ではありません"},
      {"planet.txt", 14, std::string(500, '7'), 3, 1, "数値ではありません"},
      {"planet.txt", 15, "40000", 3, 2, "-32768〜32767"},
      {"planet.txt", 16, "-32768.6", 3, 3, "-32768〜32767"},
      {"planet.txt", 7 * 119, "7", 120, 1, "惑星番号 7"},
      {"planet.txt", 7 * 5, "0", 6, 1, "惑星番号 0"},
      {"latitude.txt", 5 * 33, "-1", 34, 1, "惑星番号 -1"},
      {"latitude.txt", 5 * 2 + 4, "\x01\xFF", 3, 5, "数値ではありません（\"??\"）"},
      {"planet.txt", 19, "", 3, 6, "空"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> p = planet_, l = latitude_;
    (std::string(c.file) == "planet.txt" ? p : l)[c.index] = c.text;
    Write("planet.txt", Layout(p, 7, ",", "\n"));
    Write("latitude.txt", Layout(l, 5, ",", "\n"));
    const DataFileError e = LoadError();
    EXPECT_EQ(e.file(), c.file) << c.text;
    EXPECT_EQ(e.record(), c.record) << c.text;
    EXPECT_EQ(e.field(), c.field) << c.text;
    const std::string what = e.what();
    EXPECT_NE(what.find(std::string("データファイル ") + c.file), std::string::npos) << what;
    EXPECT_NE(what.find("第 " + std::to_string(c.record) + " レコード第 " +
                        std::to_string(c.field) + " 項目"),
              std::string::npos)
        << what;
    EXPECT_NE(what.find(c.message), std::string::npos) << what;
  }
}

TEST_F(DataFiles, TooFewValues) {
  // 119 records: the first field of record 120 is missing.
  Write("planet.txt", Layout({planet_.begin(), planet_.end() - 7}, 7, ",", "\n"));
  Write("latitude.txt", Layout(latitude_, 5, ",", "\n"));
  DataFileError e = LoadError();
  EXPECT_EQ(e.file(), "planet.txt");
  EXPECT_EQ(e.record(), 120);
  EXPECT_EQ(e.field(), 1);
  EXPECT_NE(std::string(e.what()).find("ファイルが終わっています"), std::string::npos);
  EXPECT_NE(std::string(e.what()).find("840 個のうち 833 個"), std::string::npos) << e.what();

  WriteGood();
  Write("latitude.txt", Layout({latitude_.begin(), latitude_.end() - 2}, 5, ",", "\n"));
  e = LoadError();
  EXPECT_EQ(e.file(), "latitude.txt");
  EXPECT_EQ(e.record(), 34);
  EXPECT_EQ(e.field(), 4);

  Write("latitude.txt", "");
  e = LoadError();
  EXPECT_EQ(e.record(), 1);
  EXPECT_EQ(e.field(), 1);
}

TEST_F(DataFiles, MissingOrUnusableFiles) {
  EXPECT_NE(std::string(LoadError().what()).find("planet.txt が見つかりません"),
            std::string::npos);
  WriteGood();
  fs::remove(dir_ / "latitude.txt");
  DataFileError e = LoadError();
  EXPECT_EQ(e.file(), "latitude.txt");
  EXPECT_EQ(e.record(), 0);
  EXPECT_NE(std::string(e.what()).find("latitude.txt が見つかりません"), std::string::npos);
  EXPECT_NE(std::string(e.what()).find((dir_ / "latitude.txt").string()), std::string::npos);

  fs::create_directory(dir_ / "latitude.txt");
  EXPECT_NE(std::string(LoadError().what()).find("通常のファイルではありません"),
            std::string::npos);
  fs::remove(dir_ / "latitude.txt");

  if (::geteuid() != 0) {  // permissions do not bind root
    WriteGood();
    fs::permissions(dir_ / "planet.txt", fs::perms::none);
    EXPECT_NE(std::string(LoadError().what()).find("planet.txt を開けません"),
              std::string::npos);
  }
}

TEST_F(DataFiles, FailureLeavesEarlierTablesUnchanged) {
  Module2 m;
  m.LoadTables(TORVELA_TEST_BIN_DIR);
  std::vector<std::string> p = planet_;
  p[3] = "99.5";  // a valid planet file with other values
  Write("planet.txt", Layout(p, 7, ",", "\n"));
  Write("latitude.txt", Layout({latitude_.begin(), latitude_.end() - 1}, 5, ",", "\n"));
  EXPECT_THROW(m.LoadTables(dir_), DataFileError);
  EXPECT_TRUE(SameTables(m, reference_));

  Module2 fresh;
  EXPECT_THROW(fresh.LoadTables(dir_), DataFileError);
  EXPECT_EQ(fresh.StemNames[0], "");
  EXPECT_EQ(fresh.PlanetTermValues[1][0], 0.0);
}

TEST_F(DataFiles, DataDirectoryPrefersTheExecutablesOwn) {
  const fs::path bin = dir_ / "prefix" / "bin";
  const fs::path share = dir_ / "prefix" / "share" / "torvela";
  fs::create_directories(bin);
  fs::create_directories(share);
  EXPECT_EQ(DataDirectory(bin), bin);
  std::ofstream(share / "planet.txt") << "1";
  EXPECT_TRUE(fs::equivalent(DataDirectory(bin), share));
  std::ofstream(bin / "planet.txt") << "1";
  EXPECT_EQ(DataDirectory(bin), bin);
}

}  // namespace
}  // namespace torvela
