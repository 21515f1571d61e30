// The windows under a locale whose decimal point is not ".": Qt sets the
// environment's locale when the application starts, as it does for a user
// with LANG=de_DE.UTF-8, and every chart text, in the main window and the
// popup, must still read exactly as torvela-cli writes it. Typed time
// differences with a "." must read the same too.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <clocale>
#include <cstring>

#include "UiTestSupport.h"
#include "tests/LocaleSupport.h"

using namespace uitest;
using torvela::test::kCommaLocale, torvela::test::kTwoByteLocale;

namespace {

using Texts = QMap<QString, QString>;  // object name -> text

bool commaLocaleMade = false, twoByteLocaleMade = false;

// The chart texts torvela-cli prints as JSON for the birth; empty when the
// program is not built here.
Texts CommandLineTexts(const QStringList& birth) {
  Texts texts;
#ifdef TORVELA_CLI
  QProcess cli;
  const QString data = QString::fromStdString(DataDir());
  cli.start(QStringLiteral(TORVELA_CLI), birth + QStringList{"--now", "2026-12-06T12:00", "--data", data, "--json"});
  if (!cli.waitForFinished(60000) || cli.exitCode() != 0) {
    texts.insert("<error>", QString::fromUtf8(cli.readAllStandardError()));
    return texts;
  }
  const QJsonObject json = QJsonDocument::fromJson(cli.readAllStandardOutput()).object()["texts"].toObject();
  for (auto it = json.begin(); it != json.end(); ++it) {
    if (it->isArray()) {
      const QJsonArray items = it->toArray();
      for (int i = 0; i < items.size(); ++i)
        texts.insert(it.key() + '_' + QString::number(i), items[i].toString());
    } else {
      texts.insert(it.key(), it->toString());
    }
  }
#else
  Q_UNUSED(birth);
#endif
  return texts;
}

// The same chart computed here in the C locale.
Texts CLocaleTexts(const torvela::chart::ChartInput& input) {
  const std::string locale = std::setlocale(LC_ALL, nullptr);
  std::setlocale(LC_ALL, "C");
  const torvela::Tables m = torvela::LoadTables(DataDir());
  const auto chart = torvela::chart::MakeChartTexts(torvela::chart::ComputeChart(input, m, kNow), m);
  std::setlocale(LC_ALL, locale.c_str());
  Texts texts;
  for (const auto& [name, text] : chart.Items())
    texts.insert(QString::fromStdString(name), QString::fromStdString(text));
  return texts;
}

}  // namespace

class TestLocale : public MainWindowTest {
  Q_OBJECT

 private slots:
  void initTestCase() {
    if (!commaLocaleMade) QSKIP("no locale with a comma as decimal point could be made here");
    // The locale QApplication set from LC_ALL is in force.
    QCOMPARE(std::localeconv()->decimal_point, ",");
  }
  void init() { Load(); }
  void cleanup() {
    Unload();
    std::setlocale(LC_ALL, kCommaLocale);
  }

  // Birth as torvela-cli takes it; the time differences as typed.
  void windowTextsEqualTheCommandLines() {
    const struct { const char *locale, *date, *time; bool male; QString jisahun, jisabyo; } rows[] = {
        {kCommaLocale, "1975-03-05", "14:30", true, "-13.5", "28.7"},
        {kCommaLocale, "2000-02-29", "?:?", false, "-0", "28"},
        {kCommaLocale, "1868-01-24", "23:59", false, "18.25", "-3.5"},
        {kTwoByteLocale, "2041-11-30", "0:0", false, "7", "0.5"}};
    for (const auto& r : rows) {
      if (r.locale == kTwoByteLocale) {
        if (!twoByteLocaleMade) QSKIP("no locale with a two-byte decimal point could be made here");
        QVERIFY(std::setlocale(LC_ALL, kTwoByteLocale));
        QCOMPARE(std::strlen(std::localeconv()->decimal_point), size_t(2));
      }
      const QStringList ymd = QString(r.date).split('-'), hm = QString(r.time).split(':');
      const int year = ymd[0].toInt(), month = ymd[1].toInt(), day = ymd[2].toInt();
      EnterBirth(year, month, day, hm[0], hm[1]);
      QTest::mouseClick(r.male ? w->optM : w->optW, Qt::LeftButton);
      w->txtJisahun->setText(r.jisahun);
      w->txtJisabyo->setText(r.jisabyo);
      QTest::mouseClick(w->fInput, Qt::LeftButton);
      QTest::mouseClick(w->btnpop, Qt::LeftButton);

      const Texts expected = CLocaleTexts(torvela::chart::InputFromTexts(
          year, month, day, hm[0].toStdString(), hm[1].toStdString(), r.male, r.jisahun.toStdString(),
          r.jisabyo.toStdString()));
      QVERIFY(expected["txtKoukei"].contains('.'));  // a text the locale would change
      const Texts cli = CommandLineTexts({"--date", r.date, "--time", r.time, "--sex", r.male ? "男" : "女",
                                          "--jisa=" + r.jisahun, "--jisa-sec=" + r.jisabyo});
#ifdef TORVELA_CLI
      QCOMPARE(cli.keys(), expected.keys());
#endif
      auto shown = [](const QWidget& window, const QString& name) {
        const QWidget* c = window.findChild<QWidget*>(name);
        return c ? c->property("text").toString() : "<missing>";
      };
      for (auto it = expected.begin(); it != expected.end(); ++it) {
#ifdef TORVELA_CLI
        QCOMPARE(cli.value(it.key()), it.value());
#endif
        QCOMPARE(shown(*w->chartView, it.key()), it.value());
        if (!QStringList{"txtweek", "txtKinjisa", "txtShin"}.contains(it.key()))
          QCOMPARE(shown(*w->popupWindow(), it.key()), it.value());
      }
    }
  }
};

// Qt reads the locale from the environment when the application starts, so
// the locale is made and named before it.
int main(int argc, char** argv) {
  commaLocaleMade = torvela::test::MakeLocaleAvailable(kCommaLocale);
  twoByteLocaleMade = torvela::test::MakeLocaleAvailable(kTwoByteLocale);
  if (commaLocaleMade) qputenv("LC_ALL", kCommaLocale);
  QApplication app(argc, argv);
  app.setAttribute(Qt::AA_Use96Dpi, true);
  TestLocale test;
  QTEST_SET_MAIN_SOURCE_PATH
  return QTest::qExec(&test, argc, argv);
}

#include "test_locale.moc"
