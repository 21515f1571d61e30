// The gazetteer: its file as it may turn up (shipped, reformatted, damaged),
// the search as a person types into the birthplace box or gives --place, and
// the time difference a chosen place writes.
#include <gtest/gtest.h>

#include <QString>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "calc/Module2.h"
#include "place/Gazetteer.h"

namespace torvela::place {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

const fs::path kShipped = fs::path(TORVELA_TEST_DATA_DIR) / "places.txt";
const Gazetteer& Shipped() {
  static const Gazetteer g = Gazetteer::Load(kShipped);
  return g;
}

// What loading stops with: the message, the record and the field; the
// message is "loaded" when nothing stopped it.
struct Stop { std::string file, what = "loaded"; int record = -1, field = -1; };
Stop StopOf(const std::function<void()>& load) {
  try {
    load();
  } catch (const DataFileError& e) {
    return {e.file(), e.what(), e.record(), e.field()};
  }
  return {};
}
bool Has(const std::string& s, const std::string& part) { return s.find(part) != s.npos; }

const std::string kHeader = "# code\tprefecture\tname\treading\tromaji\tlongitude\tlatitude\n";
const std::string kGood1 = "011002\t北海道\t札幌市\tさっぽろし\tsapporoshi\t141.35429\t43.06194";
const std::string kGood2 =
    "011011\t北海道\t札幌市 中央区\tさっぽろし ちゅうおうく\tsapporoshi chuuouku\t141.35429\t43.06194";

TEST(GazetteerFile, ShippedAndReformattedFilesLoad) {
  ASSERT_EQ(Shipped().places().size(), 1922u);  // 1747 municipalities, 175 wards
  std::set<std::string> prefectures;
  for (std::size_t i = 0; i < Shipped().places().size(); ++i) {
    if (i) {
      EXPECT_LT(Shipped().places()[i - 1].code, Shipped().places()[i].code);
    }
    prefectures.insert(Shipped().places()[i].prefecture);
  }
  EXPECT_EQ(prefectures.size(), 47u);
  // A byte-order mark, CR LF, comments and blank lines; put in code order;
  // a ward shown joined to its city.
  const Gazetteer g = Gazetteer::Parse("\xEF\xBB\xBF" + kHeader + "\r\n" + kGood2 + "\r\n# note\r\n" + kGood1);
  ASSERT_EQ(g.places().size(), 2u);
  const Place &city = g.places()[0], &ward = g.places()[1];
  EXPECT_EQ(city.code + city.localName, "011002札幌市");
  EXPECT_EQ(ward.name + " " + ward.localName + " " + ward.reading + " " + ward.romaji,
            "札幌市中央区 中央区 さっぽろしちゅうおうく sapporoshi chuuouku");
  EXPECT_DOUBLE_EQ(ward.longitude, 141.35429);
}

// The second record (line 3) with field k replaced.
std::string With(int k, const std::string& value) {
  std::vector<std::string> f;
  std::istringstream in(kGood2);
  for (std::string s; std::getline(in, s, '\t');) f.push_back(s);
  f[k - 1] = value;
  std::string line;
  for (const std::string& s : f) line += (line.empty() ? "" : "\t") + s;
  return line;
}

TEST(GazetteerFile, MalformedRecordNamesFileLineAndField) {
  const struct { std::string line; int field; const char* says; } cases[] = {
      {With(1, "01101x"), 1, "6 桁の数字ではありません"},
      {With(1, "011012"), 1, "検査数字が合いません"},
      {With(1, "011002"), 1, "第 2 行と重複しています"},
      {With(1, "481009"), 1, "01〜47"},
      {With(2, "青森県"), 2, "北海道"},
      {With(3, "札幌市  中央区"), 3, "空白"},
      {"011011\t北海道\t札幌駅\tさっぽろえき\tsapporoeki\t141\t43", 3, "市・町・村・区"},
      {"011029\t北海道\t札幌市\tさっぽろし\tsapporoshi\t141\t43", 3, "第 2 行と同じ"},
      {With(4, "サッポロシ チュウオウク"), 4, "ひらがなではありません"},
      {With(4, "さっぽろしちゅうおうく"), 4, "名前と合いません"},
      {With(5, "Sapporoshi chuuouku"), 5, "ローマ字ではありません"},
      {With(6, "141.3.5"), 6, "数値ではありません（\"141.3.5\"）"},
      {With(6, "-141"), 6, "日本の範囲"},
      {With(7, ""), 7, "数値ではありません"},
      {kGood2.substr(0, kGood2.rfind('\t')), 7, "がありません"},
      {kGood2 + "\tx", 0, "多すぎます"},
      {"011011 北海道 札幌市中央区 さっぽろしちゅうおうく sapporoshichuuouku 141 43", 2, "タブ区切り"},
      {"011011\t北海道\t札幌\xE5\xB8\t\tさっぽろし\tsapporoshi\t141\t43", 3, "UTF-8"},
      {"011011\t北海道\t札幌市\x01\tさっぽろし\tsapporoshi\t141\t43", 3, "制御文字"},
  };
  for (const auto& c : cases) {
    const Stop e = StopOf([&] { Gazetteer::Parse(kHeader + kGood1 + "\n" + c.line + "\n"); });
    EXPECT_TRUE(e.file == "places.txt" && e.record == 3 && e.field == c.field) << c.says << ": " << e.what;
    const std::string where = "places.txt の第 3 行" + (c.field ? "第 " + std::to_string(c.field) + " 項目" : "");
    EXPECT_TRUE(Has(e.what, where) && Has(e.what, c.says)) << e.what;
  }
  for (const std::string& empty : {std::string(), kHeader, std::string("\n\n")}) {
    const Stop e = StopOf([&] { Gazetteer::Parse(empty); });
    EXPECT_TRUE(e.record == 0 && Has(e.what, "1 件もありません")) << e.what;
  }
}

TEST(GazetteerFile, MissingOrUnusableFileIsAnErrorAndKeepsWhatWasLoaded) {
  const fs::path dir = fs::temp_directory_path() / ("torvela_places_" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "places.txt") << kGood1 << "\n011011\t北海道\n";
  Gazetteer g = Gazetteer::Load(kShipped);
  for (const auto& c : {std::pair{dir / "none.txt", "見つかりません"}, {dir, "通常のファイルではありません"},
                        {dir / "places.txt", "第 2 行第 3 項目（名前）がありません"}})
    EXPECT_TRUE(Has(StopOf([&] { g = Gazetteer::Load(c.first); }).what, c.second)) << c.first;
  EXPECT_EQ(g.places().size(), 1922u);
  fs::remove_all(dir);
}

// Random damage to the head of the shipped file (bytes replaced, inserted,
// removed): each result loads or stops with a line and a message that is
// valid UTF-8 (it reaches a message box), never anything else.
TEST(GazetteerFile, RandomDamageLoadsOrStopsCleanly) {
  std::string head = (std::ostringstream() << std::ifstream(kShipped, std::ios::binary).rdbuf()).str();
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
    const Stop e = StopOf([&] { EXPECT_FALSE(Gazetteer::Parse(text).places().empty()); });
    if (e.what == "loaded") {
      ++loaded;
    } else {
      ++stopped;
      EXPECT_GT(e.record, 0) << e.what;
      EXPECT_EQ(QString::fromUtf8(e.what.c_str()).toUtf8().toStdString(), e.what);
    }
  }
  EXPECT_GT(stopped, 100);
  EXPECT_GT(loaded, 0);  // a damaged comment, or a byte that keeps a number valid
}

// Prefecture and name of each match, best first.
Names Find(const std::string& query, std::size_t limit = 10) {
  Names out;
  for (const Place* p : Shipped().Search(query, limit)) out.push_back(QualifiedName(*p));
  return out;
}
bool Contains(const Names& v, const std::string& s) { return std::find(v.begin(), v.end(), s) != v.end(); }

// The seat of each prefecture's government (東京都: 新宿区): kanji, reading, rōmaji.
const char* const kCapitals[47][4] = {
    {"北海道", "札幌市", "さっぽろし", "Sapporo-shi"}, {"青森県", "青森市", "あおもりし", "Aomori-shi"},
    {"岩手県", "盛岡市", "もりおかし", "Morioka-shi"}, {"宮城県", "仙台市", "せんだいし", "Sendai-shi"},
    {"秋田県", "秋田市", "あきたし", "Akita-shi"}, {"山形県", "山形市", "やまがたし", "Yamagata-shi"},
    {"福島県", "福島市", "ふくしまし", "Fukushima-shi"}, {"茨城県", "水戸市", "みとし", "Mito-shi"},
    {"栃木県", "宇都宮市", "うつのみやし", "Utsunomiya-shi"}, {"群馬県", "前橋市", "まえばしし", "Maebashi-shi"},
    {"埼玉県", "さいたま市", "さいたまし", "Saitama-shi"}, {"千葉県", "千葉市", "ちばし", "Chiba-shi"},
    {"東京都", "新宿区", "しんじゅくく", "Shinjuku-ku"}, {"神奈川県", "横浜市", "よこはまし", "Yokohama-shi"},
    {"新潟県", "新潟市", "にいがたし", "Niigata-shi"}, {"富山県", "富山市", "とやまし", "Toyama-shi"},
    {"石川県", "金沢市", "かなざわし", "Kanazawa-shi"}, {"福井県", "福井市", "ふくいし", "Fukui-shi"},
    {"山梨県", "甲府市", "こうふし", "Kōfu-shi"}, {"長野県", "長野市", "ながのし", "Nagano-shi"},
    {"岐阜県", "岐阜市", "ぎふし", "Gifu-shi"}, {"静岡県", "静岡市", "しずおかし", "Shizuoka-shi"},
    {"愛知県", "名古屋市", "なごやし", "Nagoya-shi"}, {"三重県", "津市", "つし", "Tsu-shi"},
    {"滋賀県", "大津市", "おおつし", "Ōtsu-shi"}, {"京都府", "京都市", "きょうとし", "Kyōto-shi"},
    {"大阪府", "大阪市", "おおさかし", "Ōsaka-shi"}, {"兵庫県", "神戸市", "こうべし", "Kōbe-shi"},
    {"奈良県", "奈良市", "ならし", "Nara-shi"}, {"和歌山県", "和歌山市", "わかやまし", "Wakayama-shi"},
    {"鳥取県", "鳥取市", "とっとりし", "Tottori-shi"}, {"島根県", "松江市", "まつえし", "Matsue-shi"},
    {"岡山県", "岡山市", "おかやまし", "Okayama-shi"}, {"広島県", "広島市", "ひろしまし", "Hiroshima-shi"},
    {"山口県", "山口市", "やまぐちし", "Yamaguchi-shi"}, {"徳島県", "徳島市", "とくしまし", "Tokushima-shi"},
    {"香川県", "高松市", "たかまつし", "Takamatsu-shi"}, {"愛媛県", "松山市", "まつやまし", "Matsuyama-shi"},
    {"高知県", "高知市", "こうちし", "Kōchi-shi"}, {"福岡県", "福岡市", "ふくおかし", "Fukuoka-shi"},
    {"佐賀県", "佐賀市", "さがし", "Saga-shi"}, {"長崎県", "長崎市", "ながさきし", "Nagasaki-shi"},
    {"熊本県", "熊本市", "くまもとし", "Kumamoto-shi"}, {"大分県", "大分市", "おおいたし", "Ōita-shi"},
    {"宮崎県", "宮崎市", "みやざきし", "Miyazaki-shi"}, {"鹿児島県", "鹿児島市", "かごしまし", "Kagoshima-shi"},
    {"沖縄県", "那覇市", "なはし", "Naha-shi"}};

TEST(Search, EveryPrefecturalCapitalByKanjiReadingAndRomaji) {
  for (const auto& c : kCapitals) {
    const std::string want = std::string(c[0]) + c[1];
    EXPECT_EQ(Find(c[1]).at(0), want);
    QString katakana = QString::fromUtf8(c[2]);
    for (QChar& ch : katakana)
      if (ch.unicode() >= u'ぁ' && ch.unicode() <= u'ゖ') ch = QChar(ch.unicode() + (u'ァ' - u'ぁ'));
    // Rōmaji with macrons, without, or the vowel doubled as typed (ō as oo or ou).
    const QString m = QString::fromUtf8(c[3]);
    QString plain = m, oo = m, ou = m;
    plain.replace(u'ō', u'o');
    oo.replace(QStringLiteral("ō"), QStringLiteral("oo"));
    ou.replace(QStringLiteral("ō"), QStringLiteral("ou"));
    for (const QString& q : {QString::fromUtf8(c[2]), katakana, m, plain, oo, ou})
      EXPECT_TRUE(Contains(Find(q.toStdString()), want)) << q.toStdString();
  }
}

// The first match for each way of writing a place.
TEST(Search, FirstMatchHoweverItIsWritten) {
  const std::pair<const char*, Names> cases[] = {
      {"大阪府大阪市", {"大阪", "おおさか", "オオサカ", "ｵｵｻｶ", "ōsaka", "Ōsaka", "osaka", "oosaka", "ousaka", "ＯＳＡＫＡ", "ｏｓａｋａ"}},
      {"北海道札幌市", {"札幌", "さっぽろ", "サッポロ", "ｻｯﾎﾟﾛ", "ＳＡＰＰＯＲＯ", "Ｓａｐｐｏｒｏ", "北海道"}},
      {"北海道札幌市中央区", {"札幌市中央区", "札幌 中央区"}},
      // A municipality of exactly that name comes before a ward that has it.
      {"東京都中央区", {"中央区"}},
      {"東京都北区", {"北区"}},  // 札幌市北区 only begins with it
      {"神奈川県横浜市保土ケ谷区", {"保土ヶ谷"}},
      {"埼玉県鶴ヶ島市", {"鶴ケ島"}},
      {"北海道ニセコ町", {"ニセコ"}},
      {"山梨県南アルプス市", {"南あるぷす"}},
      {"東京都府中市", {"府中市", "東京都 府中"}},
      {"東京都千代田区", {"tōkyō"}},       // a prefecture alone lists its places
      {"沖縄県沖縄市", {"okinawa"}},       // a place before it is a prefecture
  };
  for (const auto& [want, queries] : cases)
    for (const std::string& q : queries) EXPECT_EQ(Find(q).at(0), want) << q;
}

TEST(Search, WardsSharedNamesAndPrefectures) {
  EXPECT_EQ(Find("札幌市", 20), (Names{"北海道札幌市", "北海道札幌市中央区", "北海道札幌市北区", "北海道札幌市東区",
                                       "北海道札幌市白石区", "北海道札幌市豊平区", "北海道札幌市南区", "北海道札幌市西区",
                                       "北海道札幌市厚別区", "北海道札幌市手稲区", "北海道札幌市清田区"}));
  // The ward's own name, reading and rōmaji find it too.
  for (const char* q : {"中央区", "ちゅうおうく", "chuo-ku"}) EXPECT_TRUE(Contains(Find(q, 30), "北海道札幌市中央区")) << q;
  EXPECT_EQ(Find("北海道 中央区"), Names{"北海道札幌市中央区"});
  EXPECT_EQ(Find("北区", 30).at(1), "北海道札幌市北区");
  EXPECT_EQ(Find("府中市").at(1), "広島県府中市");
  EXPECT_TRUE(Contains(Find("府中"), "広島県府中町"));
  // さくら市 by name before 桜川市 (lower code) by reading; the readings then in
  // code order, さいたま市桜区 by its own.
  EXPECT_EQ(Find("さくら", 4), (Names{"栃木県さくら市", "茨城県桜川市", "埼玉県さいたま市桜区", "千葉県佐倉市"}));
  // 泊村 of 古宇郡 and of 国後郡 (Northern Territories, written with its district).
  EXPECT_EQ(Find("泊村"), (Names{"北海道泊村", "北海道国後郡泊村"}));
  // A prefecture as the first or last word keeps its places.
  for (const char* q : {"北海道 北", "ほっかいどう きた", "hokkaido kita", "北 北海道", "ホッカイドウ　キタ"}) {
    const Names found = Find(q, 100);
    EXPECT_TRUE(Contains(found, "北海道北見市")) << q;
    EXPECT_TRUE(std::all_of(found.begin(), found.end(), [](auto& s) { return s.rfind("北海道", 0) == 0; })) << q;
  }
  EXPECT_TRUE(Contains(Find("北海道 北", 100), "北海道札幌市北区"));
}

TEST(Search, RankedNamePrefixFirstThenTheRestInCodeOrder) {
  const auto found = Shipped().Search("川", 2000);
  auto begins = [](const Place* p) { return p->name.rfind("川", 0) == 0 || p->localName.rfind("川", 0) == 0; };
  const auto rest = std::find_if_not(found.begin(), found.end(), begins);
  const auto byCode = [](auto a, auto b) { return a->code < b->code; };
  EXPECT_GT(rest - found.begin(), 5);
  EXPECT_TRUE(std::none_of(rest, found.end(), begins));
  EXPECT_TRUE(std::is_sorted(found.begin(), rest, byCode) && std::is_sorted(rest, found.end(), byCode));
  EXPECT_TRUE(std::all_of(rest, found.end(), [](const Place* p) { return Has(p->name, "川"); }));
  // Nothing for nothing, for what is not there, or for broken text.
  for (const char* q : {"", " 　 ", "xyzzy", "\xFF\xFE\xE3"}) EXPECT_TRUE(Find(q).empty()) << q;
  EXPECT_TRUE(Shipped().Search("札幌", 0).empty());
  EXPECT_EQ(Shipped().Search("町", 3).size(), 3u);
  EXPECT_TRUE(Gazetteer().Search("札幌", 10).empty());
  EXPECT_TRUE(Gazetteer().Resolve("札幌").candidates.empty());
}

TEST(Search, ResolveOneOrTheCandidates) {
  for (const auto& [code, queries] :
       {std::pair<const char*, Names>{"342084", {"広島県府中市", "広島県 府中市", "広島 府中市", "府中市 広島県", "342084", "34208"}},
        {"014036", {"北海道泊村"}}, {"012149", {"わっかない"}}}) {  // 稚内市 by its reading alone
    for (const std::string& q : queries) {
      const Resolution r = Shipped().Resolve(q);
      EXPECT_TRUE(r.place && r.place->code == code) << q;
    }
  }
  const struct { const char* query; std::size_t candidates; const char* says; } cases[] = {
      {"府中市", 2, "東京都府中市（ふちゅうし）"}, {"府中市", 2, "広島県府中市（ふちゅうし）"},
      {"川", 10, "ほかにもあります"}, {"ニューヨーク", 0, "出生地「ニューヨーク」に当てはまる場所がありません。"},
      {"きたひろしま", 2, ""},  // 北広島市 of 北海道, 北広島町 of 広島県
  };
  for (const auto& c : cases) {
    const Resolution r = Shipped().Resolve(c.query);
    EXPECT_TRUE(!r.place && r.candidates.size() == c.candidates) << c.query;
    EXPECT_EQ(r.moreCandidates, c.candidates == 10) << c.query;
    EXPECT_TRUE(Has(ResolutionMessage(c.query, r), c.says)) << ResolutionMessage(c.query, r);
  }
}

// The longitude → time-difference rule: whole degrees, minutes and seconds by
// floor, then minutes of time from 135°E truncated, "-0" for less than a
// minute west.
TEST(TimeDifference, WestAndEastOf135) {
  const struct { const char* what; double longitude; const char *minutes, *seconds; } cases[] = {
      {"on the meridian", 135.0, "0", "0"},
      {"134°59'59.99\": neither seconds nor minutes round up", 135.0 - 0.01 / 3600, "-0", "0"},
      {"西脇市, 14 s of arc west", 134.99626, "-0", "0"},
      {"明石市, 134°56'51\" E", 134.94769, "-0", "12"},
      {"134°45'15.5\" E, one second of time short of a minute west", 134.0 + 45.0 / 60 + 15.5 / 3600, "-0", "59"},
      {"exactly one minute west", 134.75, "-1", "0"},
      {"加東市, 135°0'28\" E", 135.00780, "0", "1"},
      {"府中市 of 東京都, 139°28'24\" E", 139.47345, "17", "53"},
      {"那覇市, 127°40'44\" E", 127.67915, "-29", "17"},
      {"南鳥島 far east", 153.98, "75", "55"},
  };
  for (const auto& c : cases) {
    const chart::TimeDifferenceTexts t = chart::TimeDifferenceAt(c.longitude);
    EXPECT_EQ(t.minutes + "/" + t.seconds, std::string(c.minutes) + "/" + c.seconds) << c.what;
  }
  // A chosen place writes what a click on the map at its longitude writes.
  for (const Place& p : Shipped().places()) {
    const chart::DmsParts d = chart::SplitDms(p.longitude);
    const auto map = chart::DecideTimeDifference(d.degrees, d.minutes, d.seconds), chosen = TimeDifferenceOf(p);
    ASSERT_EQ(chosen.minutes + "/" + chosen.seconds, map.minutes + "/" + map.seconds) << p.name;
  }
}

}  // namespace
}  // namespace torvela::place
