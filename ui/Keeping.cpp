#include "Keeping.h"

#include "Version.h"

namespace torvela::ui {

report::PageContent PageOf(const ChartBirth& birth, const chart::ChartTexts& texts, const QString& name,
                           const QDate& printedOn) {
  report::PageContent page;
  page.name = name;
  page.birthday = birth.birthday;
  page.male = birth.male;
  page.jisahun = birth.jisahun;
  page.jisabyo = birth.jisabyo;
  page.birthplace = birth.place;
  page.chart = texts;
  page.printedOn = printedOn;
  return page;
}

reading::ChartTextContent TextOf(const ChartBirth& birth, const chart::ChartTexts& texts, const QString& name) {
  reading::ChartTextContent text;
  text.name = name.toStdString();
  text.birthday = birth.birthday.toStdString();
  text.male = birth.male;
  text.jisahun = birth.jisahun.toStdString();
  text.jisabyo = birth.jisabyo.toStdString();
  text.birthplace = birth.place.toStdString();
  text.chart = texts;
  return text;
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
