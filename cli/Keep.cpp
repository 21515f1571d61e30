#include "cli/Keep.h"

#include <QDate>
#include <QString>

#include "report/Page.h"

namespace torvela::cli {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

}  // namespace

store::BirthInputs InputsOf(const Birth& b, bool momentGiven) {
  store::BirthInputs in;
  in.year = b.date.year;
  in.month = b.date.month;
  in.day = b.date.day;
  in.hour = Q(b.hour);
  in.minute = Q(b.minute);
  in.sex = b.male ? store::Sex::Male : store::Sex::Female;
  in.jisahun = Q(b.jisahun);
  in.jisabyo = Q(b.jisabyo);
  if (b.place) {
    in.placeCode = Q(b.place->code);
    in.placeName = Q(place::QualifiedName(*b.place));
  }
  if (momentGiven) {
    store::MomentSettings m;
    m.summerTime = b.moment.dst == chart::DstMode::Auto;
    m.before1888 = b.moment.before1888 == chart::Before1888::LocalMean   ? store::Before1888::Lmt
                   : b.moment.before1888 == chart::Before1888::TrueSolar ? store::Before1888::Solar
                                                                         : store::Before1888::Jst;
    m.boundaryMinutes = b.moment.marginMinutes;
    in.moment = m;
  }
  return in;
}

bool BirthOf(const store::BirthInputs& in, Birth& b, std::string& error) {
  store::Person check;
  check.name = QStringLiteral("-");
  check.inputs = in;
  if (const QString why = store::CheckPerson(check); !why.isEmpty()) {
    error = S(why);
    return false;
  }
  b.date = {in.year, in.month, in.day};
  b.hour = S(in.hour);
  b.minute = in.minute.isEmpty() ? std::string("?") : S(in.minute);
  b.male = in.sex == store::Sex::Male;
  b.jisahun = S(in.jisahun);
  b.jisabyo = S(in.jisabyo);
  b.place = nullptr;
  b.moment = {};
  if (in.moment) {
    b.moment.dst = in.moment->summerTime ? chart::DstMode::Auto : chart::DstMode::Off;
    b.moment.before1888 = in.moment->before1888 == store::Before1888::Lmt
                              ? chart::Before1888::LocalMean
                          : in.moment->before1888 == store::Before1888::Solar
                              ? chart::Before1888::TrueSolar
                              : chart::Before1888::Jst;
    b.moment.marginMinutes = in.moment->boundaryMinutes;
  }
  return true;
}

std::string ListLine(const store::Person& p) {
  Birth b;
  std::string error;
  // A kept person this program could not compute still gets its line.
  const std::string birthday =
      BirthOf(p.inputs, b, error)
          ? BirthdayOf(b)
          : std::to_string(p.inputs.year) + "年" + std::to_string(p.inputs.month) + "月" +
                std::to_string(p.inputs.day) + "日";
  const auto oneLine = [](QString s) {
    return S(s.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' ')));
  };
  return oneLine(p.name) + "\t" + oneLine(p.reading) + "\t" + birthday + "\t" +
         S(store::SexText(p.inputs.sex)) + "\t" + oneLine(p.inputs.jisahun) + "分" +
         oneLine(p.inputs.jisabyo) + "秒\t" + oneLine(p.inputs.placeName);
}

bool WriteChartPdf(const std::string& path, const reading::ChartTextContent& c,
                   const chart::BirthReport& report, const Tables& tables,
                   const chart::LocalTime& now, std::string& error) {
  report::PageContent page;
  page.name = Q(c.name);
  page.birthday = Q(c.birthday);
  page.male = c.male;
  page.jisahun = Q(c.jisahun);
  page.jisabyo = Q(c.jisabyo);
  page.birthplace = Q(c.birthplace);
  report::SetBirth(page, report, tables, now);
  page.printedOn = QDate(now.year, now.month, now.day);
  QString why;
  if (report::WritePdf(Q(path), page, &why)) return true;
  error = S(why);
  return false;
}

}  // namespace torvela::cli
