// The data files as they may turn up on a user's disk: reformatted, damaged,
// huge, or not files at all. Each loads, or stops with a displayable error
// naming file, record and field and leaves the tables as they were.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "calc/Module2.h"

namespace torvela {
namespace {

namespace fs = std::filesystem;

std::string ReadWhole(const fs::path& path) {
  return (std::ostringstream() << std::ifstream(path, std::ios::binary).rdbuf()).str();
}

// Values `perLine` to a line, joined by `sep`, each line ended by `eol`.
std::string Join(const std::vector<std::string>& values, std::size_t perLine,
                 const std::string& sep = ",", const std::string& eol = "\n") {
  std::string out;
  for (std::size_t i = 0; i < values.size(); ++i)
    out += values[i] + ((i + 1) % perLine == 0 || i + 1 == values.size() ? eol : sep);
  return out;
}

bool ValidUtf8(const std::string& s) {
  for (std::size_t i = 0, len; i < s.size(); i += len) {
    const auto c = static_cast<unsigned char>(s[i]);
    const auto c1 = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
    len = c < 0x80 ? 1 : c < 0xC2 ? 0 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF5 ? 4 : 0;
    if (len == 0 || i + len > s.size()) return false;
    for (std::size_t k = 1; k < len; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    // Overlong, surrogate, beyond U+10FFFF.
    if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0) || (c == 0xF0 && c1 < 0x90) ||
        (c == 0xF4 && c1 >= 0x90))
      return false;
  }
  return true;
}

// Bytes read by this process so far (Linux), or -1 throughout.
long long BytesRead() {
  std::ifstream io("/proc/self/io");
  std::string key;
  for (long long value; io >> key >> value;)
    if (key == "rchar:") return value;
  return -1;
}

bool SameTables(const Tables& a, const Tables& b) {
  const auto all = [](const Tables& t) {
    return std::tie(t.PlanetTermKeys, t.PlanetTermValues, t.LatitudeTermKeys, t.LatitudeTermValues,
                    t.StemNames, t.BranchNames, t.WeekdayNames);
  };
  return all(a) == all(b);
}

// "" when it loads, else "file|record|field|message".
std::string Try(const std::function<void()>& load) {
  try {
    load();
    return "";
  } catch (const DataFileError& e) {
    return e.file() + "|" + std::to_string(e.record()) + "|" + std::to_string(e.field()) + "|" +
           e.what();
  }
}

// The shipped files, as texts and as values; a scratch directory per test.
class DataFiles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    planetText_ = ReadWhole(fs::path(TORVELA_TEST_BIN_DIR) / "planet.txt");
    latitudeText_ = ReadWhole(fs::path(TORVELA_TEST_BIN_DIR) / "latitude.txt");
    for (auto [text, values] : {std::pair(planetText_, &planet_), {latitudeText_, &latitude_}}) {
      std::replace(text.begin(), text.end(), '\n', ',');
      std::istringstream in(text);
      for (std::string v; std::getline(in, v, ',');) values->push_back(v);
    }
    reference_ = LoadTables(TORVELA_TEST_BIN_DIR);
  }
  void SetUp() override {
    ASSERT_TRUE(planet_.size() == 840u && latitude_.size() == 170u);
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Write(const std::string& name, const std::string& s) { std::ofstream(dir_ / name) << s; }
  // The shipped values with value i replaced, as many to a line as the file has.
  static std::string P(std::size_t i, const std::string& t) { return With(planet_, 7, i, t); }
  static std::string L(std::size_t i, const std::string& t) { return With(latitude_, 5, i, t); }
  static std::string With(std::vector<std::string> v, std::size_t perLine, std::size_t i,
                          const std::string& text) {
    v[i] = text;
    return Join(v, perLine);
  }

  const fs::path dir_ = fs::temp_directory_path() / ("torvela-calc-" + std::to_string(::getpid()));
  static inline std::string planetText_, latitudeText_;
  static inline std::vector<std::string> planet_, latitude_;
  static inline Tables reference_;
};

TEST_F(DataFiles, ShippedTablesAndNames) {
  const Tables& m = reference_;
  EXPECT_EQ(m.StemNames[0] + m.StemNames[1] + m.StemNames[10] + m.BranchNames[0] +
                m.BranchNames[1] + m.BranchNames[12] + m.WeekdayNames[1] + m.WeekdayNames[7],
            "□甲癸□子亥日土");
  EXPECT_EQ(m.PlanetTermKeys[1], (std::array<std::int16_t, 3>{1, -1, 1}));
  EXPECT_EQ(m.PlanetTermValues[1], (std::array<double, 4>{0.013, 243, 28, 335}));
  EXPECT_EQ(m.LatitudeTermKeys[1], (std::array<std::int16_t, 3>{2, -1, 0}));
  EXPECT_EQ(m.LatitudeTermValues[LatitudeTermCount][1], std::stod(latitude_.back()));
  EXPECT_EQ(m.PlanetTermValues[PlanetTermCount][3], std::stod(planet_.back()));
}

constexpr int kSame = 0;       // loads the shipped tables
constexpr int kOther = -2;     // loads, with other values
constexpr int kAnywhere = -1;  // fails, at whatever record

// Every case goes through the file reader and the in-memory reader alike.
TEST_F(DataFiles, ContentsLoadOrNameRecordAndField) {
  std::mt19937 random(20240601);
  std::string garbage(4096, '\0'), utf16 = "\xFF\xFE", kanji;
  for (char& c : garbage) c = static_cast<char>(random() & 0xFF);
  for (char c : planetText_) utf16 += std::string{c, '\0'};
  for (int i = 0; i < 40; ++i) kanji += "数";
  const std::string bom = "\xEF\xBB\xBF", lat = latitudeText_;
  const std::vector<std::string> p119(planet_.begin(), planet_.end() - 7),
      p2to120(planet_.begin() + 7, planet_.end()), lat2(latitude_.begin(), latitude_.end() - 2),
      lat1(latitude_.begin(), latitude_.end() - 1);

  struct Case {
    const char* what;
    std::string planet, latitude;
    int record, field = 0;     // or kSame, kOther, kAnywhere
    const char* message = "";  // part of the error
    std::string file = "planet.txt";
  } const cases[] = {
      {"one per line, CRLF", Join(planet_, 1), Join(latitude_, 1, ",", "\r\n"), kSame},
      {"blanks by commas, CR", Join(planet_, 7, ", ", "\r"), Join(latitude_, 5, " ,"), kSame},
      {"blanks, tabs, FF, VT", Join(planet_, 7, "   ", "\f"), Join(latitude_, 3, "\t", "\v"), kSame},
      {"byte order mark, trailing comma", bom + Join(planet_, 7, ",", ",\n"), bom + lat, kSame},
      {"one long line", "  \n\n" + Join(planet_, 10000, " ", ""), lat, kSame},
      {"121 records, then text", planetText_ + "1,1,1,1,2,3,4,x\n" + std::string(1 << 20, '\x01'),
       lat + "end of table\n", kSame},
      // Keys round half away from zero; numbers in any decimal form.
      {"free-form numbers", "1.4,-0.5,+1.,1.3E-2,2430e-1,.28e2,+335.\n" + Join(p2to120, 7), lat, kSame},
      {"-32768.4 rounds into range", P(2, "-32768.4"), lat, kOther},
      {"-0 as a value", P(3, "-0"), lat, kOther},
      {"empty file", "", lat, 1, 1, "ファイルが終わっています"},
      {"planet 70000", P(0, "70000"), lat, 1, 1, "-32768〜32767"},
      {"binary garbage", garbage, lat, kAnywhere},
      {"UTF-16 with byte order mark", utf16, lat, 1, 1, "数値ではありません"},
      {"byte order mark only", bom, lat, 1, 1, "ファイルが終わっています"},
      {"119 records", Join(p119, 7), lat, 120, 1, "840 個のうち 833 個しかありません"},
      {"latitude short", planetText_, Join(lat2, 5), 34, 4, "終わっています", "latitude.txt"},
      {"empty value", P(19, ""), lat, 3, 6, "空"},
      {"letters", P(36 * 7 + 3, "abc"), lat, 37, 4, "数値ではありません（\"abc\"）"},
      {"letters inside", P(11, "12a3"), lat, 2, 5, "数値ではありません（\"12a3\"）"},
      {"NaN", P(0, "NaN"), lat, 1, 1, "数値ではありません"},
      {"inf", P(5, "inf"), lat, 1, 6, "数値ではありません"},
      {"two signs", P(12, "++1"), lat, 2, 6, "数値ではありません"},
      {"overflow", P(10, "1e400"), lat, 2, 4, "扱えません（\"1e400\"）"},
      {"underflow", P(4, "1e-400"), lat, 1, 5, "扱えません"},
      {"500 digits", P(14, std::string(500, '7')), lat, 3, 1, "数値ではありません"},
      {"-32768.6", P(16, "-32768.6"), lat, 3, 3, "-32768〜32767"},
      {"32767.5 rounds past the range", P(1, "32767.5"), lat, 1, 2, "-32768〜32767"},
      {"planet 7", P(7 * 119, "7"), lat, 120, 1, "惑星番号 7 が範囲 1〜6"},
      {"planet 0", P(7 * 5, "0"), lat, 6, 1, "惑星番号 0"},
      {"latitude planet -1", planetText_, L(5 * 33, "-1"), 34, 1, "惑星番号 -1", "latitude.txt"},
      {"control bytes", planetText_, L(5 * 2 + 4, "\x01\xFF"), 3, 5, "（\"??\"）", "latitude.txt"},
      {"overlong UTF-8", P(13, "2\xC1\xA2"), lat, 2, 7, "（\"2??\"）"},
      {"surrogate in UTF-8", P(13, "\xED\xA0\x80"), lat, 2, 7, "（\"???\"）"},
      {"long run of kanji", P(20, kanji), lat, 3, 7, "数数数…\"）"},
      // The planet file reads well; the latitude file must not half-load it.
      {"good planet, bad latitude", P(3, "99.5"), Join(lat1, 5), 34, 5, "終わっ", "latitude.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Tables fromText = reference_;
    Module2 fromFile;
    const std::string text = Try([&] { fromText = LoadTablesFromText(c.planet, c.latitude); });
    Write("planet.txt", c.planet);
    Write("latitude.txt", c.latitude);
    const std::string file = Try([&] { fromFile.LoadTables(dir_); });
    EXPECT_EQ(text, file);
    if (c.record == kSame || c.record == kOther) {
      EXPECT_TRUE(file == "" && SameTables(fromText, fromFile.tables())) << file;
      EXPECT_EQ(SameTables(fromFile.tables(), reference_), c.record == kSame);
      continue;
    }
    const std::string r = std::to_string(c.record), f = std::to_string(c.field);
    const std::string at =
        r + "|" + f + "|データファイル " + c.file + " の第 " + r + " レコード第 " + f + " 項目";
    EXPECT_EQ(file.rfind(c.file + "|" + (c.record == kAnywhere ? "" : at), 0), 0u) << file;
    EXPECT_TRUE(file.find(c.message) != file.npos && ValidUtf8(file) && file.size() < 400) << file;
    // Neither reader changed its tables.
    EXPECT_TRUE(SameTables(fromText, reference_) && SameTables(fromFile.tables(), NameTables()));
  }
}

TEST_F(DataFiles, ThingsThatAreNotDataFiles) {
  const auto fails = [&](const std::string& file, const char* message) {
    Module2 m;
    const std::string o = Try([&] { m.LoadTables(dir_); });
    EXPECT_TRUE(o.rfind(file + "|0|0|", 0) == 0 && o.find(message) != o.npos &&
                o.find((dir_ / file).string()) != o.npos) << o;
    fs::remove(dir_ / file);
  };
  Write("planet.txt", planetText_);
  fails("latitude.txt", "latitude.txt が見つかりません");
  fs::create_directory(dir_ / "latitude.txt");
  fails("latitude.txt", "通常のファイルではありません");
  Write("latitude.txt", latitudeText_);
  fs::remove(dir_ / "planet.txt");
  // Opening a pipe or a device would block or never end.
  ASSERT_EQ(::mkfifo((dir_ / "planet.txt").c_str(), 0600), 0);
  fails("planet.txt", "通常のファイルではありません");
  fs::create_symlink("/dev/zero", dir_ / "planet.txt");
  fails("planet.txt", "通常のファイルではありません");
  if (::geteuid() != 0) {  // permissions do not bind root
    Write("planet.txt", planetText_);
    fs::permissions(dir_ / "planet.txt", fs::perms::none);
    fails("planet.txt", "planet.txt を開けません");
  }
}

// The reader stops after the values it needs: a 100 MB file costs what a
// small one does. Measured as bytes actually read, not as time. The files
// are sparse: the shipped values, then NUL bytes to 100 MB; and NUL bytes
// alone, one runaway token that must be cut short.
TEST_F(DataFiles, HundredMegabytesAreNotReadThrough) {
  Write("latitude.txt", latitudeText_);
  for (const std::string& head : {planetText_, std::string()}) {
    std::ofstream(dir_ / "planet.txt", std::ios::binary | std::ios::trunc) << head;
    fs::resize_file(dir_ / "planet.txt", 100u << 20);
    Module2 m;
    const long long before = BytesRead();
    const std::string error = Try([&] { m.LoadTables(dir_); });
    EXPECT_EQ(error.substr(0, 15), head.empty() ? "planet.txt|1|1|" : "");
    EXPECT_LT(BytesRead() - before, 1 << 20);  // 0 where it cannot be measured
  }
}

TEST_F(DataFiles, DataDirectoryPrefersTheExecutablesOwn) {
  // The installed layout as configured (bin/ and share/torvela/ by default).
  const fs::path bin = dir_ / "prefix" / "bin", share = bin / TORVELA_DATA_FROM_BINDIR;
  fs::create_directories(bin), fs::create_directories(share);
  EXPECT_EQ(DataDirectory(bin), bin);
  std::ofstream(share / "planet.txt") << "1";
  EXPECT_TRUE(fs::equivalent(DataDirectory(bin), share));
  std::ofstream(bin / "planet.txt") << "1";
  EXPECT_EQ(DataDirectory(bin), bin);
}

}  // namespace
}  // namespace torvela
