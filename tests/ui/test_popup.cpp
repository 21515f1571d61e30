// The popup shows the copy of the chart it was given, with its birth and
// birthplace, and keeps it until the next POP; Close hides it in place, the
// close box discards it.
#include <QTest>
#include <QtWidgets>

#include "DetailWindow.h"
#include "NoticeArea.h"
#include "chart/ChartFields.h"
#include "frmpop01.h"
#include "reading/Reading.h"

using torvela::chart::ChartTexts;
using torvela::ui::frmpop01, torvela::ui::ShowPopup, torvela::ui::ChartBirth, torvela::ui::ChartNotes;

namespace {

// What the popup shows; it has no weekday, equation-of-time or
// true-solar-time box.
QStringList ChartNames() {
  QStringList names = QString("txtBirthday txtKoutai txtKoutaiYM txtKoukei txtAge yKan yShi mKan mShi "
                               "dKan dShi hKan hShi lblOu").split(' ');
  for (int i = 0; i < 11; ++i)
    names << QString("sai1_%1 sai2_%1 dun_kan_%1 dun_shi_%1").arg(i).split(' ').mid(i == 10);
  return names;
}

// Every text is `tag` and the control's name; great-luck column `bold`
// (none for -1) is the current one.
ChartTexts Texts(const std::string& tag, int bold) {
  ChartTexts t;
  torvela::chart::ForEachTextField(t, [&](const char* name, auto& field) {
    if constexpr (std::is_same_v<std::decay_t<decltype(field)>, std::string>) {
      field = tag + name;
    } else {
      for (std::size_t i = 0; i < field.size(); ++i) field[i] = tag + name + "_" + std::to_string(i);
    }
  });
  t.bold = bold;
  return t;
}

frmpop01* Pop(QPointer<frmpop01>& pop, QWidget& owner, const std::string& tag, int bold, bool male,
              const QString& place = {}) {
  return ShowPopup(pop, owner, Texts(tag, bold),
                   {QString::fromStdString(tag) + "txtBirthday", male, "-13", "14", place});
}

void CheckCopy(const frmpop01& pop, const QString& tag, int bold) {
  for (const QString& name : ChartNames()) {
    const QWidget* c = pop.findChild<QWidget*>(name);
    QCOMPARE(c ? c->property("text").toString() : "<missing>", tag + name);
  }
  for (const char* absent : {"txtweek", "txtKinjisa", "txtShin"}) QVERIFY(!pop.findChild<QWidget*>(absent));
  for (int i = 0; i < 11; ++i)
    QVERIFY(pop.chartView->dun_kan[i]->font().bold() == (i == bold) &&
            pop.chartView->dun_shi[i]->font().bold() == (i == bold));
}

bool NearCentre(const QWidget& w) {
  return (w.frameGeometry().center() - w.screen()->availableGeometry().center()).manhattanLength() <= 1;
}

}  // namespace

class TestPopup : public QObject {
  Q_OBJECT

 private slots:
  // The popup shows what it is given and keeps it as its own: neither the
  // caller's texts changing afterwards nor controls of the same names in the
  // owner reach it.
  void showsTheCopyItWasGiven() {
    QWidget owner;
    for (const QString& name : ChartNames()) (new QLabel(QStringLiteral("壬"), &owner))->setObjectName(name);
    ChartTexts texts = Texts("A", 3);
    QPointer<frmpop01> pop;
    ShowPopup(pop, owner, texts, {"A-birthday", true, "-13", "14", "福岡県福岡市"});
    const ChartTexts given = texts;
    texts = Texts("B", 5);
    QVERIFY(pop->chartView->texts() == given);
    QVERIFY(pop->chartView->birth() == ChartBirth({"A-birthday", true, "-13", "14", "福岡県福岡市"}));
    QCOMPARE(pop->chartView->yKan->text(), QStringLiteral("AyKan"));
    QCOMPARE(pop->chartView->sai1[9]->text(), QStringLiteral("Asai1_9"));
    QCOMPARE(pop->txtBirthday->text(), QStringLiteral("A-birthday"));
    QCOMPARE(pop->txtPlace->text(), QStringLiteral("福岡県福岡市"));
  }

  // The terms, notices and reading come with the copy as values: 詳細 opens
  // the copy's reading, whatever the caller's notes become; a copy without
  // a reading has no 詳細.
  void keepsTheNotesOfItsCopy() {
    QWidget owner;
    QPointer<frmpop01> pop;
    torvela::chart::ChartResult chart;
    chart.yearStem = 1, chart.yearBranch = 1, chart.monthStem = 3, chart.monthBranch = 3;
    chart.dayStem = 5, chart.dayBranch = 7, chart.hourStem = 9, chart.hourBranch = 1;
    ChartNotes notes{"節入り：A", "次の節：A", {"注意一", "注意二"},
                     torvela::reading::MakeReadingTexts(torvela::reading::Read(chart, 1984, {2026, 1, 1, 0, 0}),
                                                        torvela::NameTables())};
    ShowPopup(pop, owner, Texts("A", 3), {"A-birthday", true, "-13", "14", "福岡県福岡市"}, notes);
    notes.notices.clear(), notes.prevTerm = "節入り：B", notes.reading.reset();
    const torvela::ui::NoticeArea& area = *pop->chartView->noticeArea;
    QCOMPARE(area.lblPrevTerm->text() + area.lblNextTerm->text(), "節入り：A次の節：A");
    QVERIFY(area.lblNotices->text().contains("注意一") && area.lblNotices->text().contains("注意二"));
    QVERIFY(pop->chartView->notes().reading && pop->btnDetail->isEnabled());
    QTest::mouseClick(pop->btnDetail, Qt::LeftButton);
    torvela::ui::DetailWindow* detail = pop->detailWindow();
    QVERIFY(detail && detail->isVisible());
    QCOMPARE(detail->lblStem[0]->text() + detail->lblStem[3]->text(), "壬甲");  // 時 … 年
    QCOMPARE(detail->windowTitle(), "命式詳細（POP）　A-birthday・男・福岡県福岡市");

    ShowPopup(pop, owner, Texts("B", 3), {"B-birthday", false, "0", "0", ""}, notes);
    QVERIFY(!pop->btnDetail->isEnabled() && !detail->isVisible());
    QVERIFY(area.lblNotices->text().isEmpty());
  }

  void popCloseAndCloseBoxLifecycle() {
    QWidget owner;
    QPointer<frmpop01> pop;
    frmpop01* first = Pop(pop, owner, "A", 3, true, "神奈川県横浜市保土ケ谷区");
    QVERIFY(QTest::qWaitForWindowExposed(first));
    QVERIFY(NearCentre(*first));
    CheckCopy(*first, "A", 3);
    QCOMPARE(first->txtMW->text(), "男");
    // The longest place shows whole.
    QCOMPARE(first->txtPlace->text(), "神奈川県横浜市保土ケ谷区");
    QVERIFY(first->txtPlace->fontMetrics().horizontalAdvance(first->txtPlace->text()) <
            first->txtPlace->contentsRect().width());

    // POP again keeps the window where the user put it, at its size (a long
    // text must not make it creep), and refreshes it; the marking clears,
    // nothing but the weight ever changes.
    const QSize size = first->size();
    first->move(40, 50);
    const QPoint placed = first->pos();
    const std::string longer = "a much longer text than any chart holds ";
    QCOMPARE(Pop(pop, owner, longer, -1, false), first);
    QVERIFY(first->size() == size && first->pos() == placed);
    CheckCopy(*first, QString::fromStdString(longer), -1);
    QCOMPARE(first->chartView->dun_kan[3]->font(), first->chartView->dun_kan[0]->font());
    QCOMPARE(first->txtMW->text(), "女");
    QCOMPARE(first->txtPlace->text(), QString());  // none chosen for this one

    // Close hides in place; POP brings it back there, refreshed, with the
    // bold column moved.
    QTest::mouseClick(first->Command1, Qt::LeftButton);
    QVERIFY(!first->isVisible() && pop);
    QCOMPARE(Pop(pop, owner, "C", 7, true), first);
    QVERIFY(first->isVisible() && first->pos() == placed);
    CheckCopy(*first, "C", 7);

    // The close box discards it; the next POP makes a new one, centred.
    QVERIFY(first->close());
    QTRY_VERIFY(pop.isNull());
    frmpop01* second = Pop(pop, owner, "C", 7, true);
    QVERIFY(QTest::qWaitForWindowExposed(second));
    QVERIFY(NearCentre(*second));
    CheckCopy(*second, "C", 7);
  }
};

QTEST_MAIN(TestPopup)
#include "test_popup.moc"
