// The 名簿 window: typing narrows the list, a header click sorts, Enter or a
// double-click hands the person over, 削除 asks first; a 名簿 that cannot be
// opened is said in the window, which still opens and closes.
#include <sys/stat.h>

#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QtWidgets>

#include "../store/Unprivileged.h"
#include "PeopleWindow.h"

using namespace torvela::store;
using torvela::ui::PeopleModel, torvela::ui::PeopleWindow;

namespace {

Person Make(const char* name, const char* reading, int year, const char* hour, const char* updated) {
  Person p;
  p.name = QString::fromUtf8(name), p.reading = QString::fromUtf8(reading);
  p.inputs = {year, 3, 5, QString::fromUtf8(hour), QStringLiteral("5"), Sex::Male,
              QStringLiteral("0"), QStringLiteral("0"), {}, {}, std::nullopt};
  p.created = p.updated = UtcFromText(QString::fromLatin1(updated));
  return p;
}

QStringList Column(const PeopleWindow& w, int column) {
  QStringList texts;
  for (int r = 0; r < w.model()->rowCount(); ++r)
    texts << w.model()->index(r, column).data().toString();
  return texts;
}

// Typed as an input method commits it (keyClicks takes Latin-1 only).
void Type(QWidget* box, const QString& text) {
  QInputMethodEvent commit;
  commit.setCommitString(text);
  QApplication::sendEvent(box, &commit);
}

// Clicks the button of this text in the next modal box, noting its text.
struct Answer : QObject {
  explicit Answer(QString button) : button(std::move(button)) {
    connect(&timer, &QTimer::timeout, this, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      text = box->text();
      for (QAbstractButton* b : box->buttons()) {
        buttons << b->text();
        if (b->text() == this->button) b->click();
      }
    });
    timer.start(10);
  }
  QString button, text;
  QStringList buttons;
  QTimer timer;
};

QByteArray Sha256(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                                     : QByteArray();
}

}  // namespace

class PeopleWindowTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir;
  std::optional<Store> store;
  std::unique_ptr<PeopleWindow> w;

  QString Path() const { return dir.filePath(QStringLiteral("torvela.sqlite")); }

 private slots:
  void init() {
    OpenOptions options;
    options.busyTimeoutMs = 200;
    auto opened = Store::Open(Path(), options);
    QVERIFY2(opened, qPrintable(opened.error().message));
    store.emplace(std::move(*opened));
    QVERIFY(store->AddAll({Make("山田 太郎", "やまだ たろう", 1975, "14", "2026-01-03T00:00:00Z"),
                           Make("ヤマモト花子", "", 1990, "?", "2026-01-01T00:00:00Z"),
                           Make("佐藤 一", "さとう はじめ", 1960, "3", "2026-01-02T00:00:00Z")}));
    w = std::make_unique<PeopleWindow>();
    w->SetStore(&*store);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  }
  void cleanup() {
    w.reset();
    store.reset();
    QFile::remove(Path());
  }

  void typingNarrowsTheList() {
    QCOMPARE(Column(*w, PeopleModel::Name), QStringList({"佐藤 一", "山田 太郎", "ヤマモト花子"}));
    QCOMPARE(w->lblStatus->text(), QStringLiteral("3人"));
    const std::pair<QString, QStringList> steps[] = {
        {QStringLiteral("ﾔ"), {"山田 太郎", "ヤマモト花子"}},
        {QStringLiteral("ﾏﾀﾞ"), {"山田 太郎"}},
    };
    for (const auto& [typed, names] : steps) {
      Type(w->txtSearch, typed);
      QCOMPARE(Column(*w, PeopleModel::Name), names);
    }
    QCOMPARE(w->lblStatus->text(), QStringLiteral("3人中 1人"));
    QCOMPARE(w->lstPeople->currentIndex().row(), 0);  // Enter takes the one found
    w->txtSearch->clear();
    QCOMPARE(w->model()->rowCount(), 3);
  }

  void headerClickSorts() {
    auto* header = w->lstPeople->horizontalHeader();
    auto click = [&](int column) {
      const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    };
    click(PeopleModel::Birth);
    QCOMPARE(Column(*w, PeopleModel::Birth),
             QStringList({"1960年3月5日3時5分", "1975年3月5日14時5分", "1990年3月5日出生時間不明"}));
    click(PeopleModel::Birth);
    QCOMPARE(Column(*w, PeopleModel::Name), QStringList({"ヤマモト花子", "山田 太郎", "佐藤 一"}));
    click(PeopleModel::Updated);
    QCOMPARE(Column(*w, PeopleModel::Name), QStringList({"ヤマモト花子", "佐藤 一", "山田 太郎"}));
  }

  void enterOrDoubleClickChooses() {
    QSignalSpy chosen(w.get(), &PeopleWindow::personChosen);
    Type(w->txtSearch, QStringLiteral("さとう"));
    QTest::keyClick(w->txtSearch, Qt::Key_Return);
    QCOMPARE(chosen.size(), 1);
    const auto person = chosen.at(0).at(0).value<Person>();
    QCOMPARE(person, *store->Get(person.id));
    QCOMPARE(person.name, QStringLiteral("佐藤 一"));
    QVERIFY(!w->isVisible());

    w->txtSearch->clear();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    const QRect cell = w->lstPeople->visualRect(w->model()->index(1, PeopleModel::Birth));
    // A double-click arrives as a click, then the double-click event.
    QTest::mouseClick(w->lstPeople->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(chosen.size(), 1);  // a single click only selects
    QTest::mouseDClick(w->lstPeople->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(chosen.size(), 2);
    QCOMPARE(chosen.at(1).at(0).value<Person>().name, QStringLiteral("山田 太郎"));

    w->show();
    w->lstPeople->setFocus();
    QTest::keyClick(w->lstPeople, Qt::Key_Down);
    QTest::keyClick(w->lstPeople, Qt::Key_Enter);
    QCOMPARE(chosen.size(), 3);
    QCOMPARE(chosen.at(2).at(0).value<Person>().name, QStringLiteral("ヤマモト花子"));
  }

  void deleteAsksFirst() {
    w->lstPeople->setCurrentIndex(w->model()->index(1, 0));  // 山田 太郎
    {
      Answer no(QStringLiteral("やめる"));
      QTest::mouseClick(w->btnDelete, Qt::LeftButton);
      QVERIFY(no.text.contains(QStringLiteral("「山田 太郎」を名簿から削除しますか")));
      no.buttons.sort();
      QCOMPARE(no.buttons, QStringList({"やめる", "削除する"}));
    }
    QCOMPARE(store->List()->size(), 3u);
    {
      Answer yes(QStringLiteral("削除する"));
      QTest::keyClick(w->lstPeople, Qt::Key_Delete);
      QVERIFY(!yes.text.isEmpty());
    }
    QCOMPARE(store->List()->size(), 2u);
    QCOMPARE(Column(*w, PeopleModel::Name), QStringList({"佐藤 一", "ヤマモト花子"}));
    QCOMPARE(w->lstPeople->currentIndex().row(), 1);
  }

  // Another program holds the write lock: the deletion is reported, the
  // person stays, the window goes on.
  void deleteWhileLocked() {
    {
      QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
      other.setDatabaseName(Path());
      QVERIFY(other.open());
      QSqlQuery hold(other);
      QVERIFY(hold.exec(QStringLiteral("BEGIN IMMEDIATE")));
      Answer yes(QStringLiteral("削除する"));
      Answer ok(QStringLiteral("OK"));
      QTest::mouseClick(w->btnDelete, Qt::LeftButton);
      QVERIFY2(ok.text.contains(QStringLiteral("書き込み中")), qPrintable(ok.text));
      hold.exec(QStringLiteral("ROLLBACK"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    QCOMPARE(w->model()->rowCount(), 3);
    QCOMPARE(store->List()->size(), 3u);
  }

  // Files the 名簿 cannot use: the window says why, offers nothing, closes;
  // the file is as it was.
  void unusableFilesAreSaid_data() {
    QTest::addColumn<QString>("spoil");
    QTest::addColumn<QString>("message");
    QTest::newRow("damaged") << "damaged" << "壊れているか";
    QTest::newRow("newer") << "newer" << "新しい版";
    QTest::newRow("locked") << "locked" << "書き込み中";
    QTest::newRow("read-only") << "read-only" << "読み取り専用";
  }
  void unusableFilesAreSaid() {
    QFETCH(QString, spoil);
    QFETCH(QString, message);
    w.reset();
    store.reset();
    const QString path = Path();
    std::optional<QSqlDatabase> holder;
    if (spoil == "damaged") {
      QFile f(path);
      QVERIFY(f.open(QIODevice::ReadWrite));
      f.write(QByteArray(64, '\x5a'));
    } else if (spoil == "newer") {
      QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("newer"));
      db.setDatabaseName(path);
      QVERIFY(db.open());
      QVERIFY(QSqlQuery(db).exec(QStringLiteral("PRAGMA user_version = 99")));
      db.close();
    } else if (spoil == "locked") {
      holder = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
      holder->setDatabaseName(path);
      QVERIFY(holder->open());
      QVERIFY(QSqlQuery(*holder).exec(QStringLiteral("BEGIN EXCLUSIVE")));
    } else {
      QCOMPARE(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
      QCOMPARE(chmod(QFile::encodeName(path).constData(), 0444), 0);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("newer"));
    const QByteArray before = Sha256(path);
    std::optional<Expected<Store>> opened;
    {
      std::optional<storetest::Unprivileged> nobody;
      if (spoil == "read-only" && nobody.emplace().failed()) QSKIP("cannot become an ordinary user");
      OpenOptions options;
      options.busyTimeoutMs = 100;
      opened.emplace(Store::Open(path, options));
    }
    QVERIFY(!*opened);
    QVERIFY2(opened->error().message.contains(message), qPrintable(opened->error().message));

    w = std::make_unique<PeopleWindow>();
    w->SetStore(nullptr, opened->error().message);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QCOMPARE(w->lblStatus->text(), opened->error().message);
    QVERIFY(!w->lstPeople->isEnabled() && !w->btnOpen->isEnabled() && !w->btnDelete->isEnabled());
    QSignalSpy chosen(w.get(), &PeopleWindow::personChosen);
    QTest::mouseClick(w->btnOpen, Qt::LeftButton);
    QTest::keyClick(w->lstPeople, Qt::Key_Return);
    QCOMPARE(chosen.size(), 0);
    QTest::mouseClick(w->btnClose, Qt::LeftButton);
    QVERIFY(!w->isVisible());
    QCOMPARE(Sha256(path), before);

    if (holder) {
      holder->close();
      holder.reset();
      QSqlDatabase::removeDatabase(QStringLiteral("holder"));
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
  }
};

QTEST_MAIN(PeopleWindowTest)
#include "test_peoplewindow.moc"
