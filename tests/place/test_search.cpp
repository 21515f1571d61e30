// The search over the shipped gazetteer, as a person types into the
// birthplace box or gives --place: kanji, kana, rōmaji, widths, wards,
// shared names, the prefecture as a filter, and the ranking.
#include <gtest/gtest.h>

#include <QString>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "place/Gazetteer.h"

namespace torvela::place {
namespace {

class Search : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    gazetteer = new Gazetteer(Gazetteer::Load(std::filesystem::path(TORVELA_TEST_DATA_DIR) / "places.txt"));
  }
  static void TearDownTestSuite() { delete gazetteer; }

  // Prefecture and name of each match, best first.
  static std::vector<std::string> Find(const std::string& query, std::size_t limit = 10) {
    std::vector<std::string> out;
    for (const Place* p : gazetteer->Search(query, limit)) out.push_back(QualifiedName(*p));
    return out;
  }
  static bool Contains(const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
  }

  static Gazetteer* gazetteer;
};
Gazetteer* Search::gazetteer = nullptr;

std::string Katakana(const std::string& hiragana) {
  QString s = QString::fromStdString(hiragana);
  for (QChar& c : s)
    if (c.unicode() >= u'ぁ' && c.unicode() <= u'ゖ') c = QChar(c.unicode() + (u'ァ' - u'ぁ'));
  return s.toStdString();
}

// Rōmaji as people write it: with macrons, without, or with the vowel doubled
// as typed on a keyboard (ō as oo or ou).
std::vector<std::string> RomajiForms(const std::string& withMacrons) {
  const QString m = QString::fromStdString(withMacrons);
  QString plain = m, doubled = m, withU = m;
  plain.replace(u'ō', u'o').replace(u'ū', u'u');
  doubled.replace(QStringLiteral("ō"), QStringLiteral("oo")).replace(QStringLiteral("ū"), QStringLiteral("uu"));
  withU.replace(QStringLiteral("ō"), QStringLiteral("ou")).replace(QStringLiteral("ū"), QStringLiteral("uu"));
  return {m.toStdString(), plain.toStdString(), doubled.toStdString(), withU.toStdString()};
}

struct Capital {
  const char* prefecture;
  const char* name;
  const char* reading;
  const char* romaji;
};

// The seat of each prefecture's government (東京都: 新宿区).
const Capital kCapitals[] = {
    {"北海道", "札幌市", "さっぽろし", "Sapporo-shi"},     {"青森県", "青森市", "あおもりし", "Aomori-shi"},
    {"岩手県", "盛岡市", "もりおかし", "Morioka-shi"},     {"宮城県", "仙台市", "せんだいし", "Sendai-shi"},
    {"秋田県", "秋田市", "あきたし", "Akita-shi"},         {"山形県", "山形市", "やまがたし", "Yamagata-shi"},
    {"福島県", "福島市", "ふくしまし", "Fukushima-shi"},   {"茨城県", "水戸市", "みとし", "Mito-shi"},
    {"栃木県", "宇都宮市", "うつのみやし", "Utsunomiya-shi"}, {"群馬県", "前橋市", "まえばしし", "Maebashi-shi"},
    {"埼玉県", "さいたま市", "さいたまし", "Saitama-shi"}, {"千葉県", "千葉市", "ちばし", "Chiba-shi"},
    {"東京都", "新宿区", "しんじゅくく", "Shinjuku-ku"},   {"神奈川県", "横浜市", "よこはまし", "Yokohama-shi"},
    {"新潟県", "新潟市", "にいがたし", "Niigata-shi"},     {"富山県", "富山市", "とやまし", "Toyama-shi"},
    {"石川県", "金沢市", "かなざわし", "Kanazawa-shi"},    {"福井県", "福井市", "ふくいし", "Fukui-shi"},
    {"山梨県", "甲府市", "こうふし", "Kōfu-shi"},          {"長野県", "長野市", "ながのし", "Nagano-shi"},
    {"岐阜県", "岐阜市", "ぎふし", "Gifu-shi"},            {"静岡県", "静岡市", "しずおかし", "Shizuoka-shi"},
    {"愛知県", "名古屋市", "なごやし", "Nagoya-shi"},      {"三重県", "津市", "つし", "Tsu-shi"},
    {"滋賀県", "大津市", "おおつし", "Ōtsu-shi"},          {"京都府", "京都市", "きょうとし", "Kyōto-shi"},
    {"大阪府", "大阪市", "おおさかし", "Ōsaka-shi"},       {"兵庫県", "神戸市", "こうべし", "Kōbe-shi"},
    {"奈良県", "奈良市", "ならし", "Nara-shi"},            {"和歌山県", "和歌山市", "わかやまし", "Wakayama-shi"},
    {"鳥取県", "鳥取市", "とっとりし", "Tottori-shi"},     {"島根県", "松江市", "まつえし", "Matsue-shi"},
    {"岡山県", "岡山市", "おかやまし", "Okayama-shi"},     {"広島県", "広島市", "ひろしまし", "Hiroshima-shi"},
    {"山口県", "山口市", "やまぐちし", "Yamaguchi-shi"},   {"徳島県", "徳島市", "とくしまし", "Tokushima-shi"},
    {"香川県", "高松市", "たかまつし", "Takamatsu-shi"},   {"愛媛県", "松山市", "まつやまし", "Matsuyama-shi"},
    {"高知県", "高知市", "こうちし", "Kōchi-shi"},         {"福岡県", "福岡市", "ふくおかし", "Fukuoka-shi"},
    {"佐賀県", "佐賀市", "さがし", "Saga-shi"},            {"長崎県", "長崎市", "ながさきし", "Nagasaki-shi"},
    {"熊本県", "熊本市", "くまもとし", "Kumamoto-shi"},    {"大分県", "大分市", "おおいたし", "Ōita-shi"},
    {"宮崎県", "宮崎市", "みやざきし", "Miyazaki-shi"},    {"鹿児島県", "鹿児島市", "かごしまし", "Kagoshima-shi"},
    {"沖縄県", "那覇市", "なはし", "Naha-shi"},
};

TEST_F(Search, EveryPrefecturalCapitalByKanjiReadingAndRomaji) {
  ASSERT_EQ(std::size(kCapitals), 47u);
  for (const Capital& c : kCapitals) {
    const std::string want = std::string(c.prefecture) + c.name;
    const auto byName = Find(c.name);
    ASSERT_FALSE(byName.empty()) << c.name;
    EXPECT_EQ(byName.front(), want);
    EXPECT_TRUE(Contains(Find(c.reading), want)) << c.reading;
    EXPECT_TRUE(Contains(Find(Katakana(c.reading)), want)) << Katakana(c.reading);
    for (const std::string& r : RomajiForms(c.romaji)) EXPECT_TRUE(Contains(Find(r), want)) << r;
  }
}

TEST_F(Search, OsakaHoweverItIsWritten) {
  for (const char* q : {"大阪", "おおさか", "オオサカ", "ｵｵｻｶ", "ōsaka", "Ōsaka", "osaka", "oosaka", "ousaka",
                        "ＯＳＡＫＡ", "ｏｓａｋａ"}) {
    const auto found = Find(q);
    ASSERT_FALSE(found.empty()) << q;
    EXPECT_EQ(found.front(), "大阪府大阪市") << q;
  }
}

TEST_F(Search, WardsOfADesignatedCity) {
  EXPECT_EQ(Find("札幌市中央区").front(), "北海道札幌市中央区");
  EXPECT_EQ(Find("札幌 中央区").front(), "北海道札幌市中央区");
  EXPECT_EQ(Find("札幌市", 20),
            (std::vector<std::string>{"北海道札幌市", "北海道札幌市中央区", "北海道札幌市北区", "北海道札幌市東区",
                                      "北海道札幌市白石区", "北海道札幌市豊平区", "北海道札幌市南区", "北海道札幌市西区",
                                      "北海道札幌市厚別区", "北海道札幌市手稲区", "北海道札幌市清田区"}));
  // The ward's own name, reading and rōmaji find it too, after a municipality
  // of exactly that name.
  const auto chuo = Find("中央区", 30);
  EXPECT_EQ(chuo.front(), "東京都中央区");
  EXPECT_TRUE(Contains(chuo, "北海道札幌市中央区"));
  EXPECT_TRUE(Contains(Find("ちゅうおうく", 30), "北海道札幌市中央区"));
  EXPECT_TRUE(Contains(Find("chuo-ku", 30), "北海道札幌市中央区"));
  EXPECT_EQ(Find("北海道 中央区"), std::vector<std::string>{"北海道札幌市中央区"});
  EXPECT_EQ(Find("保土ヶ谷").front(), "神奈川県横浜市保土ケ谷区");
}

TEST_F(Search, NameSharedByTwoPrefectures) {
  const auto both = Find("府中市");
  ASSERT_GE(both.size(), 2u);
  EXPECT_EQ(both[0], "東京都府中市");
  EXPECT_EQ(both[1], "広島県府中市");
  EXPECT_TRUE(Contains(Find("府中"), "広島県府中町"));

  const Resolution shared = gazetteer->Resolve("府中市");
  EXPECT_EQ(shared.place, nullptr);
  ASSERT_EQ(shared.candidates.size(), 2u);
  const std::string message = ResolutionMessage("府中市", shared);
  EXPECT_NE(message.find("東京都府中市（ふちゅうし）"), std::string::npos) << message;
  EXPECT_NE(message.find("広島県府中市（ふちゅうし）"), std::string::npos) << message;

  for (const char* q : {"広島県府中市", "広島県 府中市", "広島 府中市", "府中市 広島県", "342084", "34208"}) {
    const Resolution one = gazetteer->Resolve(q);
    ASSERT_NE(one.place, nullptr) << q;
    EXPECT_EQ(one.place->code, "342084") << q;
  }
  EXPECT_EQ(Find("東京都 府中").front(), "東京都府中市");
}

TEST_F(Search, ResolveListsAtMostTenCandidatesOrNone) {
  const Resolution many = gazetteer->Resolve("川");
  EXPECT_EQ(many.place, nullptr);
  EXPECT_EQ(many.candidates.size(), 10u);
  EXPECT_TRUE(many.moreCandidates);
  EXPECT_NE(ResolutionMessage("川", many).find("ほかにもあります"), std::string::npos);

  const Resolution none = gazetteer->Resolve("ニューヨーク");
  EXPECT_EQ(none.place, nullptr);
  EXPECT_TRUE(none.candidates.empty());
  EXPECT_EQ(ResolutionMessage("ニューヨーク", none), "出生地「ニューヨーク」に当てはまる場所がありません。");

  const Resolution unique = gazetteer->Resolve("わっかない");  // by its reading alone
  ASSERT_NE(unique.place, nullptr);
  EXPECT_EQ(unique.place->name, "稚内市");
  // 北広島市 of 北海道 and 北広島町 of 広島県 share the reading's beginning.
  EXPECT_EQ(gazetteer->Resolve("きたひろしま").candidates.size(), 2u);
}

TEST_F(Search, PrefectureAsFilter) {
  for (const char* q : {"北海道 北", "ほっかいどう きた", "hokkaido kita", "北 北海道", "ホッカイドウ　キタ"}) {
    const auto found = Find(q, 100);
    ASSERT_FALSE(found.empty()) << q;
    EXPECT_TRUE(std::all_of(found.begin(), found.end(), [](const std::string& s) { return s.rfind("北海道", 0) == 0; }))
        << q;
    EXPECT_TRUE(Contains(found, "北海道北見市")) << q;
  }
  EXPECT_TRUE(Contains(Find("北海道 北", 100), "北海道札幌市北区"));
  // A prefecture typed alone lists its places.
  EXPECT_EQ(Find("北海道", 1), std::vector<std::string>{"北海道札幌市"});
  EXPECT_EQ(Find("tōkyō", 1), std::vector<std::string>{"東京都千代田区"});
  // 沖縄市 is a place before it is a prefecture.
  EXPECT_EQ(Find("okinawa", 1), std::vector<std::string>{"沖縄県沖縄市"});
}

TEST_F(Search, RankedExactThenNamePrefixThenReadingThenTheRest) {
  // 東京都北区 (131172) is exact; 札幌市北区 (011029) only begins with it.
  const auto kita = Find("北区", 30);
  EXPECT_EQ(kita.front(), "東京都北区");
  EXPECT_EQ(kita[1], "北海道札幌市北区");
  // さくら市 by name before 桜川市 (lower code) by reading; the readings then in
  // code order, さいたま市桜区 by its own.
  EXPECT_EQ(Find("さくら", 4), (std::vector<std::string>{"栃木県さくら市", "茨城県桜川市", "埼玉県さいたま市桜区",
                                                         "千葉県佐倉市"}));
  // Names that begin with 川, in code order, then those that only contain it.
  const auto found = gazetteer->Search("川", 2000);
  auto begins = [](const Place* p) { return p->name.rfind("川", 0) == 0 || p->localName.rfind("川", 0) == 0; };
  const auto firstRest = std::find_if_not(found.begin(), found.end(), begins);
  EXPECT_GT(firstRest - found.begin(), 5);
  EXPECT_TRUE(std::none_of(firstRest, found.end(), begins));
  EXPECT_TRUE(std::is_sorted(found.begin(), firstRest, [](auto a, auto b) { return a->code < b->code; }));
  EXPECT_TRUE(std::is_sorted(firstRest, found.end(), [](auto a, auto b) { return a->code < b->code; }));
  EXPECT_TRUE(std::all_of(firstRest, found.end(), [](const Place* p) { return p->name.find("川") != std::string::npos; }));
}

TEST_F(Search, WidthsAndKanaVariants) {
  for (const char* q : {"札幌", "さっぽろ", "サッポロ", "ｻｯﾎﾟﾛ", "ＳＡＰＰＯＲＯ", "Ｓａｐｐｏｒｏ"})
    EXPECT_EQ(Find(q).front(), "北海道札幌市") << q;
  EXPECT_EQ(Find("鶴ケ島").front(), "埼玉県鶴ヶ島市");
  EXPECT_EQ(Find("ニセコ").front(), "北海道ニセコ町");
  EXPECT_EQ(Find("南あるぷす").front(), "山梨県南アルプス市");
}

TEST_F(Search, NothingForEmptyOrUnknownOrBrokenInput) {
  EXPECT_TRUE(Find("").empty());
  EXPECT_TRUE(Find(" 　 ").empty());
  EXPECT_TRUE(Find("xyzzy").empty());
  EXPECT_TRUE(Find("\xFF\xFE\xE3").empty());
  EXPECT_TRUE(gazetteer->Search("札幌", 0).empty());
  EXPECT_EQ(gazetteer->Search("町", 3).size(), 3u);
  EXPECT_TRUE(Gazetteer().Search("札幌", 10).empty());
  EXPECT_TRUE(Gazetteer().Resolve("札幌").candidates.empty());
}

TEST_F(Search, TwoVillagesOfOneNameInOnePrefectureAreToldApart) {
  // 泊村 of 古宇郡 and of 国後郡 (Northern Territories, written with its district).
  EXPECT_EQ(Find("泊村"), (std::vector<std::string>{"北海道泊村", "北海道国後郡泊村"}));
  const Resolution r = gazetteer->Resolve("北海道泊村");
  ASSERT_NE(r.place, nullptr);
  EXPECT_EQ(r.place->code, "014036");
}

}  // namespace
}  // namespace torvela::place
