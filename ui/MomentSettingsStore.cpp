#include "MomentSettingsStore.h"

#include <string>

namespace torvela::ui {

namespace {

const QString kDst = QStringLiteral("moment/dst");
const QString kBefore1888 = QStringLiteral("moment/before1888");
const QString kMargin = QStringLiteral("moment/margin");

std::string Text(const QSettings& settings, const QString& key) {
  return settings.value(key).toString().toStdString();
}

QString Text(std::string_view name) { return QString::fromUtf8(name.data(), qsizetype(name.size())); }

}  // namespace

chart::MomentSettings ReadMomentSettings(QSettings& settings) {
  chart::MomentSettings moment;
  if (const auto dst = chart::ParseDstMode(Text(settings, kDst))) moment.dst = *dst;
  if (const auto old = chart::ParseBefore1888(Text(settings, kBefore1888))) moment.before1888 = *old;
  if (const auto margin = chart::ParseMargin(Text(settings, kMargin))) moment.marginMinutes = *margin;
  return moment;
}

void WriteMomentSettings(QSettings& settings, const chart::MomentSettings& moment) {
  settings.setValue(kDst, Text(chart::DstModeName(moment.dst)));
  settings.setValue(kBefore1888, Text(chart::Before1888Name(moment.before1888)));
  settings.setValue(kMargin, moment.marginMinutes);
}

}  // namespace torvela::ui
