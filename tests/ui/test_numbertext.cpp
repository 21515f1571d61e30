// Numbers typed with an input method read as their half-width forms, and
// text that is already half-width reads exactly as it did.
#include <QTest>
#include <random>

#include "place/NumberText.h"
#include "calc/Numeric.h"

using torvela::HalfWidthNumberText;

class TestNumberText : public QObject {
  Q_OBJECT

 private slots:
  void halfWidthForms_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("read");
    QTest::addColumn<double>("value");
    const struct { const char *typed, *read; double value; } rows[] = {
        {"－１３", "-13", -13},      {"１９", "19", 19},         {"＋７", "+7", 7},
        {"１２．５", "12.5", 12.5},  {"　－０", " -0", -0.0},    {"３０秒", "30秒", 30},
        {"ー１８", "-18", -18},      {"ｰ１８", "-18", -18},      {"−５", "-5", -5},
        {" −.5", " -.5", -0.5},     {"ー", "ー", 0},            {"ーー１", "ーー1", 0},
        {"１ー２", "1ー2", 1},       {"abc−5", "abc−5", 0},     {"①", "1", 1},
        {"-13", "-13", -13},         {"", "", 0}};
    for (const auto& r : rows)
      QTest::newRow(r.typed) << QString::fromUtf8(r.typed) << QString::fromUtf8(r.read) << r.value;
  }
  void halfWidthForms() {
    QFETCH(QString, typed);
    QFETCH(QString, read);
    QFETCH(double, value);
    QCOMPARE(HalfWidthNumberText(typed), read);
    const std::string utf8 = HalfWidthNumberText(typed.toStdString());
    QCOMPARE(QString::fromStdString(utf8), read);
    const double v = torvela::LeadingNumber(utf8);
    QVERIFY2(v == value && std::signbit(v) == std::signbit(value), qPrintable(QString::number(v)));
  }

  // Whatever ASCII a person types comes back byte for byte.
  void asciiUnchanged() {
    std::mt19937 rng(20261206);
    std::uniform_int_distribution<int> length(0, 12), ch(0, 127);
    for (int n = 0; n < 2000; ++n) {
      std::string text;
      for (int i = length(rng); i > 0; --i) text += char(ch(rng));
      QCOMPARE(HalfWidthNumberText(text), text);
      QCOMPARE(HalfWidthNumberText(QString::fromLatin1(text)), QString::fromLatin1(text));
    }
  }

  // Bytes that are no UTF-8 start no number, before or after.
  void invalidUtf8() {
    for (const std::string bad : {"\xff" "12", "\xe3\x80", "12\xc3"}) {
      const std::string read = HalfWidthNumberText(bad);
      QCOMPARE(torvela::LeadingNumber(read), torvela::LeadingNumber(bad));
    }
  }
};

QTEST_MAIN(TestNumberText)
#include "test_numbertext.moc"
