// Data files as they may turn up on a user's disk: damaged, converted by an
// editor, huge, or not files at all. Each either loads or stops with an error
// naming the file, the record and the field, in a message that displays.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "calc/Module2.h"

namespace torvela {
namespace {

namespace fs = std::filesystem;

std::string ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The shipped file's values, in order.
std::vector<std::string> Values(const std::string& text) {
  std::vector<std::string> out;
  std::string v;
  for (char c : text) {
    if (c == ',' || c == '\n') {
      if (!v.empty()) out.push_back(v);
      v.clear();
    } else {
      v += c;
    }
  }
  if (!v.empty()) out.push_back(v);
  return out;
}

std::string Join(const std::vector<std::string>& values, std::size_t perLine,
                 const std::string& sep = ",", const std::string& eol = "\n") {
  std::string out;
  for (std::size_t i = 0; i < values.size(); ++i)
    out += values[i] + ((i + 1) % perLine == 0 ? eol : sep);
  return out;
}

bool ValidUtf8(const std::string& s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t len = c < 0x80 ? 1 : c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3
                            : c >= 0xF0 && c <= 0xF4                ? 4 : 0;
    if (len == 0 || i + len > s.size()) return false;
    for (std::size_t k = 1; k < len; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    const auto c1 = static_cast<unsigned char>(s[i + 1 < s.size() ? i + 1 : i]);
    if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0) || (c == 0xF0 && c1 < 0x90) ||
        (c == 0xF4 && c1 >= 0x90))
      return false;  // overlong, surrogate, beyond U+10FFFF
    i += len;
  }
  return true;
}

// Bytes read by this process so far (Linux), or -1.
long long BytesRead() {
  std::ifstream io("/proc/self/io");
  std::string key;
  long long value;
  while (io >> key >> value)
    if (key == "rchar:") return value;
  return -1;
}

struct Outcome {
  bool loaded = false;
  std::string file, what;
  int record = 0, field = 0;
};

bool operator==(const Outcome& a, const Outcome& b) {
  return a.loaded == b.loaded && a.file == b.file && a.record == b.record &&
         a.field == b.field && a.what == b.what;
}

template <typename Load>
Outcome Try(Module2& m, Load load) {
  Outcome o;
  try {
    load(m);
    o.loaded = true;
  } catch (const DataFileError& e) {
    o.file = e.file();
    o.what = e.what();
    o.record = e.record();
    o.field = e.field();
  }
  return o;
}

class HostileFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("torvela-hostile-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    planetText_ = ReadWhole(fs::path(TORVELA_TEST_BIN_DIR) / "planet.txt");
    latitudeText_ = ReadWhole(fs::path(TORVELA_TEST_BIN_DIR) / "latitude.txt");
    planet_ = Values(planetText_);
    ASSERT_EQ(planet_.size(), 840u);
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }
  // The planet values with one replaced, seven to a line.
  std::string PlanetWith(std::size_t index, const std::string& text) {
    std::vector<std::string> p = planet_;
    p[index] = text;
    return Join(p, 7);
  }

  fs::path dir_;
  std::string planetText_, latitudeText_;
  std::vector<std::string> planet_;
};

TEST_F(HostileFiles, ContentsLoadOrNameRecordAndField) {
  std::mt19937 random(20240601);
  std::string garbage(4096, '\0');
  for (char& c : garbage) c = static_cast<char>(random() & 0xFF);
  std::string utf16 = "\xFF\xFE";
  for (char c : planetText_) utf16 += std::string{c, '\0'};
  std::string nuls;
  for (const auto& v : planet_) nuls += v + '\0';
  std::string kanji;
  for (int i = 0; i < 40; ++i) kanji += "数";

  struct Case {
    const char* what;
    std::string planet;
    int record, field;     // 0, 0: loads; record -1: fails anywhere
    const char* message;   // part of the error
  } const cases[] = {
      {"binary garbage", garbage, -1, 0, ""},
      {"NUL bytes between values", nuls, 1, 1, "数値ではありません"},
      {"UTF-16 with byte order mark", utf16, 1, 1, "数値ではありません"},
      {"byte order mark only", "\xEF\xBB\xBF", 1, 1, "ファイルが終わっています"},
      {"blanks and line ends only", " \r\n\t\n\n", 1, 1, "ファイルが終わっています"},
      {"comma first", "," + Join(planet_, 7), 1, 1, "空"},
      {"CR line ends", Join(planet_, 7, ",", "\r"), 0, 0, ""},
      {"form feeds and vertical tabs", Join(planet_, 7, "\f", "\v"), 0, 0, ""},
      {"-0 as a planet number", PlanetWith(0, "-0"), 1, 1, "惑星番号 -0"},
      {"70000 as a planet number", PlanetWith(7 * 9, "70000"), 10, 1, "-32768〜32767"},
      {"32767.5 rounds past the range", PlanetWith(1, "32767.5"), 1, 2, "-32768〜32767"},
      {"-32768.4 rounds into it", PlanetWith(2, "-32768.4"), 0, 0, ""},
      {"underflow", PlanetWith(4, "1e-400"), 1, 5, "扱えません"},
      {"exponent without digits", PlanetWith(4, "5e"), 1, 5, "数値ではありません"},
      {"letters inside", PlanetWith(11, "12a3"), 2, 5, "数値ではありません（\"12a3\"）"},
      {"full-width digits", PlanetWith(12, "１２"), 2, 6, "（\"１２\"）"},
      {"overlong UTF-8", PlanetWith(13, "2\xC1\xA2"), 2, 7, "（\"2??\"）"},
      {"UTF-16 surrogate in UTF-8", PlanetWith(13, "\xED\xA0\x80"), 2, 7, "（\"???\"）"},
      {"long run of kanji", PlanetWith(20, kanji), 3, 7, "数数数…\"）"},
  };
  Module2 reference;
  reference.LoadTables(TORVELA_TEST_BIN_DIR);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // The text reader and the file reader agree on everything.
    Module2 fromText = reference, fromFile;
    const Outcome text = Try(fromText, [&](Module2& m) {
      m.LoadTablesFromText(c.planet, latitudeText_);
    });
    Write("planet.txt", c.planet);
    Write("latitude.txt", latitudeText_);
    const Outcome file = Try(fromFile, [&](Module2& m) { m.LoadTables(dir_); });
    EXPECT_TRUE(text == file) << text.what << "\n" << file.what;

    if (c.record == 0) {
      EXPECT_TRUE(file.loaded) << file.what;
      EXPECT_EQ(fromText.PlanetTermValues, fromFile.PlanetTermValues);
      continue;
    }
    ASSERT_FALSE(file.loaded);
    EXPECT_EQ(file.file, "planet.txt");
    EXPECT_TRUE(ValidUtf8(file.what)) << file.what;
    EXPECT_LT(file.what.size(), 400u);
    EXPECT_NE(file.what.find("データファイル planet.txt の第 " + std::to_string(file.record) +
                             " レコード第 " + std::to_string(file.field) + " 項目"),
              std::string::npos)
        << file.what;
    EXPECT_NE(file.what.find(c.message), std::string::npos) << file.what;
    if (c.record > 0) {
      EXPECT_EQ(file.record, c.record) << file.what;
      EXPECT_EQ(file.field, c.field) << file.what;
    }
    // A failed load leaves the tables it had.
    EXPECT_EQ(fromText.PlanetTermValues, reference.PlanetTermValues);
  }
}

TEST_F(HostileFiles, SignedZeroAndFreeFormValues) {
  std::vector<std::string> p = planet_;
  p[1] = "-0";      // multiplier j
  p[3] = "-0";      // longitude amplitude
  p[4] = "1E-2";    // exponent
  p[5] = ".5";      // no integer digits
  p[6] = "+335.";   // plus sign, no decimals
  p[7 + 3] = "2.5e1";
  Module2 m;
  ASSERT_NO_THROW(m.LoadTablesFromText(Join(p, 7), latitudeText_));
  EXPECT_EQ(m.PlanetTermKeys[1][1], 0);
  EXPECT_EQ(m.PlanetTermValues[1][0], 0.0);
  EXPECT_TRUE(std::signbit(m.PlanetTermValues[1][0]));
  EXPECT_EQ(m.PlanetTermValues[1][1], 0.01);
  EXPECT_EQ(m.PlanetTermValues[1][2], 0.5);
  EXPECT_EQ(m.PlanetTermValues[1][3], 335.0);
  EXPECT_EQ(m.PlanetTermValues[2][0], 25.0);
}

TEST_F(HostileFiles, ThingsThatAreNotDataFiles) {
  Write("latitude.txt", latitudeText_);
  struct Case {
    const char* what;
    std::function<void(const fs::path&)> make;
    const char* message;
  } const cases[] = {
      // Opening a pipe or a device would block or never end.
      {"a named pipe", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
       "通常のファイルではありません"},
      {"a link to /dev/zero", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); },
       "通常のファイルではありません"},
      {"a dangling link", [](const fs::path& p) { fs::create_symlink("no-such-file", p); },
       "見つかりません"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(dir_ / "planet.txt");
    c.make(dir_ / "planet.txt");
    Module2 m;
    const Outcome o = Try(m, [&](Module2& mod) { mod.LoadTables(dir_); });
    ASSERT_FALSE(o.loaded);
    EXPECT_EQ(o.file, "planet.txt");
    EXPECT_EQ(o.record, 0);
    EXPECT_NE(o.what.find(c.message), std::string::npos) << o.what;
  }
  // A link to a good file is as good as the file.
  fs::remove(dir_ / "planet.txt");
  Write("real-planet.txt", planetText_);
  fs::create_symlink("real-planet.txt", dir_ / "planet.txt");
  Module2 m;
  EXPECT_NO_THROW(m.LoadTables(dir_));
}

// The reader stops after the values it needs: a 100 MB file costs what a
// small one does. Measured as bytes actually read, not as time.
TEST_F(HostileFiles, HundredMegabytesAreNotReadThrough) {
  constexpr std::uintmax_t kSize = 100u << 20;
  Write("latitude.txt", latitudeText_);
  {
    std::ofstream out(dir_ / "planet.txt", std::ios::binary);
    out << planetText_;
    std::string block;
    while (block.size() < (1u << 20)) block += "1,-1,1,0.013,243,28,335\n";
    for (std::uintmax_t written = planetText_.size(); written < kSize; written += block.size())
      out << block;
  }
  ASSERT_GE(fs::file_size(dir_ / "planet.txt"), kSize);

  Module2 m;
  const long long before = BytesRead();
  const auto start = std::chrono::steady_clock::now();
  ASSERT_NO_THROW(m.LoadTables(dir_));
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
  const long long read = BytesRead() - before;
  RecordProperty("load_ms", static_cast<int>(ms));
  RecordProperty("bytes_read", static_cast<int>(read));
  if (before >= 0) {
    EXPECT_LT(read, 1 << 20) << read << " bytes read";
  }

  // 100 MB of NUL bytes (a sparse file): one runaway token, cut short.
  {
    std::ofstream(dir_ / "planet.txt", std::ios::binary | std::ios::trunc);
  }
  fs::resize_file(dir_ / "planet.txt", kSize);
  const long long before2 = BytesRead();
  const Outcome o = Try(m, [&](Module2& mod) { mod.LoadTables(dir_); });
  EXPECT_FALSE(o.loaded);
  EXPECT_EQ(o.record, 1);
  EXPECT_EQ(o.field, 1);
  if (before2 >= 0) {
    EXPECT_LT(BytesRead() - before2, 1 << 20);
  }
}

}  // namespace
}  // namespace torvela
