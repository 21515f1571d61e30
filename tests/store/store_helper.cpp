// A second process for the 名簿 tests.
//   store_helper hold DB          takes the write lock, says "locked", waits to be killed
//   store_helper import DB N SEED opens the 名簿, says "ready", adds N people in one import, says "done"
#include <unistd.h>

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <cstdio>
#include <cstring>

#include "StoreTestSupport.h"
#include "store/Csv.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc == 3 && std::strcmp(argv[1], "hold") == 0) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(QString::fromLocal8Bit(argv[2]));
    if (!db.open()) return 1;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) return 1;
    std::puts("locked");
    std::fflush(stdout);
    for (;;) pause();
  }
  if (argc == 5 && std::strcmp(argv[1], "import") == 0) {
    using namespace torvela::store;
    auto store = Store::Open(QString::fromLocal8Bit(argv[2]));
    if (!store) return 1;
    const int n = std::atoi(argv[3]), seed = std::atoi(argv[4]);
    std::vector<Person> people;
    for (int i = 0; i < n; ++i) people.push_back(storetest::Sample(seed + i));
    // As an import does it: the CSV text is read back into people, then added.
    auto parsed = ParseCsv(ToCsv(people));
    if (!parsed || parsed->good.size() != people.size()) return 1;
    std::puts("ready");
    std::fflush(stdout);
    if (!AddCsvRows(*store, *parsed)) return 1;
    std::puts("done");
    return 0;
  }
  std::fputs("usage: store_helper hold DB | import DB N SEED\n", stderr);
  return 2;
}
