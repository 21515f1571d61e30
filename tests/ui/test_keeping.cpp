// ファイル and 編集 on the main window: a chart kept in the 名簿 comes back
// in a new window exactly as typed, is written over or kept apart, and goes
// when deleted; a 名簿 that cannot be used is said once, left as it was, and
// the windows work on without it; a CSV import with a bad row asks first;
// the printed page, the PDF and the picture hold the chart on screen, and the
// copied text is torvela-cli's.
#include <sys/stat.h>

#include <QPrinter>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <deque>
#include <random>

#include "Keeping.h"
#include "Version.h"
#include "MomentSettingsMenu.h"
#include "PersonDialog.h"
#include "PlaceBox.h"
#include "Startup.h"
#include "UiTestSupport.h"
#include "store/Csv.h"
#include "../store/Unprivileged.h"

using namespace torvela::ui;
using namespace uitest;
using torvela::store::Person, torvela::store::Store;

namespace {

QByteArray Sha256(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                                     : QByteArray();
}

// Answers the modal windows as they come, one step each, and notes the
// text of every message box.
struct Responder : QObject {
  using Step = std::function<void(QWidget*)>;
  std::deque<Step> steps;
  QStringList boxes;  // text, then the informative text, of each box
  QPointer<QWidget> last;
  QTimer timer;

  explicit Responder(std::initializer_list<Step> s) : steps(s) {
    connect(&timer, &QTimer::timeout, this, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || modal == last || steps.empty()) return;
      last = modal;
      if (auto* box = qobject_cast<QMessageBox*>(modal)) boxes << box->text() + '|' + box->informativeText();
      Step step = std::move(steps.front());
      steps.pop_front();
      step(modal);
    });
    timer.start(10);
  }
  bool done() const { return steps.empty() && !QApplication::activeModalWidget(); }
};

// A message box's button by its text.
Responder::Step Press(const QString& button) {
  return [button](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    QVERIFY2(box, qPrintable(modal->objectName()));
    for (QAbstractButton* b : box->buttons())
      if (b->text() == button) return b->click();
    QFAIL(qPrintable("no button " + button + " in " + box->text()));
  };
}
Responder::Step Ok() { return Press(QStringLiteral("OK")); }

// 名簿に保存's question answered: a name, reading and memo typed, then a button.
Responder::Step Fill(const QString& name, const QString& reading, const QString& memo, const char* button,
                     QString* shownName = nullptr) {
  return [=](QWidget* modal) {
    auto* d = qobject_cast<PersonDialog*>(modal);
    QVERIFY2(d, qPrintable(modal->objectName()));
    if (shownName) *shownName = d->txtName->text();
    d->txtName->setText(name);
    d->txtReading->setText(reading);
    d->txtMemo->setPlainText(memo);
    auto* b = d->findChild<QPushButton*>(QString::fromLatin1(button));
    QVERIFY2(b && b->isEnabled(), button);
    b->click();
  };
}

// A birth as the test types it.
struct Birth {
  int year, month, day;
  QString hour, minute;
  bool male;
  QString jisahun, jisabyo;  // typed, when no place is looked up
  const char* place;         // typed into 出生地 and picked with Enter, or null
  bool ownSettings = false;  // ツール: summer time not corrected, 1888 by local mean time, margin 10
};

QString PdfText(const QString& pdf) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
  if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
  return QString::fromUtf8(p.readAllStandardOutput());
}

// Every SQL statement on the file, outside the 名簿.
void RawSql(const QString& path, const QStringList& statements) {
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
    db.setDatabaseName(path);
    QVERIFY(db.open());
    QSqlQuery q(db);
    for (const QString& s : statements) QVERIFY2(q.exec(s), qPrintable(s));
    db.close();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("raw"));
}

// A process of its own that holds the 名簿's write lock until it is killed.
struct LockHolder {
  QProcess process;
  explicit LockHolder(const QString& path) {
#ifdef TORVELA_STORE_HELPER
    process.start(QStringLiteral(TORVELA_STORE_HELPER), {QStringLiteral("hold"), path});
    process.waitForReadyRead(10000);
#else
    Q_UNUSED(path);
#endif
  }
  bool holding() { return process.readAll().startsWith("locked"); }
  ~LockHolder() {
    process.kill();
    process.waitForFinished();
  }
};

}  // namespace

Q_DECLARE_METATYPE(Birth)

class TestKeeping : public MainWindowTest {
  Q_OBJECT

  QTemporaryDir dir;
  QString Db() const { return dir.filePath(QStringLiteral("名簿.sqlite")); }

  void LoadWith(const QString& db) {
    Load();
    if (QTest::currentTestFailed()) return;
    w->OpenPeople(db);
    QVERIFY2(w->people(), qPrintable(w->peopleProblem()));
    // Files are chosen here, not in a dialog.
    w->askFile = [this](const mainform01::FileQuestion& q) { return answerFile(q); };
  }
  std::function<QString(const mainform01::FileQuestion&)> answerFile = [](const auto&) { return QString(); };

  void Type(const Birth& b) {
    if (b.ownSettings)
      for (QAction* a : {w->momentMenu->mnuDst, w->momentMenu->mnuBefore1888Lmt, w->momentMenu->mnuMargin10}) a->trigger();
    EnterBirth(b.year, b.month, b.day, b.hour, b.minute);
    if (QTest::currentTestFailed()) return;
    QTest::mouseClick(b.male ? w->optM : w->optW, Qt::LeftButton);
    if (b.place) {
      w->txtPlace->setFocus();
      QTest::keyClick(w->txtPlace, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(w->txtPlace, b.place);
      QTest::keyClick(w->txtPlace, Qt::Key_Return);
      QVERIFY2(w->txtPlace->chosenPlace(), b.place);
    } else {
      w->txtJisahun->setText(b.jisahun);
      w->txtJisabyo->setText(b.jisabyo);
    }
  }
  void Show(const Birth& b) {
    Type(b);
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    QVERIFY(w->chartView->hasChart());
  }

  // The inputs as shown, and which of them take input.
  QStringList Inputs() const {
    QStringList v{w->yearPicker()->lblSelect_y->text(), w->txtBirthday->text()};
    for (QComboBox* c : {w->mSelect, w->dSelect, w->hSelect, w->mtSelect})
      v << c->currentText() + (c->isEnabled() ? "" : " (off)");
    v << (w->optM->isChecked() ? "男" : "女") << w->txtJisahun->text() << w->txtJisabyo->text()
      << w->txtPlace->text() << w->lblPlacePoint->text() << (w->fInput->isEnabled() ? "display" : "no display");
    return v;
  }
  // The chart as shown, control by control, the bold column marked.
  QStringList Chart() const {
    QStringList v;
    for (const auto& [name, text] : torvela::chart::ChartTexts().Items()) {
      const auto* c = w->chartView->findChild<QWidget*>(QString::fromStdString(name));
      const auto* l = qobject_cast<const QLabel*>(c);
      v << QString::fromStdString(name) + '=' + (c ? c->property("text").toString() : "<missing>") +
               (l && l->font().bold() ? "*" : "");
    }
    const ChartNotes& notes = w->chartView->notes();
    v << notes.prevTerm << notes.nextTerm << notes.notices;
    return v;
  }

  // Opens the 名簿 window and chooses the row of this name with Enter.
  void OpenByName(const QString& name) {
    w->mnuOpen->trigger();
    PeopleWindow* p = w->peopleWindow();
    QVERIFY(p && p->isVisible());
    p->txtSearch->setText(name);
    QCOMPARE(p->model()->rowCount(), 1);
    QTest::keyClick(p->txtSearch, Qt::Key_Return);
    QVERIFY(!p->isVisible());
  }

  void Save(std::initializer_list<Responder::Step> steps) {
    Responder r(steps);
    w->mnuSave->trigger();
    QTRY_VERIFY(r.done());
  }

  std::vector<Person> Everyone() {
    auto people = w->people()->List();
    return people ? *people : std::vector<Person>{};
  }

 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(dir.isValid());
    // Readable for the ordinary user the read-only case runs as.
    QVERIFY(chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
  }
  void cleanup() {
    Unload();
    QFile::remove(Db());
  }

  // Kept, the window closed, a new one opened on the same file: the person
  // comes back with the same inputs, the same chart and the name in the title.
  void saveCloseReopen_data() {
    QTest::addColumn<Birth>("birth");
    QTest::newRow("typed time difference") << Birth{1980, 3, 1, "0", "10", false, "-18", "30", nullptr};
    QTest::newRow("full-width digits") << Birth{1975, 5, 5, "14", "?", true, "－１３", "５", nullptr};
    QTest::newRow("unknown hour") << Birth{2000, 2, 29, "?", "", true, "0", "0", nullptr};
    QTest::newRow("place") << Birth{1949, 7, 1, "10", "0", false, "", "", "chiyoda"};
    QTest::newRow("settings") << Birth{1949, 7, 1, "10", "0", true, "", "", "chiyoda", true};
  }
  void saveCloseReopen() {
    QFETCH(Birth, birth);
    LoadWith(Db());
    QVERIFY(!w->mnuSave->isEnabled() && !w->mnuPrint->isEnabled() && !w->mnuCopy->isEnabled());
    Show(birth);
    QVERIFY(w->mnuSave->isEnabled() && w->mnuPrint->isEnabled());
    const QStringList inputs = Inputs(), chart = Chart();
    QString offered;
    Save({Fill("山田 花子", "やまだ はなこ", "メモ, \"引用\"\n二行目", "btnAdd", &offered)});
    QCOMPARE(offered, QString());  // nobody open yet
    QVERIFY(w->windowTitle().endsWith("山田 花子"));
    const auto kept = Everyone();
    QCOMPARE(kept.size(), 1u);
    QCOMPARE(kept[0].memo, "メモ, \"引用\"\n二行目");
    QCOMPARE(kept[0].inputs.hour, birth.hour);
    QCOMPARE(kept[0].inputs.moment.has_value(), birth.ownSettings);

    Unload();
    LoadWith(Db());
    QVERIFY(!w->windowTitle().contains("山田"));
    // The person's settings, the defaults when they have none, replace these.
    w->momentMenu->mnuMargin60->trigger();
    OpenByName("やまだ");
    QCOMPARE(KeptMoment(w->momentMenu->settings()), kept[0].inputs.moment);
    QCOMPARE(Inputs(), inputs);
    QCOMPARE(Chart(), chart);
    QVERIFY(!w->chartView->outOfDate());
    QVERIFY(w->windowTitle().endsWith("山田 花子"));
    QCOMPARE(w->ShownName(), "山田 花子");
    // The inputs read as typed: the year picker decided and lists picked.
    QVERIFY(!w->yearPicker()->isVisible() && w->centralWidget()->isEnabled());
  }

  // Saving an opened person writes over them, or adds another; a new chart
  // no longer carries the name until saved; a person deleted meanwhile is
  // kept again as new.
  void updateAndDelete() {
    LoadWith(Db());
    Show({1980, 3, 1, "0", "10", false, "-18", "30", nullptr});
    Save({Fill("佐藤一郎", "", "", "btnAdd")});
    Pick(w->hSelect, "5");
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    QCOMPARE(w->ShownName(), QString());  // another chart than the one kept
    QVERIFY(w->windowTitle().endsWith("佐藤一郎（変更あり）"));
    QString offered;
    Save({Fill("佐藤一郎", "さとう", "", "btnUpdate", &offered)});
    QCOMPARE(offered, "佐藤一郎");
    auto kept = Everyone();
    QCOMPARE(kept.size(), 1u);
    QCOMPARE(kept[0].inputs.hour, "5");
    QCOMPARE(kept[0].reading, "さとう");
    QVERIFY(kept[0].updated >= kept[0].created);

    // Another with the same name: asked first.
    Save({Fill("佐藤一郎", "", "", "btnAdd"), Press("やめる")});
    QCOMPARE(Everyone().size(), 1u);
    Save({Fill("佐藤一郎", "", "", "btnAdd"), Press("追加する")});
    QCOMPARE(Everyone().size(), 2u);

    // 削除 in the 名簿 window asks, then the person is gone.
    w->mnuOpen->trigger();
    PeopleWindow* p = w->peopleWindow();
    QCOMPARE(p->model()->rowCount(), 2);
    {
      Responder r({Press("削除する")});
      p->btnDelete->click();
      QTRY_VERIFY(r.done());
    }
    QCOMPARE(p->model()->rowCount(), 1);
    QCOMPARE(Everyone().size(), 1u);
    p->close();
    // The open person (the last added) may be the one deleted: saving over
    // them keeps the chart as a new person rather than losing it.
    const qint64 open = w->openPerson()->id;
    static_cast<void>(w->people()->Remove(open));
    const std::size_t before = Everyone().size();
    Save({Fill("佐藤一郎", "", "", "btnUpdate")});
    QCOMPARE(Everyone().size(), before + 1);
    QVERIFY(w->openPerson()->id != open);
  }

  // Each unusable file is said once at start-up and left byte for byte;
  // the windows work on, with the 名簿 commands off and saying why.
  void unusableDatabases() {
    std::mt19937 random(16);
    struct Case {
      const char* what;
      std::function<void(const QString&)> spoil;
      const char* message;
    };
    std::unique_ptr<LockHolder> lock;
    const std::vector<Case> cases = {
        {"locked", [&](const QString& p) { lock = std::make_unique<LockHolder>(p); }, "書き込み中"},
        {"read-only", [](const QString& p) { QVERIFY(chmod(QFile::encodeName(p).constData(), 0444) == 0); },
         "読み取り専用"},
        {"random bytes", [&](const QString& p) {
           QFile f(p);
           QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
           QByteArray bytes(8192, '\0');
           for (char& c : bytes) c = char(random());
           f.write(bytes);
         }, "壊れている"},
        {"newer", [](const QString& p) { RawSql(p, {"PRAGMA user_version = 99"}); }, "新しい版"},
    };
    for (const Case& c : cases) {
      const QString path = dir.filePath(QString::fromLatin1(c.what) + ".sqlite");
      {
        auto store = Store::Open(path);
        QVERIFY(store);
        Person p;
        p.name = "鈴木";
        p.inputs.year = 1990, p.inputs.month = 1, p.inputs.day = 1, p.inputs.hour = "?";
        QVERIFY(store->Add(p));
      }
      for (const char* side : {"-wal", "-shm"}) QFile::remove(path + side);
      c.spoil(path);
      if (QTest::currentTestFailed()) return;
#ifndef TORVELA_STORE_HELPER
      if (lock) QSKIP("no helper to hold the lock");
#endif
      if (lock) QVERIFY(lock->holding());
      const QByteArray before = Sha256(path);
      {
        // Read-only binds only for an ordinary user, not for root.
        std::optional<storetest::Unprivileged> nobody;
        if (QByteArray(c.what) == "read-only") nobody.emplace();
        ModalCatcher catcher;
        Startup startup(DataDir(), 20, path);
        std::optional<int> ended;
        startup.endProgram = [&](int status) { ended = status; };
        startup.Begin();
        QTRY_VERIFY_WITH_TIMEOUT(!catcher.text.isEmpty(), 10000);
        mainform01* m = startup.mainWindow();
        QVERIFY(m && m->isVisible() && !m->people());
        QVERIFY2(catcher.text.contains(QString::fromUtf8(c.message)), qPrintable(c.what + (": " + catcher.text)));
        QVERIFY(catcher.informative.contains("名簿を使わずに続けます"));
        QCOMPARE(catcher.othersShown, QStringList{"mainform01"});
        for (QAction* a : {m->mnuSave, m->mnuOpen, m->mnuExport, m->mnuImport}) {
          QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
          QCOMPARE(a->toolTip(), m->peopleProblem());
        }
        // A chart, and what goes with it, as ever.
        m->clock = [] { return kNow; };
        m->yearPicker()->Decide(1980);
        for (auto [list, text] : {std::pair{m->mSelect, "3"}, {m->dSelect, "1"}, {m->hSelect, "?"}}) Pick(list, text);
        m->fInput->click();
        QCOMPARE(m->chartView->texts().yKan, "庚");
        QVERIFY(m->mnuCopy->isEnabled() && m->mnuPdf->isEnabled() && !m->mnuSave->isEnabled());
        m->close();
        QCOMPARE(ended, std::optional<int>(0));
      }
      lock.reset();
      QCOMPARE(Sha256(path), before);
    }
  }

  // An import with a bad row asks and adds nothing when declined; the
  // good ones when accepted; the 名簿 written out reads back whole.
  void csvImportAsksFirst() {
    LoadWith(Db());
    const QString csv = dir.filePath("import.csv");
    {
      std::vector<Person> people(3);
      for (int i = 0; i < 3; ++i) {
        people[i].name = QStringLiteral("人%1").arg(i);
        people[i].inputs.year = 1970 + i, people[i].inputs.month = 2, people[i].inputs.day = i == 2 ? 30 : 28;
        people[i].inputs.hour = "?";
      }
      QFile f(csv);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(torvela::store::ToCsv(people));  // 1972-02-30 is no date
    }
    answerFile = [&](const mainform01::FileQuestion& q) {
      return q.save ? QString() : csv;
    };
    {
      Responder r({Press("追加しない")});
      w->mnuImport->trigger();
      QTRY_VERIFY(r.done());
      QCOMPARE(r.boxes.size(), 1);
      QVERIFY2(r.boxes[0].contains("1行") && r.boxes[0].contains("4行目"), qPrintable(r.boxes[0]));
    }
    QCOMPARE(Everyone().size(), 0u);
    {
      Responder r({Press("2人を追加する"), Ok()});
      w->mnuImport->trigger();
      QTRY_VERIFY(r.done());
      QVERIFY2(r.boxes.value(1).contains("2人を名簿に追加しました"), qPrintable(r.boxes.join('\n')));
    }
    QCOMPARE(Everyone().size(), 2u);

    const QString out = dir.filePath("export.csv");
    answerFile = [&](const mainform01::FileQuestion& q) {
      return q.save && q.suffix == "csv" ? out : QString();
    };
    {
      Responder r({Ok()});
      w->mnuExport->trigger();
      QTRY_VERIFY(r.done());
    }
    const auto back = torvela::store::ReadCsvFile(out);
    QVERIFY(back && back->good.size() == 2 && back->bad.empty());
  }

  // Printed (a PDF printer stands in for the dialog), saved as PDF and as
  // PNG: the page holds the name and the eight characters of the chart on
  // screen, even after the inputs have moved on.
  void printPdfImage() {
    LoadWith(Db());
    // In summer time: the page has a notice to hold.
    Show({1949, 7, 1, "10", "5", false, "-18", "30", nullptr});
    Save({Fill("田中 一", "", "", "btnAdd")});
    const ChartNotes notes = w->chartView->notes();
    QVERIFY(!notes.notices.isEmpty() && notes.reading);
    Pick(w->hSelect, "7");  // the chart on screen stays that of 0時10分
    QVERIFY(w->chartView->outOfDate());

    const QString printed = dir.filePath("printed.pdf"), pdf = dir.filePath("saved.pdf"),
                  png = dir.filePath("chart.png");
    w->askPrinter = [&](QPrinter& printer) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(printed);
      return true;
    };
    QString suggested;
    answerFile = [&](const mainform01::FileQuestion& q) {
      suggested = QFileInfo(q.suggested).fileName();
      return q.suffix == "pdf" ? pdf : q.suffix == "png" ? png : QString();
    };
    w->mnuPrint->trigger();
    w->mnuPdf->trigger();
    QCOMPARE(suggested, "田中 一の命式.pdf");
    const torvela::chart::ChartTexts& t = w->chartView->texts();
    for (const QString& file : {printed, pdf}) {
      const QString text = PdfText(file);
      QVERIFY2(text.contains("田中 一") && text.contains("1949年7月1日10時05分"), qPrintable(file + '\n' + text));
      // The term lines, the start of the first notice and the reading table.
      QVERIFY2(text.contains(notes.prevTerm.left(8)) && text.contains(notes.notices[0].left(8)) &&
                   text.contains("通変星"),
               qPrintable(text));
      // The stems and branches in one row each, hour to year from the left.
      QString stems, branches;
      for (const auto& [kan, shi] : {std::pair{t.hKan, t.hShi}, {t.dKan, t.dShi}, {t.mKan, t.mShi}, {t.yKan, t.yShi}})
        stems += QString::fromStdString(kan), branches += QString::fromStdString(shi);
      QString squeezed = text;
      squeezed.remove(' ');
      QVERIFY2(squeezed.contains(stems) && squeezed.contains(branches), qPrintable(stems + branches + '\n' + text));
    }
    // The picture is twice the chart's size, in the chart's ink rather than
    // the grey that says the inputs moved on; a folder that is not there is said.
    w->mnuImage->trigger();
    const QImage image(png);
    QCOMPARE(image.size(), w->chartView->size() * 2);
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) ink += qGray(image.pixel(x, y)) < 100;
    QVERIFY2(ink > 500, qPrintable(QString::number(ink)));
    QVERIFY(w->chartView->outOfDate());  // still greyed on screen
    const QString missing = dir.filePath("なし/命式.png");
    answerFile = [&](const mainform01::FileQuestion&) { return missing; };
    Responder r({Ok()});
    w->mnuImage->trigger();
    QTRY_VERIFY(r.done());
    QVERIFY2(r.boxes.value(0).startsWith("画像ファイルを書き込めません"), qPrintable(r.boxes.join('\n')));
    QVERIFY(!QFile::exists(missing));
  }

  // Ctrl+S, Ctrl+Shift+C and Ctrl+O from a text box: the person is kept,
  // the text torvela-cli prints for them is copied, the 名簿 window opens.
  void keysAndCopiedText() {
    LoadWith(Db());
    Show({1975, 5, 5, "14", "30", true, "", "", "fukuoka"});
    Activate(w.get());
    w->txtJisahun->setFocus(Qt::MouseFocusReason);
    {
      Responder r({Fill("木村", "", "", "btnAdd")});
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
      QTRY_VERIFY(r.done());
    }
    QCOMPARE(Everyone().size(), 1u);
    Activate(w.get());
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), w->ShownText());
#ifdef TORVELA_CLI
    QProcess cli;
    cli.start(QStringLiteral(TORVELA_CLI), {"--now", "2026-12-06T12:00", "--data", QString::fromStdString(DataDir()),
                                            "--db", Db(), "--person", "木村"});
    QVERIFY(cli.waitForFinished(60000));
    QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());
    const QString printed = QString::fromUtf8(cli.readAllStandardOutput());
    QCOMPARE(QGuiApplication::clipboard()->text().split('\n'), printed.split('\n'));
#endif
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::ControlModifier);
    QVERIFY(w->peopleWindow() && w->peopleWindow()->isVisible());
    QCOMPARE(w->peopleWindow()->model()->rowCount(), 1);
  }

  // The command line of the window program.
  void arguments() {
    const struct {
      QStringList args;
      QString database;
      std::optional<int> exit;
      QString message;
    } rows[] = {
        {{"torvela"}, "", std::nullopt, ""},
        {{"torvela", "--db", "a.sqlite"}, "a.sqlite", std::nullopt, ""},
        {{"torvela", "--db=b.sqlite"}, "b.sqlite", std::nullopt, ""},
        {{"torvela", "--frobnicate", "--db", "c"}, "c", std::nullopt, "「--frobnicate」は使えません"},
        {{"torvela", "--db"}, "", 2, "--db のあとに"},
        {{"torvela", "--db="}, "", 2, "--db のあとに"},
        {{"torvela", "-h"}, "", 0, "使い方: torvela"},
    };
    for (const auto& row : rows) {
      const Arguments a = ParseArguments(row.args);
      QCOMPARE(a.database, row.database);
      QCOMPARE(a.exitWith, row.exit);
      QVERIFY2(row.message.isEmpty() ? a.messages.isEmpty() : a.messages.join('\n').contains(row.message),
               qPrintable(a.messages.join('\n')));
    }
  }

  void names() {
    QCOMPARE(SuggestedFileName("", "pdf"), "命式.pdf");
    QCOMPARE(SuggestedFileName(" a/b:c ", "png"), "a_b_cの命式.png");
    std::vector<torvela::store::CsvRowProblem> bad;
    for (int i = 2; i < 15; ++i) bad.push_back({i, "x"});
    QCOMPARE(CsvProblemsText(bad, 2), "2行目: x\n3行目: x\nほか 11 行");
  }
};

QTEST_MAIN(TestKeeping)
#include "test_keeping.moc"
