// The name tables and the two data files of planetary perturbation terms.
// The files are free-format number lists: a number ends at a comma, blanks
// or a line end, and record boundaries play no part. Only the values needed
// are read; whatever follows them is ignored.
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "calc/Module2.h"

namespace torvela {

DataFileError::DataFileError(std::string file, int record, int field, const std::string& message)
    : std::runtime_error(message), file_(std::move(file)), record_(record), field_(field) {}

namespace {

// Longest token kept; no sensible number is this long, and a runaway token
// (a binary file, a file without separators) must not be read to its end.
constexpr std::size_t kMaxToken = 100;

bool IsBlank(int c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// A token as it may be quoted in a message: at most 24 characters of valid
// UTF-8, control bytes and broken sequences shown as '?'.
std::string Excerpt(const std::string& token, bool cut) {
  std::string out;
  std::size_t i = 0;
  int shown = 0;
  while (i < token.size() && shown < 24) {
    const auto c = static_cast<unsigned char>(token[i]);
    std::size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    bool ok = len > 0 && i + len <= token.size();
    std::uint32_t cp = len == 1 ? c : len == 2 ? c & 0x1F : len == 3 ? c & 0x0F : c & 0x07;
    for (std::size_t k = 1; ok && k < len; ++k) {
      const auto d = static_cast<unsigned char>(token[i + k]);
      ok = (d & 0xC0) == 0x80;
      cp = (cp << 6) | (d & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8
    // either, and would garble the message.
    static constexpr std::uint32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    ok = ok && cp >= kShortest[len] && (cp < 0xD800 || cp > 0xDFFF) && cp <= 0x10FFFF;
    if (!ok || c < 0x20 || c == 0x7F) {
      out += '?';
      i += 1;
    } else {
      out.append(token, i, len);
      i += len;
    }
    ++shown;
  }
  if (cut || i < token.size()) out += "…";
  return out;
}

class NumberFile {
 public:
  NumberFile(const std::filesystem::path& path, std::string name) : name_(std::move(name)) {
    std::error_code ec;
    const auto st = std::filesystem::status(path, ec);
    const std::string where = "（" + path.string() + "）。";
    if (st.type() == std::filesystem::file_type::not_found) {
      throw DataFileError(name_, 0, 0, "データファイル " + name_ + " が見つかりません" + where);
    }
    if (ec || !std::filesystem::is_regular_file(st)) {
      const std::string what = ec ? " を調べられません" : " が通常のファイルではありません";
      throw DataFileError(name_, 0, 0, "データファイル " + name_ + what + where);
    }
    file_.reset(std::fopen(path.c_str(), "rb"));
    if (!file_) {
      throw DataFileError(name_, 0, 0, "データファイル " + name_ + " を開けません" + where);
    }
    SkipByteOrderMark();
  }

  // The same reader over text already in memory.
  NumberFile(std::string_view text, std::string name) : name_(std::move(name)), text_(text) {
    SkipByteOrderMark();
  }

  // Reads `fields` numbers for each of `records` records. Fields listed in
  // isInteger are rounded half away from zero and must fit 16 bits; field 1
  // of every record is a planet number, 1..6.
  template <std::size_t N>
  std::vector<std::array<double, N>> ReadRecords(int records, int integerFields) {
    std::vector<std::array<double, N>> rows(static_cast<std::size_t>(records));
    for (int r = 1; r <= records; ++r) {
      for (int f = 1; f <= static_cast<int>(N); ++f) {
        rows[static_cast<std::size_t>(r - 1)][static_cast<std::size_t>(f - 1)] =
            ReadValue(r, f, f <= integerFields, records * static_cast<int>(N));
      }
    }
    return rows;
  }

 private:
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };

  // A UTF-8 byte order mark at the start is not part of the first number.
  void SkipByteOrderMark() {
    const int b0 = Get();
    if (b0 == 0xEF) {
      const int b1 = Get();
      const int b2 = b1 == 0xBB ? Get() : EOF;
      if (!(b1 == 0xBB && b2 == 0xBF)) {
        if (b2 != EOF) Unget(b2);
        if (b1 != EOF) Unget(b1);
        Unget(b0);
      }
    } else if (b0 != EOF) {
      Unget(b0);
    }
  }

  int Get() {
    if (!pushed_.empty()) {
      const int c = pushed_.back();
      pushed_.pop_back();
      return c;
    }
    if (file_) return std::getc(file_.get());
    return pos_ < text_.size() ? static_cast<unsigned char>(text_[pos_++]) : EOF;
  }
  void Unget(int c) { pushed_.push_back(c); }

  std::string Where(int record, int field) const {
    return "データファイル " + name_ + " の第 " + std::to_string(record) + " レコード第 " +
           std::to_string(field) + " 項目";
  }

  [[noreturn]] void Fail(int record, int field, const std::string& what) const {
    throw DataFileError(name_, record, field, Where(record, field) + what);
  }

  void CheckReadError(int record, int field) const {
    if (file_ && std::ferror(file_.get())) Fail(record, field, "を読み込む途中でエラーが発生しました。");
  }

  double ReadValue(int record, int field, bool integer, int needed) {
    int c = Get();
    while (IsBlank(c)) c = Get();
    if (c == EOF) {
      CheckReadError(record, field);
      Fail(record, field,
           "を読もうとしましたが、ファイルが終わっています（必要な値 " + std::to_string(needed) +
               " 個のうち " + std::to_string(valuesRead_) + " 個しかありません）。");
    }
    if (c == ',') Fail(record, field, "が空です（コンマが続いています）。");

    std::string token;
    bool cut = false;
    while (c != EOF && c != ',' && !IsBlank(c)) {
      if (token.size() == kMaxToken) {
        cut = true;
        break;
      }
      token += static_cast<char>(c);
      c = Get();
    }
    CheckReadError(record, field);
    if (cut) Fail(record, field, "が数値ではありません（\"" + Excerpt(token, true) + "\"）。");
    // The separator: blanks and line ends, with at most one comma among them.
    while (IsBlank(c)) c = Get();
    if (c != ',' && c != EOF) Unget(c);

    const double v = ParseNumber(token, record, field);
    ++valuesRead_;
    if (!integer) return v;
    const double rounded = std::round(v);
    if (rounded < -32768 || rounded > 32767) {
      Fail(record, field, "の値 " + Excerpt(token, false) +
                              " が整数の範囲（-32768〜32767）を超えています。");
    }
    if (field == 1 && (rounded < 1 || rounded > 6)) {
      Fail(record, field, "の惑星番号 " + Excerpt(token, false) + " が範囲 1〜6 にありません。");
    }
    return rounded;
  }

  double ParseNumber(const std::string& token, int record, int field) const {
    const char* first = token.data();
    const char* last = first + token.size();
    // from_chars takes no leading plus; a second sign after it stays invalid.
    if (first != last && *first == '+' && last - first > 1 && first[1] != '-' && first[1] != '+') {
      ++first;
    }
    double v = 0;
    const auto res = std::from_chars(first, last, v, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range && res.ptr == last) {
      Fail(record, field,
           "の数値が大きすぎるか小さすぎて扱えません（\"" + Excerpt(token, false) + "\"）。");
    }
    if (res.ec != std::errc() || res.ptr != last || !std::isfinite(v)) {
      Fail(record, field, "が数値ではありません（\"" + Excerpt(token, false) + "\"）。");
    }
    return v;
  }

  std::string name_;
  std::unique_ptr<std::FILE, Closer> file_;  // null when reading text_
  std::string_view text_;
  std::size_t pos_ = 0;
  std::vector<int> pushed_;
  int valuesRead_ = 0;
};

}  // namespace

// TORVELA_DATA_FROM_BINDIR is the install's data folder relative to its
// program folder, set by the build from the configured install directories.
std::filesystem::path DataDirectory(const std::filesystem::path& exeDir) {
  std::error_code ec;
  if (std::filesystem::is_regular_file(exeDir / "planet.txt", ec)) return exeDir;
  const auto installed = (exeDir / TORVELA_DATA_FROM_BINDIR).lexically_normal();
  if (std::filesystem::is_regular_file(installed / "planet.txt", ec)) return installed;
  return exeDir;
}

Tables NameTables() {
  Tables t;
  t.StemNames = {"□", "甲", "乙", "丙", "丁", "戊", "己", "庚", "辛", "壬", "癸"};
  t.BranchNames = {"□", "子", "丑", "寅", "卯", "辰", "巳", "午", "未", "申", "酉", "戌", "亥"};
  t.WeekdayNames = {"", "日", "月", "火", "水", "木", "金", "土"};
  return t;
}

namespace {

Tables StoreTables(const std::vector<std::array<double, 7>>& planet,
                   const std::vector<std::array<double, 5>>& latitude) {
  Tables t = NameTables();
  for (int i = 1; i <= PlanetTermCount; ++i) {
    const auto& row = planet[static_cast<std::size_t>(i - 1)];
    for (int f = 0; f < 3; ++f) t.PlanetTermKeys[i][f] = static_cast<std::int16_t>(row[f]);
    for (int f = 0; f < 4; ++f) t.PlanetTermValues[i][f] = row[3 + f];
  }
  for (int i = 1; i <= LatitudeTermCount; ++i) {
    const auto& row = latitude[static_cast<std::size_t>(i - 1)];
    for (int f = 0; f < 3; ++f) t.LatitudeTermKeys[i][f] = static_cast<std::int16_t>(row[f]);
    for (int f = 0; f < 2; ++f) t.LatitudeTermValues[i][f] = row[3 + f];
  }
  return t;
}

}  // namespace

Tables LoadTables(const std::filesystem::path& directory) {
  const auto planet =
      NumberFile(directory / "planet.txt", "planet.txt").ReadRecords<7>(PlanetTermCount, 3);
  const auto latitude =
      NumberFile(directory / "latitude.txt", "latitude.txt").ReadRecords<5>(LatitudeTermCount, 3);
  return StoreTables(planet, latitude);
}

Tables LoadTablesFromText(std::string_view planetText, std::string_view latitudeText) {
  const auto planet = NumberFile(planetText, "planet.txt").ReadRecords<7>(PlanetTermCount, 3);
  const auto latitude =
      NumberFile(latitudeText, "latitude.txt").ReadRecords<5>(LatitudeTermCount, 3);
  return StoreTables(planet, latitude);
}

// Both files are read before anything is replaced, so a failure leaves the
// tables as they were.
void Module2::LoadTables(const std::filesystem::path& directory) {
  tables_ = torvela::LoadTables(directory);
}

}  // namespace torvela
