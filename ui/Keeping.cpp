#include "Keeping.h"

#include "Version.h"

namespace torvela::ui {

report::PageContent PageOf(const ChartBirth& birth, const chart::ChartTexts& texts, const ChartNotes& notes,
                           const QString& name, const QDate& printedOn) {
  report::PageContent page;
  page.name = name;
  page.birthday = birth.birthday;
  page.male = birth.male;
  page.jisahun = birth.jisahun;
  page.jisabyo = birth.jisabyo;
  page.birthplace = birth.place;
  page.chart = texts;
  for (const QString& notice : notes.notices) page.notices.push_back(notice.toStdString());
  page.prevTerm = notes.prevTerm.toStdString();
  page.nextTerm = notes.nextTerm.toStdString();
  page.reading = notes.reading;
  page.printedOn = printedOn;
  return page;
}

reading::ChartTextContent TextOf(const ChartBirth& birth, const chart::ChartTexts& texts, const ChartNotes& notes,
                                 const QString& name) {
  reading::ChartTextContent text;
  text.name = name.toStdString();
  text.birthday = birth.birthday.toStdString();
  text.male = birth.male;
  text.jisahun = birth.jisahun.toStdString();
  text.jisabyo = birth.jisabyo.toStdString();
  text.birthplace = birth.place.toStdString();
  text.chart = texts;
  text.prevTerm = notes.prevTerm.toStdString();
  text.nextTerm = notes.nextTerm.toStdString();
  for (const QString& notice : notes.notices) text.notices.push_back(notice.toStdString());
  text.reading = notes.reading;
  return text;
}

std::optional<store::MomentSettings> KeptMoment(const chart::MomentSettings& settings) {
  const chart::MomentSettings defaults;
  if (settings.dst == defaults.dst && settings.before1888 == defaults.before1888 &&
      settings.marginMinutes == defaults.marginMinutes)
    return std::nullopt;
  store::MomentSettings kept;
  kept.summerTime = settings.dst == chart::DstMode::Auto;
  kept.before1888 = settings.before1888 == chart::Before1888::LocalMean   ? store::Before1888::Lmt
                    : settings.before1888 == chart::Before1888::TrueSolar ? store::Before1888::Solar
                                                                          : store::Before1888::Jst;
  kept.boundaryMinutes = settings.marginMinutes;
  return kept;
}

chart::MomentSettings MomentOf(const std::optional<store::MomentSettings>& kept) {
  chart::MomentSettings settings;
  if (!kept) return settings;
  settings.dst = kept->summerTime ? chart::DstMode::Auto : chart::DstMode::Off;
  settings.before1888 = kept->before1888 == store::Before1888::Lmt     ? chart::Before1888::LocalMean
                        : kept->before1888 == store::Before1888::Solar ? chart::Before1888::TrueSolar
                                                                       : chart::Before1888::Jst;
  settings.marginMinutes = kept->boundaryMinutes;
  return settings;
}

QString BirthSummary(const ChartBirth& birth) {
  QString line = birth.birthday + QStringLiteral("　") + (birth.male ? QStringLiteral("男") : QStringLiteral("女")) +
                 QStringLiteral("　時差 %1分%2秒").arg(birth.jisahun, birth.jisabyo);
  if (!birth.place.isEmpty()) line += QStringLiteral("　") + birth.place;
  return line;
}

QString MainWindowTitle(const QString& name, bool changed) {
  if (name.isEmpty()) return MainWindowCaption();
  return MainWindowCaption() + QStringLiteral(" － ") + name + (changed ? QStringLiteral("（変更あり）") : QString());
}

QString SuggestedFileName(const QString& name, const QString& suffix) {
  QString base = name.trimmed().isEmpty() ? QStringLiteral("命式") : name.trimmed() + QStringLiteral("の命式");
  // Not allowed, or awkward, in a file name on the systems a file may go to.
  for (QChar& c : base)
    if (c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c)) c = u'_';
  return base + u'.' + suffix;
}

QString CsvProblemsText(const std::vector<store::CsvRowProblem>& bad, int limit) {
  QStringList lines;
  for (std::size_t i = 0; i < bad.size() && int(i) < limit; ++i) lines << bad[i].Text();
  if (int(bad.size()) > limit) lines << QStringLiteral("ほか %1 行").arg(int(bad.size()) - limit);
  return lines.join(u'\n');
}

}  // namespace torvela::ui
