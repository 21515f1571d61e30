// Shared by the 名簿 tests and their helper process: people to keep, files
// to spoil, and a way to be an ordinary user even when the tests run as root.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCryptographicHash>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "Unprivileged.h"
#include "store/Store.h"

namespace storetest {

using namespace torvela::store;

inline QDateTime At(const char* utc) { return UtcFromText(QString::fromLatin1(utc)); }

// A spread of people: every hour and minute form, both sexes, with and
// without birthplace and settings, memos that need quoting.
inline Person Sample(int i) {
  Person p;
  p.name = QStringLiteral("山田 花子%1").arg(i);
  p.reading = i % 3 ? QStringLiteral("やまだ はなこ") : QString();
  p.memo = i % 4 == 0 ? QStringLiteral("母方の祖母, \"はな\"\r\n二行目\n三行目") : QString();
  BirthInputs& in = p.inputs;
  in.year = FirstYear + (i * 37) % (LastYear - FirstYear + 1);
  in.month = 1 + i % 12;
  in.day = 1 + (i * 7) % 28;
  in.hour = i % 11 == 0 ? QStringLiteral("?") : QString::number(i % 24);
  in.minute = i % 11 == 0 ? (i % 2 ? QString() : QStringLiteral("15"))
                          : (i % 5 == 0 ? QStringLiteral("?") : QString::number((i * 13) % 60));
  in.sex = i % 2 ? Sex::Male : Sex::Female;
  in.jisahun = QString::number(i % 40 - 20);
  in.jisabyo = i % 9 == 0 ? QStringLiteral("３０") : QString::number(i % 60);
  if (i % 3 == 1) in.placeCode = QStringLiteral("011002"), in.placeName = QStringLiteral("札幌市");
  if (i % 5 == 2) in.moment = MomentSettings{i % 2 == 0, Before1888(i % 3), i % 2 ? 10 : 60};
  return p;
}

// The person as the 名簿 gives it back, for comparing what was saved.
inline Person WithoutKeeping(Person p) {
  p.id = 0, p.created = p.updated = {};
  return p;
}

// The message of a failed result, for test output.
template <class T>
std::string Why(const Expected<T>& e) { return e.error().message.toStdString(); }

inline QByteArray Sha256(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                                     : QByteArray();
}

inline void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(f.write(bytes), bytes.size());
}

// Runs SQL on a file through a connection of its own (not the Store's),
// closed before returning; gives the first value of the last statement.
inline QVariant Sql(const QString& path, const QStringList& statements) {
  static int serial = 0;
  const QString name = QStringLiteral("raw-%1").arg(++serial);
  QVariant v;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    EXPECT_TRUE(db.open()) << path.toStdString();
    QSqlQuery q(db);
    for (const QString& sql : statements) EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
    if (q.next()) v = q.value(0);
  }
  QSqlDatabase::removeDatabase(name);
  return v;
}

}  // namespace storetest
