// The 名簿: people kept in one SQLite database file through Qt SQL.
//
// Opening is careful, because the file is the user's: a file that is not an
// SQLite database, belongs to another program or was written by a newer
// Torvela is reported and left byte for byte as it was; migrations run only
// on a file this program knows, one step and one transaction at a time.
// Every change is one transaction. Errors come back as a Japanese message.
#pragma once

#include <QDateTime>
#include <QString>
#include <functional>
#include <vector>

#include "store/Expected.h"
#include "store/Person.h"

namespace torvela::store {

// The schema this program writes; a file's PRAGMA user_version above it is
// from a newer program.
inline constexpr int SchemaVersion = 2;
// PRAGMA application_id of a 名簿 ("TRVL").
inline constexpr qint32 ApplicationId = 0x5452564C;

struct OpenOptions {
  // How long to wait for another program's write lock before giving up.
  int busyTimeoutMs = 1500;
  // The present moment for created/updated times; the system clock when empty.
  std::function<QDateTime()> now;
};

// Where the 名簿 is when no file is given: $TORVELA_DB when set, else
// torvela.sqlite in the application's data folder (QStandardPaths::
// AppDataLocation, so call it after the application's names are set).
QString DefaultDatabasePath();

class Store {
 public:
  // Opens the 名簿 at `path`, creating the file (and its folder) when it does
  // not exist and bringing an older schema up to date.
  static Expected<Store> Open(const QString& path, OpenOptions options = {});

  Store(Store&& other) noexcept;
  Store& operator=(Store&& other) noexcept;
  Store(const Store&) = delete;
  Store& operator=(const Store&) = delete;
  ~Store();

  // The absolute path of the file.
  const QString& path() const { return path_; }

  // Everyone, in the order they were added.
  Expected<std::vector<Person>> List() const;
  // Those whose name or reading contains the query (compared as SearchKey).
  Expected<std::vector<Person>> Search(const QString& query) const;
  // Those whose name is exactly `name` (surrounding spaces ignored).
  Expected<std::vector<Person>> FindByName(const QString& name) const;
  Expected<Person> Get(qint64 id) const;

  // Adds a person and returns it as kept (id and times set). Times the
  // person brings (as from a CSV file) are kept; missing ones are now.
  Expected<Person> Add(const Person& person);
  // Adds all of them in one transaction, or none; returns how many.
  Expected<int> AddAll(const std::vector<Person>& people);
  // Replaces the kept person of the same id; the update time becomes now.
  Expected<Person> Update(const Person& person);
  Expected<void> Remove(qint64 id);

  // PRAGMA integrity_check.
  Expected<void> CheckIntegrity() const;

 private:
  Store(QString connection, QString path, OpenOptions options);
  Expected<void> Prepare(bool hasData);
  Expected<void> Migrate(int from);
  QDateTime Now() const;
  void Close();

  QString connection_;  // Qt SQL connection name, unique per store; empty when moved from
  QString path_;
  OpenOptions options_;
};

}  // namespace torvela::store
