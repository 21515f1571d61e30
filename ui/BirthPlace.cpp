#include "BirthPlace.h"

#include <exception>
#include <map>
#include <mutex>
#include <string>
#include <system_error>

#include "chart/TimeDifference.h"

namespace torvela::ui {

LoadedGazetteer LoadGazetteer(const std::filesystem::path& dataDir) {
  static std::mutex mutex;
  static std::map<std::string, std::shared_ptr<const place::Gazetteer>> read;
  const std::filesystem::path file = dataDir / place::kGazetteerFileName;
  std::error_code ec;
  const auto size = std::filesystem::file_size(file, ec);
  const auto time = std::filesystem::last_write_time(file, ec);
  const std::string key = ec ? std::string() :
      file.lexically_normal().string() + '|' + std::to_string(size) + '|' +
      std::to_string(time.time_since_epoch().count());

  LoadedGazetteer loaded;
  const std::lock_guard<std::mutex> lock(mutex);
  if (const auto it = read.find(key); !key.empty() && it != read.end()) {
    loaded.gazetteer = it->second;
    return loaded;
  }
  try {
    loaded.gazetteer = std::make_shared<const place::Gazetteer>(place::Gazetteer::Load(file));
    if (!key.empty()) read[key] = loaded.gazetteer;
  } catch (const std::exception& e) {
    loaded.gazetteer = std::make_shared<const place::Gazetteer>();
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
