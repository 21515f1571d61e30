#include "BirthPlace.h"

#include <exception>

#include "chart/TimeDifference.h"

namespace torvela::ui {

LoadedGazetteer LoadGazetteer(const std::filesystem::path& dataDir) {
  LoadedGazetteer loaded;
  try {
    loaded.gazetteer = place::Gazetteer::Load(dataDir / place::kGazetteerFileName);
  } catch (const std::exception& e) {
    loaded.error = QString::fromStdString(e.what());
  }
  return loaded;
}

QString PlacePointText(const place::Place& place, bool withLatitude) {
  auto dms = [](const char* caption, const chart::DmsParts& p) {
    return QStringLiteral("%1%2度%3分%4秒").arg(QString::fromUtf8(caption)).arg(p.degrees).arg(p.minutes).arg(p.seconds);
  };
  QString text = dms("東経", chart::SplitDms(place.longitude));
  // Single precision, as the map shows latitudes.
  if (withLatitude) text += QLatin1Char(' ') + dms("北緯", chart::SplitDms(static_cast<float>(place.latitude)));
  return text;
}

bool HoldsTimeDifferenceOf(const place::Place& place, const QString& minutes, const QString& seconds) {
  const chart::TimeDifferenceTexts texts = place::TimeDifferenceOf(place);
  return minutes == QString::fromStdString(texts.minutes) && seconds == QString::fromStdString(texts.seconds);
}

QString PlaceBoxTip(const QString& error) {
  if (error.isEmpty())
    return QStringLiteral("出生地の市区町村名を漢字・かな・ローマ字で入れ、候補から選ぶと時差が入ります");
  return QStringLiteral("出生地の検索は使えません。") + error +
         QStringLiteral("\n時差は数値で入れるか、地図で決めてください。");
}

}  // namespace torvela::ui
