// Reading places.txt and searching it. The file is read whole and checked
// line by line before anything is kept; the search keys are folded once here,
// so a keystroke's search is plain comparisons of UTF-16 strings.
#include "place/Gazetteer.h"

#include <QString>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <system_error>
#include <utility>

#include "calc/Module2.h"
#include "place/Prefectures.h"
#include "place/TextFold.h"

namespace torvela::place {

namespace {

namespace fs = std::filesystem;

// Far more than the gazetteer needs (about 150 kB); a larger file is not one.
constexpr std::uintmax_t kMaxFileBytes = 8u << 20;
constexpr std::size_t kMaxFieldBytes = 200;
constexpr int kFieldCount = 7;
constexpr std::array<const char*, kFieldCount + 1> kFieldNames = {
    "", "団体コード", "都道府県", "名前", "読み", "ローマ字", "経度", "緯度"};

// Longitude and latitude of anywhere in Japan, outlying islands included.
constexpr double kMinLongitude = 122.0, kMaxLongitude = 154.0;
constexpr double kMinLatitude = 20.0, kMaxLatitude = 46.0;

QString ToQString(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::u16string Fold(std::string_view s) { return FoldText(ToQString(s)); }

// Length of the UTF-8 sequence at s[i], or 0 when it is not valid UTF-8
// (overlong forms, surrogates and code points past U+10FFFF included).
std::size_t Utf8Length(std::string_view s, std::size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  const std::size_t len = c < 0x80 ? 1 : c < 0xC2 ? 0 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF5 ? 4 : 0;
  if (len == 0 || i + len > s.size()) return 0;
  for (std::size_t k = 1; k < len; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  const auto c1 = static_cast<unsigned char>(s[i + 1 < s.size() ? i + 1 : i]);
  if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0) || (c == 0xF0 && c1 < 0x90) ||
      (c == 0xF4 && c1 >= 0x90))
    return 0;
  return len;
}

bool ValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t len = Utf8Length(s, i);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

// A field as quoted in a message: at most 24 characters of valid UTF-8.
std::string Excerpt(std::string_view s) {
  std::size_t i = 0;
  for (int shown = 0; i < s.size() && shown < 24; ++shown) i += std::max<std::size_t>(1, Utf8Length(s, i));
  return std::string(s.substr(0, i)) + (i < s.size() ? "…" : "");
}

std::vector<std::string_view> Split(std::string_view s, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t end = s.find(separator, start);
    parts.push_back(s.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

std::string Join(const std::vector<std::string_view>& parts) {
  std::string out;
  for (const auto part : parts) out += part;
  return out;
}

bool StartsWith(std::u16string_view s, std::u16string_view prefix) {
  return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

// Local-government code check digit (weights 6..2, modulus 11).
bool CheckDigitOk(std::string_view code) {
  int sum = 0;
  for (int i = 0; i < 5; ++i) sum += (code[static_cast<std::size_t>(i)] - '0') * (6 - i);
  return code[5] - '0' == (11 - sum % 11) % 10;
}

bool IsHiragana(char16_t c) { return (c >= u'ぁ' && c <= u'ゖ') || c == u'ゝ' || c == u'ゞ' || c == u'ー'; }

class LineReader {
 public:
  LineReader(std::string fileName, int line) : fileName_(std::move(fileName)), line_(line) {}

  [[noreturn]] void Fail(int field, const std::string& what) const {
    std::string where = "データファイル " + fileName_ + " の第 " + std::to_string(line_) + " 行";
    if (field > 0) where += "第 " + std::to_string(field) + " 項目（" + kFieldNames[static_cast<std::size_t>(field)] + "）";
    throw DataFileError(fileName_, line_, field, where + what);
  }

  double Number(std::string_view text, int field, double low, double high) const {
    double v = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::fixed);
    if (text.empty() || res.ec != std::errc() || res.ptr != text.data() + text.size() || !std::isfinite(v))
      Fail(field, "が数値ではありません（\"" + Excerpt(text) + "\"）。");
    if (v < low || v > high) {
      std::ostringstream range;
      range << low << "〜" << high;
      Fail(field, "の値 " + Excerpt(text) + " が日本の範囲（" + range.str() + "）にありません。");
    }
    return v;
  }

 private:
  std::string fileName_;
  int line_;
};

}  // namespace

// ---------------------------------------------------------------------------

// Search keys of one place, folded once at load.
struct PlaceKeys {
  std::u16string name;          // whole name, parts joined
  std::u16string localName;     // the last part; empty for a one-part name
  std::u16string qualified;     // prefecture and name
  std::u16string reading, localReading;
  std::u16string romaji, localRomaji;
  int prefecture = 0;  // 1..47
};

// The words that name a prefecture, folded: name, name without the suffix,
// reading with and without it, rōmaji with and without it.
struct PrefectureKeys {
  std::u16string name, stem, reading, fullReading, romaji, fullRomaji;
};

struct Gazetteer::Data {
  Data() {
    for (int n = 1; n <= 47; ++n) {
      const Prefecture& p = *PrefectureByNumber(n);
      const auto romajiKey = [](std::string_view s) { return *RomajiKey(QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()))); };
      prefectures[static_cast<std::size_t>(n)] = {
          FoldText(ToQString(p.name)), FoldText(ToQString(p.stem)), FoldText(ToQString(p.reading)),
          FoldText(ToQString(std::string(p.reading) + std::string(p.suffixReading))), romajiKey(p.romaji),
          romajiKey(std::string(p.romaji) + std::string(p.suffixRomaji))};
    }
  }
  std::vector<Place> places;
  std::vector<PlaceKeys> keys;
  std::array<PrefectureKeys, 48> prefectures;  // by number; 0 unused
};

Gazetteer::Gazetteer() : data_(std::make_unique<Data>()) {}
Gazetteer::~Gazetteer() = default;
Gazetteer::Gazetteer(Gazetteer&&) noexcept = default;
Gazetteer& Gazetteer::operator=(Gazetteer&&) noexcept = default;

bool Gazetteer::empty() const { return data_->places.empty(); }
const std::vector<Place>& Gazetteer::places() const { return data_->places; }

Gazetteer Gazetteer::Load(const fs::path& file) {
  const std::string name = file.filename().string();
  const std::string where = "（" + file.string() + "）。";
  std::error_code ec;
  const auto st = fs::status(file, ec);
  if (st.type() == fs::file_type::not_found)
    throw DataFileError(name, 0, 0, "データファイル " + name + " が見つかりません" + where);
  if (ec || !fs::is_regular_file(st)) {
    const std::string what = ec ? " を調べられません" : " が通常のファイルではありません";
    throw DataFileError(name, 0, 0, "データファイル " + name + what + where);
  }
  const auto size = fs::file_size(file, ec);
  if (ec) throw DataFileError(name, 0, 0, "データファイル " + name + " を調べられません" + where);
  if (size > kMaxFileBytes)
    throw DataFileError(name, 0, 0, "データファイル " + name + " が大きすぎます" + where);
  std::ifstream in(file, std::ios::binary);
  if (!in) throw DataFileError(name, 0, 0, "データファイル " + name + " を開けません" + where);
  std::string text(static_cast<std::size_t>(size), '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (static_cast<std::uintmax_t>(in.gcount()) != size || in.peek() != std::ifstream::traits_type::eof())
    throw DataFileError(name, 0, 0, "データファイル " + name + " を読み込む途中でエラーが発生しました" + where);
  return Parse(text, name);
}

Gazetteer Gazetteer::Parse(std::string_view text, const std::string& fileName) {
  std::vector<Place> places;
  std::vector<PlaceKeys> placeKeys;
  std::map<std::string, int> codeLines, nameLines;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);

  int lineNumber = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t end = std::min(text.find('\n', pos), text.size());
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;

    const LineReader reader(fileName, lineNumber);
    const std::vector<std::string_view> fields = Split(line, '\t');
    for (std::size_t f = 0; f < fields.size() && f < kFieldCount; ++f) {
      const int field = static_cast<int>(f) + 1;
      if (!ValidUtf8(fields[f])) reader.Fail(field, "が UTF-8 の文字列ではありません。");
      if (fields[f].size() > kMaxFieldBytes) reader.Fail(field, "が長すぎます（\"" + Excerpt(fields[f]) + "\"）。");
      if (std::any_of(fields[f].begin(), fields[f].end(),
                      [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
        reader.Fail(field, "に制御文字が含まれています。");
    }
    if (fields.size() < kFieldCount)
      reader.Fail(static_cast<int>(fields.size()) + 1, "がありません（タブ区切りで 7 項目が必要です）。");
    if (fields.size() > kFieldCount) reader.Fail(0, "の項目が多すぎます（タブ区切りで 7 項目です）。");

    Place place;
    const std::string_view code = fields[0];
    if (code.size() != 6 || !std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; }))
      reader.Fail(1, "が 6 桁の数字ではありません（\"" + Excerpt(code) + "\"）。");
    if (!CheckDigitOk(code)) reader.Fail(1, " " + std::string(code) + " の検査数字が合いません。");
    const int prefectureNumber = (code[0] - '0') * 10 + (code[1] - '0');
    const Prefecture* prefecture = PrefectureByNumber(prefectureNumber);
    if (!prefecture) reader.Fail(1, " " + std::string(code) + " の都道府県番号が 01〜47 にありません。");
    if (const auto [it, fresh] = codeLines.emplace(std::string(code), lineNumber); !fresh)
      reader.Fail(1, " " + std::string(code) + " が第 " + std::to_string(it->second) + " 行と重複しています。");
    place.code = code;

    if (fields[1] != prefecture->name)
      reader.Fail(2, "「" + Excerpt(fields[1]) + "」が団体コードの都道府県（" + std::string(prefecture->name) +
                         "）と合いません。");
    place.prefecture = fields[1];

    const auto nameParts = Split(fields[2], ' ');
    for (const auto part : nameParts)
      if (part.empty()) reader.Fail(3, "が空か、空白の使い方が正しくありません（\"" + Excerpt(fields[2]) + "\"）。");
    const std::string_view last = nameParts.back();
    if (!(last.ends_with("市") || last.ends_with("町") || last.ends_with("村") || last.ends_with("区")))
      reader.Fail(3, "「" + Excerpt(fields[2]) + "」が市・町・村・区で終わっていません。");
    place.name = Join(nameParts);
    place.localName = last;
    if (const auto [it, fresh] = nameLines.emplace(place.prefecture + place.name, lineNumber); !fresh)
      reader.Fail(3, "「" + place.name + "」が第 " + std::to_string(it->second) + " 行と同じ都道府県・名前です。");

    const auto readingParts = Split(fields[3], ' ');
    if (readingParts.size() != nameParts.size())
      reader.Fail(4, "の区切り（空白）が名前と合いません（\"" + Excerpt(fields[3]) + "\"）。");
    for (const auto part : readingParts) {
      const std::u16string folded = ToQString(part).toStdU16String();
      if (part.empty() || !std::all_of(folded.begin(), folded.end(), IsHiragana))
        reader.Fail(4, "がひらがなではありません（\"" + Excerpt(fields[3]) + "\"）。");
    }
    place.reading = Join(readingParts);

    const auto romajiParts = Split(fields[4], ' ');
    if (romajiParts.size() != nameParts.size())
      reader.Fail(5, "の区切り（空白）が名前と合いません（\"" + Excerpt(fields[4]) + "\"）。");
    for (const auto part : romajiParts) {
      if (part.empty() || !std::all_of(part.begin(), part.end(), [](char c) { return (c >= 'a' && c <= 'z') || c == '\''; }))
        reader.Fail(5, "が小文字のローマ字ではありません（\"" + Excerpt(fields[4]) + "\"）。");
    }
    place.romaji = fields[4];

    place.longitude = reader.Number(fields[5], 6, kMinLongitude, kMaxLongitude);
    place.latitude = reader.Number(fields[6], 7, kMinLatitude, kMaxLatitude);

    PlaceKeys keys;
    keys.prefecture = prefectureNumber;
    keys.name = Fold(place.name);
    keys.qualified = Fold(place.prefecture) + keys.name;
    keys.reading = Fold(place.reading);
    keys.romaji = *RomajiKey(ToQString(place.romaji));
    if (nameParts.size() > 1) {
      keys.localName = Fold(place.localName);
      keys.localReading = Fold(readingParts.back());
      keys.localRomaji = *RomajiKey(ToQString(romajiParts.back()));
    }
    places.push_back(std::move(place));
    placeKeys.push_back(std::move(keys));
  }
  if (places.empty())
    throw DataFileError(fileName, 0, 0, "データファイル " + fileName + " に地名が 1 件もありません。");

  // Code order, which is also the order of ties in the search.
  std::vector<std::size_t> order(places.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&](std::size_t a, std::size_t b) { return places[a].code < places[b].code; });
  auto data = std::make_unique<Data>();
  for (const std::size_t i : order) {
    data->places.push_back(std::move(places[i]));
    data->keys.push_back(std::move(placeKeys[i]));
  }
  Gazetteer gazetteer;
  gazetteer.data_ = std::move(data);
  return gazetteer;
}

// ---------------------------------------------------------------------------
// Search

namespace {

struct Word {
  std::u16string text;
  std::optional<std::u16string> romaji;
};

// The prefecture a typed word names, by its name with or without the suffix,
// its reading with or without it, or its rōmaji; 0 for none.
template <class Table>
int PrefectureOfWord(const Table& prefectures, const Word& w) {
  for (int n = 1; n <= 47; ++n) {
    const auto& p = prefectures[static_cast<std::size_t>(n)];
    if (w.text == p.name || w.text == p.stem || w.text == p.reading || w.text == p.fullReading) return n;
    if (w.romaji && (*w.romaji == p.romaji || *w.romaji == p.fullRomaji)) return n;
  }
  return 0;
}

// The prefecture whose full name begins the word ("東京都府中市"), which is
// then left with the rest.
template <class Table>
int PrefectureBeginning(const Table& prefectures, Word& w) {
  for (int n = 1; n <= 47; ++n) {
    const auto& name = prefectures[static_cast<std::size_t>(n)].name;
    if (w.text.size() > name.size() && StartsWith(w.text, name)) {
      w.text.erase(0, name.size());
      w.romaji.reset();
      return n;
    }
  }
  return 0;
}

// 0 exact name, 1 name prefix, 2 reading or rōmaji prefix, 3 name substring;
// -1 no match.
int Rank(const PlaceKeys& k, const Word& w) {
  if (k.name == w.text) return 0;
  if (StartsWith(k.name, w.text) || (!k.localName.empty() && StartsWith(k.localName, w.text))) return 1;
  if (StartsWith(k.reading, w.text) || (!k.localReading.empty() && StartsWith(k.localReading, w.text))) return 2;
  if (w.romaji && !w.romaji->empty() &&
      (StartsWith(k.romaji, *w.romaji) || (!k.localRomaji.empty() && StartsWith(k.localRomaji, *w.romaji))))
    return 2;
  if (k.name.find(w.text) != std::u16string::npos) return 3;
  return -1;
}

std::vector<Word> Words(const std::u16string& folded) {
  std::vector<Word> words;
  std::u16string current;
  auto flush = [&] {
    if (current.empty()) return;
    words.push_back({current, RomajiKey(QStringView(current.data(), static_cast<qsizetype>(current.size())))});
    current.clear();
  };
  for (const char16_t c : folded) {
    if (QChar(c).isSpace()) {
      flush();
    } else {
      current.push_back(c);
    }
  }
  flush();
  return words;
}

}  // namespace

std::vector<const Place*> Gazetteer::Search(std::string_view query, std::size_t limit) const {
  std::vector<const Place*> found;
  if (limit == 0 || empty()) return found;
  std::vector<Word> words = Words(Fold(query));
  if (words.empty()) return found;

  const auto& prefectures = data_->prefectures;
  int prefecture = 0;
  if (words.size() >= 2) {
    if ((prefecture = PrefectureOfWord(prefectures, words.front())) != 0) {
      words.erase(words.begin());
    } else if ((prefecture = PrefectureOfWord(prefectures, words.back())) != 0) {
      words.pop_back();
    }
  }
  if (prefecture == 0) prefecture = PrefectureBeginning(prefectures, words.front());

  const auto& keys = data_->keys;
  std::array<std::vector<std::size_t>, 4> byRank;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (prefecture != 0 && keys[i].prefecture != prefecture) continue;
    int rank = 0;
    for (const Word& w : words) {
      const int r = Rank(keys[i], w);
      if (r < 0) {
        rank = -1;
        break;
      }
      rank = std::max(rank, r);
    }
    if (rank >= 0) byRank[static_cast<std::size_t>(rank)].push_back(i);
  }
  for (const auto& bucket : byRank) {
    for (const std::size_t i : bucket) {
      if (found.size() == limit) return found;
      found.push_back(&data_->places[i]);
    }
  }
  // A prefecture typed alone lists its places.
  if (found.empty() && words.size() == 1) {
    if (const int only = PrefectureOfWord(prefectures, words.front()); only != 0) {
      for (std::size_t i = 0; i < keys.size() && found.size() < limit; ++i)
        if (keys[i].prefecture == only) found.push_back(&data_->places[i]);
    }
  }
  return found;
}

std::vector<const Place*> Gazetteer::FindExact(std::string_view query) const {
  std::u16string q;
  for (const char16_t c : Fold(query))
    if (!QChar(c).isSpace()) q.push_back(c);
  std::vector<const Place*> found;
  if (q.empty()) return found;
  const bool digits = std::all_of(q.begin(), q.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
  const std::string code = digits ? std::string(q.begin(), q.end()) : std::string();
  for (std::size_t i = 0; i < data_->keys.size(); ++i) {
    const PlaceKeys& k = data_->keys[i];
    const Place& p = data_->places[i];
    const bool byCode = digits && (code.size() == 6 || code.size() == 5) && p.code.compare(0, code.size(), code) == 0;
    if (byCode || k.name == q || k.qualified == q) found.push_back(&p);
  }
  return found;
}

Resolution Gazetteer::Resolve(std::string_view query) const {
  constexpr std::size_t kShown = 10;
  Resolution r;
  std::vector<const Place*> matches = FindExact(query);
  if (matches.empty()) matches = Search(query, kShown + 1);
  if (matches.size() == 1) {
    r.place = matches.front();
    return r;
  }
  r.moreCandidates = matches.size() > kShown;
  if (r.moreCandidates) matches.resize(kShown);
  r.candidates = std::move(matches);
  return r;
}

chart::TimeDifferenceTexts TimeDifferenceOf(const Place& place) { return chart::TimeDifferenceAt(place.longitude); }

std::string QualifiedName(const Place& place) { return place.prefecture + place.name; }

std::string ResolutionMessage(std::string_view query, const Resolution& resolution) {
  // Whatever was typed, quoted as valid UTF-8 and not at length.
  QString typed = ToQString(query).simplified();
  if (typed.size() > 40) typed = typed.left(40) + QStringLiteral("…");
  const std::string quoted = "「" + typed.toStdString() + "」";
  if (resolution.candidates.empty()) return "出生地" + quoted + "に当てはまる場所がありません。";
  std::string message = "出生地" + quoted + "に当てはまる場所が複数あります。次のどれかを指定してください。";
  for (const Place* p : resolution.candidates) message += "\n  " + QualifiedName(*p) + "（" + p->reading + "）";
  if (resolution.moreCandidates) message += "\n  ほかにもあります。";
  return message;
}

}  // namespace torvela::place
