// The chart area saved as PNG: twice its size whatever the screen, the
// chart's ink on it, and a folder that is not there reported in Japanese.
#include <QTest>
#include <QtWidgets>

#include "ChartImage.h"
#include "ChartView.h"

using torvela::ui::ChartView;

class TestChartImage : public QObject {
  Q_OBJECT

 private slots:
  void savesTheChartAtTwiceItsSize() {
    ChartView view(ChartView::Options{});
    torvela::chart::ChartTexts t;
    t.yKan = "乙", t.yShi = "卯", t.mKan = "己", t.mShi = "卯";
    t.dKan = "癸", t.dShi = "丑", t.hKan = "己", t.hShi = "未";
    view.Show(t, {});
    view.resize(view.sizeHint());
    QCOMPARE(torvela::ui::ChartImage(view).devicePixelRatio(), 2.0);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("命式.png"));
    QString error;
    QVERIFY2(torvela::ui::SaveChartPng(view, path, &error), qPrintable(error));
    const QImage saved(path);
    QCOMPARE(saved.size(), view.size() * 2);
    // Dark pixels of the pillars' characters.
    int ink = 0;
    for (int y = 0; y < saved.height(); ++y)
      for (int x = 0; x < saved.width(); ++x) ink += qGray(saved.pixel(x, y)) < 100;
    QVERIFY(ink > 500);

    const QString missing = dir.filePath(QStringLiteral("なし/命式.png"));
    QVERIFY(!torvela::ui::SaveChartPng(view, missing, &error));
    QVERIFY(error.startsWith(QStringLiteral("画像ファイルを書き込めません")));
    QVERIFY(!QFile::exists(missing));
  }
};

QTEST_MAIN(TestChartImage)
#include "test_chartimage.moc"
