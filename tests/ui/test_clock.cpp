// "Now" is Japan's clock wherever the computer is: the window's age and bold
// great-luck column follow the present moment in Asia/Tokyo, whatever the
// local time zone. A moment just after a birthday began in Japan, while it
// is still the day before in Los Angeles.
#include <chrono>
#include <ctime>

#include "UiTestSupport.h"

using namespace uitest;
using namespace std::chrono;

class TestClock : public MainWindowTest {
  Q_OBJECT

 private slots:
  void cleanup() {
    Unload();
    qunsetenv("TZ");
    ::tzset();
  }

  void ageAndLuckByJapansClock_data() {
    QTest::addColumn<QByteArray>("zone");
    for (const char* zone : {"America/Los_Angeles", "Europe/London", "Asia/Tokyo"})
      QTest::newRow(zone) << QByteArray(zone);
  }
  void ageAndLuckByJapansClock() {
    QFETCH(QByteArray, zone);
    qputenv("TZ", zone);
    ::tzset();
    Load(false);
    // 2026-05-05 00:30 in Japan; 2026-05-04 08:30 in Los Angeles.
    const sys_seconds moment = sys_days{2026y / May / 4} + 15h + 30min;
    w->presentMoment = [moment] { return system_clock::time_point(moment); };
    EnterBirth(1985, 5, 5, "0", "10");
    QTest::mouseClick(w->optM, Qt::LeftButton);
    QTest::mouseClick(w->fInput, Qt::LeftButton);

    const torvela::chart::LocalTime japan{2026, 5, 5, 0, 30};
    const torvela::Tables& m = module->tables();
    const auto input = torvela::chart::InputFromTexts(1985, 5, 5, "0", "10", true, "0", "0");
    const auto expected = torvela::chart::MakeChartTexts(torvela::chart::ComputeChart(input, m, japan), m);
    QCOMPARE(w->chartView->txtAge->text(), "41");
    QCOMPARE(w->chartView->texts().bold, expected.bold);
    QVERIFY(w->chartView->texts() == expected);
  }
};

QTEST_MAIN(TestClock)
#include "test_clock.moc"
