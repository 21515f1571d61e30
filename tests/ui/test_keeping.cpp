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

// Answers the modal windows as they come, one step each, noting the text
// and informative text of every message box.
struct Responder : QObject {
  using Step = std::function<void(QWidget*)>;
  std::deque<Step> steps;
  QStringList boxes;
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

// 名簿に保存's question answered: a name, reading and memo typed, then a button.
Responder::Step Fill(const QString& name, const char* button, const QString& reading = {},
                     const QString& memo = {}, QString* shownName = nullptr) {
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
  return p.waitForFinished(30000) && p.exitCode() == 0 ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

// A process of its own that holds the 名簿's write lock until it is killed.
struct LockHolder {
  QProcess process;
  explicit LockHolder([[maybe_unused]] const QString& path) {
#ifdef TORVELA_STORE_HELPER
    process.start(QStringLiteral(TORVELA_STORE_HELPER), {QStringLiteral("hold"), path});
    process.waitForReadyRead(10000);
#endif
  }
  bool holding() { return process.readAll().startsWith("locked"); }
  ~LockHolder() { process.kill(), process.waitForFinished(); }
};

}  // namespace

Q_DECLARE_METATYPE(Birth)

class TestKeeping : public MainWindowTest {
  Q_OBJECT

  QTemporaryDir dir;
  QString Db() const { return dir.filePath(QStringLiteral("名簿.sqlite")); }
  // Files are chosen here, not in a dialog.
  std::function<QString(const mainform01::FileQuestion&)> answerFile;

  void LoadWith(const QString& db) {
    Load();
    if (QTest::currentTestFailed()) return;
    w->OpenPeople(db);
    QVERIFY2(w->people(), qPrintable(w->peopleProblem()));
    w->askFile = [this](const mainform01::FileQuestion& q) { return answerFile ? answerFile(q) : QString(); };
  }

  void Show(const Birth& b) {
    if (b.ownSettings)
      for (QAction* a : {w->momentMenu->mnuDst, w->momentMenu->mnuBefore1888Lmt, w->momentMenu->mnuMargin10})
        a->trigger();
    EnterBirth(b.year, b.month, b.day, b.hour, b.minute);
    if (QTest::currentTestFailed()) return;
    QTest::mouseClick(b.male ? w->optM : w->optW, Qt::LeftButton);
    if (b.place) {
      w->txtPlace->setFocus();
      QTest::keyClicks(w->txtPlace, b.place);
      QTest::keyClick(w->txtPlace, Qt::Key_Return);
      QVERIFY2(w->txtPlace->chosenPlace(), b.place);
    } else {
      w->txtJisahun->setText(b.jisahun);
      w->txtJisabyo->setText(b.jisabyo);
    }
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    QVERIFY(w->chartView->hasChart());
  }

  // The inputs as shown, which of them take input, and the chart as shown,
  // control by control, the bold column marked.
  QStringList Shown() const {
    QStringList v{w->yearPicker()->lblSelect_y->text(), w->txtBirthday->text()};
    for (QComboBox* c : {w->mSelect, w->dSelect, w->hSelect, w->mtSelect})
      v << c->currentText() + (c->isEnabled() ? "" : " (off)");
    v << (w->optM->isChecked() ? "男" : "女") << w->txtJisahun->text() << w->txtJisabyo->text()
      << w->txtPlace->text() << w->lblPlacePoint->text() << (w->fInput->isEnabled() ? "display" : "no display");
    for (const auto& [name, text] : torvela::chart::ChartTexts().Items()) {
      const auto* c = w->chartView->findChild<QWidget*>(QString::fromStdString(name));
      const auto* l = qobject_cast<const QLabel*>(c);
      v << QString::fromStdString(name) + '=' + (c ? c->property("text").toString() : "<missing>") +
               (l && l->font().bold() ? "*" : "");
    }
    const ChartNotes& notes = w->chartView->notes();
    return v << notes.prevTerm << notes.nextTerm << notes.notices;
  }

  // Runs what brings up modal windows, answering them with these steps.
  QStringList Answered(const std::function<void()>& what, std::initializer_list<Responder::Step> steps) {
    Responder r(steps);
    what();
    if (!QTest::qWaitFor([&] { return r.done(); })) QTest::qFail("modal windows left unanswered", __FILE__, __LINE__);
    return r.boxes;
  }
  void Save(std::initializer_list<Responder::Step> steps) { Answered([this] { w->mnuSave->trigger(); }, steps); }

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
    answerFile = nullptr;
  }

  // Kept, the window closed, a new one opened on the same file: the person
  // comes back with the same inputs, settings, chart and name in the title.
  void saveCloseReopen_data() {
    QTest::addColumn<Birth>("birth");
    QTest::newRow("full-width digits") << Birth{1975, 5, 5, "14", "?", true, "－１３", "５", nullptr};
    QTest::newRow("unknown hour") << Birth{2000, 2, 29, "?", "", true, "0", "0", nullptr};
    QTest::newRow("place, settings") << Birth{1949, 7, 1, "10", "0", false, "", "", "chiyoda", true};
  }
  void saveCloseReopen() {
    QFETCH(Birth, birth);
    LoadWith(Db());
    QVERIFY(!w->mnuSave->isEnabled() && !w->mnuPrint->isEnabled() && !w->mnuCopy->isEnabled());
    Show(birth);
    const QStringList shown = Shown();
    QString offered;
    Save({Fill("山田 花子", "btnAdd", "やまだ はなこ", "メモ, \"引用\"\n二行目", &offered)});
    QCOMPARE(offered, QString());  // nobody open yet
    const auto kept = Everyone();
    QVERIFY(kept.size() == 1 && kept[0].memo == "メモ, \"引用\"\n二行目");
    QCOMPARE(kept[0].inputs.moment.has_value(), birth.ownSettings);

    Unload();
    LoadWith(Db());
    QVERIFY(!w->windowTitle().contains("山田"));
    // The person's settings, the defaults when they have none, replace these.
    w->momentMenu->mnuMargin60->trigger();
    w->mnuOpen->trigger();
    PeopleWindow* p = w->peopleWindow();
    p->txtSearch->setText("やまだ");
    QCOMPARE(p->model()->rowCount(), 1);
    QTest::keyClick(p->txtSearch, Qt::Key_Return);
    QVERIFY(!p->isVisible() && !w->yearPicker()->isVisible() && w->centralWidget()->isEnabled());
    QCOMPARE(KeptMoment(w->momentMenu->settings()), kept[0].inputs.moment);
    QCOMPARE(Shown(), shown);
    QVERIFY(!w->chartView->outOfDate() && w->windowTitle().endsWith("山田 花子"));
  }

  // Saving an opened person writes over them, or adds another after asking;
  // a new chart no longer carries the name; 削除 asks; a person deleted
  // meanwhile is kept again as new.
  void updateAndDelete() {
    LoadWith(Db());
    Show({1980, 3, 1, "0", "10", false, "-18", "30", nullptr});
    Save({Fill("佐藤一郎", "btnAdd")});
    Pick(w->hSelect, "5");
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    QCOMPARE(w->ShownName(), QString());
    QVERIFY(w->windowTitle().endsWith("佐藤一郎（変更あり）"));
    QString offered;
    Save({Fill("佐藤一郎", "btnUpdate", "さとう", "", &offered)});
    QCOMPARE(offered, "佐藤一郎");
    const auto kept = Everyone();
    QVERIFY(kept.size() == 1 && kept[0].inputs.hour == "5" && kept[0].reading == "さとう");

    Save({Fill("佐藤一郎", "btnAdd"), Press("やめる")});
    QCOMPARE(Everyone().size(), 1u);
    Save({Fill("佐藤一郎", "btnAdd"), Press("追加する")});
    QCOMPARE(Everyone().size(), 2u);

    w->mnuOpen->trigger();
    PeopleWindow* p = w->peopleWindow();
    Answered([p] { p->btnDelete->click(); }, {Press("削除する")});
    QCOMPARE(p->model()->rowCount(), 1);
    QCOMPARE(Everyone().size(), 1u);
    p->close();
    const qint64 open = w->openPerson()->id;
    static_cast<void>(w->people()->Remove(open));
    const std::size_t before = Everyone().size();
    Save({Fill("佐藤一郎", "btnUpdate")});
    QCOMPARE(Everyone().size(), before + 1);
    QVERIFY(w->openPerson()->id != open);
  }

  // Each unusable file is said once at start-up and left byte for byte;
  // the windows work on, with the 名簿 commands off and saying why.
  void unusableDatabases() {
    std::mt19937 random(16);
    std::unique_ptr<LockHolder> lock;
    const std::pair<const char*, std::function<void(const QString&)>> cases[] = {
        {"書き込み中", [&](const QString& p) { lock = std::make_unique<LockHolder>(p); }},
        {"読み取り専用", [](const QString& p) { QVERIFY(chmod(QFile::encodeName(p).constData(), 0444) == 0); }},
        {"壊れている", [&](const QString& p) {
           QFile f(p);
           QByteArray bytes(8192, '\0');
           for (char& c : bytes) c = char(random());
           QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size());
         }},
        {"新しい版", [](const QString& p) {
           {
             QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
             db.setDatabaseName(p);
             QVERIFY(db.open() && QSqlQuery(db).exec("PRAGMA user_version = 99"));
           }
           QSqlDatabase::removeDatabase(QStringLiteral("raw"));
         }},
    };
    for (const auto& [message, spoil] : cases) {
      const QString what = QString::fromUtf8(message), path = dir.filePath(what + ".sqlite");
      {
        auto store = Store::Open(path);
        Person p;
        p.name = "鈴木";
        p.inputs.year = 1990, p.inputs.month = 1, p.inputs.day = 1, p.inputs.hour = "?";
        QVERIFY(store && store->Add(p));
      }
      for (const char* side : {"-wal", "-shm"}) QFile::remove(path + side);
      spoil(path);
      if (QTest::currentTestFailed()) return;
#ifndef TORVELA_STORE_HELPER
      if (lock) QSKIP("no helper to hold the lock");
#endif
      QVERIFY(!lock || lock->holding());
      const QByteArray before = Sha256(path);
      {
        // Read-only binds only for an ordinary user, not for root.
        std::optional<storetest::Unprivileged> nobody;
        if (what == "読み取り専用") nobody.emplace();
        ModalCatcher catcher;
        Startup startup(DataDir(), 20, path);
        std::optional<int> ended;
        startup.endProgram = [&](int status) { ended = status; };
        startup.Begin();
        QTRY_VERIFY_WITH_TIMEOUT(!catcher.text.isEmpty(), 10000);
        mainform01* m = startup.mainWindow();
        QVERIFY(m && m->isVisible() && !m->people());
        QVERIFY2(catcher.text.contains(what) && catcher.informative.contains("名簿を使わずに続けます"),
                 qPrintable(catcher.text));
        QCOMPARE(catcher.othersShown, QStringList{"mainform01"});
        for (QAction* a : {m->mnuSave, m->mnuOpen, m->mnuExport, m->mnuImport})
          QVERIFY2(!a->isEnabled() && a->toolTip() == m->peopleProblem(), qPrintable(a->objectName()));
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

  // An import with a bad row asks and adds nothing when declined, the good
  // ones when accepted; the 名簿 written out reads back whole.
  void csvImportAsksFirst() {
    LoadWith(Db());
    const QString csv = dir.filePath("import.csv"), out = dir.filePath("export.csv");
    {
      std::vector<Person> people(3);
      for (int i = 0; i < 3; ++i) {
        people[i].name = QStringLiteral("人%1").arg(i);
        people[i].inputs.year = 1970 + i, people[i].inputs.month = 2, people[i].inputs.day = i == 2 ? 30 : 28;
        people[i].inputs.hour = "?";
      }
      QFile f(csv);
      QVERIFY(f.open(QIODevice::WriteOnly) && f.write(torvela::store::ToCsv(people)) > 0);  // 1972-02-30 is no date
    }
    answerFile = [&](const mainform01::FileQuestion& q) { return q.save ? out : csv; };
    const auto import = [this] { w->mnuImport->trigger(); };
    const QStringList asked = Answered(import, {Press("追加しない")});
    QVERIFY2(asked.size() == 1 && asked[0].contains("1行") && asked[0].contains("4行目"), qPrintable(asked.join('\n')));
    QCOMPARE(Everyone().size(), 0u);
    const QStringList added = Answered(import, {Press("2人を追加する"), Press("OK")});
    QVERIFY2(added.value(1).contains("2人を名簿に追加しました"), qPrintable(added.join('\n')));
    QCOMPARE(Everyone().size(), 2u);

    Answered([this] { w->mnuExport->trigger(); }, {Press("OK")});
    const auto back = torvela::store::ReadCsvFile(out);
    QVERIFY(back && back->good.size() == 2 && back->bad.empty());
  }

  // Printed (a PDF printer stands in for the dialog), saved as PDF and as
  // PNG: the page holds the name, the inputs, the eight characters, terms,
  // notices and reading of the chart on screen, even after the inputs have
  // moved on; a folder that is not there is said.
  void printPdfImage() {
    LoadWith(Db());
    Show({1949, 7, 1, "10", "5", false, "-18", "30", nullptr});  // in summer time: a notice
    Save({Fill("田中 一", "btnAdd")});
    const ChartNotes notes = w->chartView->notes();
    QVERIFY(!notes.notices.isEmpty() && notes.reading);
    Pick(w->hSelect, "7");
    QVERIFY(w->chartView->outOfDate());

    const QString printed = dir.filePath("printed.pdf"), pdf = dir.filePath("saved.pdf"), png = dir.filePath("c.png");
    w->askPrinter = [&](QPrinter& printer) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(printed);
      return true;
    };
    QString suggested;
    answerFile = [&](const mainform01::FileQuestion& q) {
      suggested = QFileInfo(q.suggested).fileName();
      return q.suffix == "pdf" ? pdf : png;
    };
    w->mnuPrint->trigger();
    w->mnuPdf->trigger();
    QCOMPARE(suggested, "田中 一の命式.pdf");
    const torvela::chart::ChartTexts& t = w->chartView->texts();
    QString stems, branches;  // one row each, hour to year from the left
    for (const auto& [kan, shi] : {std::pair{t.hKan, t.hShi}, {t.dKan, t.dShi}, {t.mKan, t.mShi}, {t.yKan, t.yShi}})
      stems += QString::fromStdString(kan), branches += QString::fromStdString(shi);
    for (const QString& file : {printed, pdf}) {
      const QString text = PdfText(file);
      QString squeezed = text;
      squeezed.remove(' ');
      QVERIFY2(text.contains("田中 一") && text.contains("1949年7月1日10時05分") &&
                   text.contains(notes.prevTerm.left(8)) && text.contains(notes.notices[0].left(8)) &&
                   text.contains("通変星") && squeezed.contains(stems) && squeezed.contains(branches),
               qPrintable(file + '\n' + stems + branches + '\n' + text));
    }
    // Twice the chart's size, in the chart's ink rather than the grey that
    // says the inputs moved on.
    w->mnuImage->trigger();
    const QImage image(png);
    QCOMPARE(image.size(), w->chartView->size() * 2);
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) ink += qGray(image.pixel(x, y)) < 100;
    QVERIFY2(ink > 500 && w->chartView->outOfDate(), qPrintable(QString::number(ink)));
    const QString missing = dir.filePath("なし/命式.png");
    answerFile = [&](const mainform01::FileQuestion&) { return missing; };
    const QStringList said = Answered([this] { w->mnuImage->trigger(); }, {Press("OK")});
    QVERIFY2(said.value(0).startsWith("画像ファイルを書き込めません") && !QFile::exists(missing),
             qPrintable(said.join('\n')));
  }

  // Ctrl+S, Ctrl+Shift+C and Ctrl+O from a text box: the person is kept,
  // the text torvela-cli prints for them is copied, the 名簿 window opens.
  void keysAndCopiedText() {
    LoadWith(Db());
    Show({1975, 5, 5, "14", "30", true, "", "", "fukuoka"});
    Activate(w.get());
    w->txtJisahun->setFocus(Qt::MouseFocusReason);
    Answered([] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier); },
             {Fill("木村", "btnAdd")});
    QCOMPARE(Everyone().size(), 1u);
    Activate(w.get());
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    const QString copied = QGuiApplication::clipboard()->text();
    QCOMPARE(copied, w->ShownText());
#ifdef TORVELA_CLI
    QProcess cli;
    cli.start(QStringLiteral(TORVELA_CLI), {"--now", "2026-12-06T12:00", "--data", QString::fromStdString(DataDir()),
                                            "--db", Db(), "--person", "木村"});
    QVERIFY(cli.waitForFinished(60000));
    QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());
    QCOMPARE(copied.split('\n'), QString::fromUtf8(cli.readAllStandardOutput()).split('\n'));
#endif
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::ControlModifier);
    QVERIFY(w->peopleWindow() && w->peopleWindow()->isVisible());
    QCOMPARE(w->peopleWindow()->model()->rowCount(), 1);
  }

  // The command line of the window program, and the names the files are
  // offered under.
  void argumentsAndNames() {
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
      QVERIFY2(a.database == row.database && a.exitWith == row.exit &&
                   (row.message.isEmpty() ? a.messages.isEmpty() : a.messages.join('\n').contains(row.message)),
               qPrintable(row.args.join(' ') + ": " + a.messages.join('\n')));
    }
    QCOMPARE(SuggestedFileName("", "pdf"), "命式.pdf");
    QCOMPARE(SuggestedFileName(" a/b:c ", "png"), "a_b_cの命式.png");
    std::vector<torvela::store::CsvRowProblem> bad;
    for (int i = 2; i < 15; ++i) bad.push_back({i, "x"});
    QCOMPARE(CsvProblemsText(bad, 2), "2行目: x\n3行目: x\nほか 11 行");
  }
};

QTEST_MAIN(TestKeeping)
#include "test_keeping.moc"
