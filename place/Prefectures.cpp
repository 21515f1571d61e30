#include "place/Prefectures.h"

#include <array>

namespace torvela::place {

namespace {

// JIS X 0401 order: index 0 is prefecture number 1.
constexpr std::array<Prefecture, 47> kPrefectures{{
    {"北海道", "北海道", "ほっかいどう", "", "hokkaido", ""},
    {"青森県", "青森", "あおもり", "けん", "aomori", "ken"},
    {"岩手県", "岩手", "いわて", "けん", "iwate", "ken"},
    {"宮城県", "宮城", "みやぎ", "けん", "miyagi", "ken"},
    {"秋田県", "秋田", "あきた", "けん", "akita", "ken"},
    {"山形県", "山形", "やまがた", "けん", "yamagata", "ken"},
    {"福島県", "福島", "ふくしま", "けん", "fukushima", "ken"},
    {"茨城県", "茨城", "いばらき", "けん", "ibaraki", "ken"},
    {"栃木県", "栃木", "とちぎ", "けん", "tochigi", "ken"},
    {"群馬県", "群馬", "ぐんま", "けん", "gunma", "ken"},
    {"埼玉県", "埼玉", "さいたま", "けん", "saitama", "ken"},
    {"千葉県", "千葉", "ちば", "けん", "chiba", "ken"},
    {"東京都", "東京", "とうきょう", "と", "tokyo", "to"},
    {"神奈川県", "神奈川", "かながわ", "けん", "kanagawa", "ken"},
    {"新潟県", "新潟", "にいがた", "けん", "niigata", "ken"},
    {"富山県", "富山", "とやま", "けん", "toyama", "ken"},
    {"石川県", "石川", "いしかわ", "けん", "ishikawa", "ken"},
    {"福井県", "福井", "ふくい", "けん", "fukui", "ken"},
    {"山梨県", "山梨", "やまなし", "けん", "yamanashi", "ken"},
    {"長野県", "長野", "ながの", "けん", "nagano", "ken"},
    {"岐阜県", "岐阜", "ぎふ", "けん", "gifu", "ken"},
    {"静岡県", "静岡", "しずおか", "けん", "shizuoka", "ken"},
    {"愛知県", "愛知", "あいち", "けん", "aichi", "ken"},
    {"三重県", "三重", "みえ", "けん", "mie", "ken"},
    {"滋賀県", "滋賀", "しが", "けん", "shiga", "ken"},
    {"京都府", "京都", "きょうと", "ふ", "kyoto", "fu"},
    {"大阪府", "大阪", "おおさか", "ふ", "osaka", "fu"},
    {"兵庫県", "兵庫", "ひょうご", "けん", "hyogo", "ken"},
    {"奈良県", "奈良", "なら", "けん", "nara", "ken"},
    {"和歌山県", "和歌山", "わかやま", "けん", "wakayama", "ken"},
    {"鳥取県", "鳥取", "とっとり", "けん", "tottori", "ken"},
    {"島根県", "島根", "しまね", "けん", "shimane", "ken"},
    {"岡山県", "岡山", "おかやま", "けん", "okayama", "ken"},
    {"広島県", "広島", "ひろしま", "けん", "hiroshima", "ken"},
    {"山口県", "山口", "やまぐち", "けん", "yamaguchi", "ken"},
    {"徳島県", "徳島", "とくしま", "けん", "tokushima", "ken"},
    {"香川県", "香川", "かがわ", "けん", "kagawa", "ken"},
    {"愛媛県", "愛媛", "えひめ", "けん", "ehime", "ken"},
    {"高知県", "高知", "こうち", "けん", "kochi", "ken"},
    {"福岡県", "福岡", "ふくおか", "けん", "fukuoka", "ken"},
    {"佐賀県", "佐賀", "さが", "けん", "saga", "ken"},
    {"長崎県", "長崎", "ながさき", "けん", "nagasaki", "ken"},
    {"熊本県", "熊本", "くまもと", "けん", "kumamoto", "ken"},
    {"大分県", "大分", "おおいた", "けん", "oita", "ken"},
    {"宮崎県", "宮崎", "みやざき", "けん", "miyazaki", "ken"},
    {"鹿児島県", "鹿児島", "かごしま", "けん", "kagoshima", "ken"},
    {"沖縄県", "沖縄", "おきなわ", "けん", "okinawa", "ken"},
}};

}  // namespace

const Prefecture* PrefectureByNumber(int number) {
  if (number < 1 || number > static_cast<int>(kPrefectures.size())) return nullptr;
  return &kPrefectures[static_cast<std::size_t>(number - 1)];
}

}  // namespace torvela::place
