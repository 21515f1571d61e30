#include "Store.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUrl>
#include <QtEndian>
#include <atomic>

namespace torvela::store {
namespace {

// The schema, one step per version: step N brings version N-1 to N. A step
// once released never changes; a new version adds a step.
const std::vector<std::vector<const char*>> kMigrations = {
    // 1: the people with the main window's inputs.
    {
        "CREATE TABLE person ("
        " id INTEGER PRIMARY KEY,"
        " name TEXT NOT NULL CHECK (length(trim(name)) > 0),"
        " reading TEXT NOT NULL DEFAULT '',"
        " memo TEXT NOT NULL DEFAULT '',"
        " birth_year INTEGER NOT NULL,"
        " birth_month INTEGER NOT NULL CHECK (birth_month BETWEEN 1 AND 12),"
        " birth_day INTEGER NOT NULL CHECK (birth_day BETWEEN 1 AND 31),"
        " hour_text TEXT NOT NULL,"
        " minute_text TEXT NOT NULL,"
        " sex TEXT NOT NULL CHECK (sex IN ('男', '女')),"
        " jisahun_text TEXT NOT NULL,"
        " jisabyo_text TEXT NOT NULL,"
        " created_utc TEXT NOT NULL,"
        " updated_utc TEXT NOT NULL)",
        "CREATE INDEX person_name ON person (name)",
        "PRAGMA application_id = 1414682188",
    },
    // 2: the birthplace and the birth-moment settings (all three or none).
    {
        "ALTER TABLE person ADD COLUMN place_code TEXT NOT NULL DEFAULT ''",
        "ALTER TABLE person ADD COLUMN place_name TEXT NOT NULL DEFAULT ''",
        "ALTER TABLE person ADD COLUMN summer_time INTEGER CHECK (summer_time IN (0, 1))",
        "ALTER TABLE person ADD COLUMN before_1888 TEXT CHECK (before_1888 IN ('jst', 'lmt', 'solar'))",
        "ALTER TABLE person ADD COLUMN boundary_minutes INTEGER"
        " CHECK (boundary_minutes IN (10, 30, 60))"
        " CHECK ((summer_time IS NULL) = (before_1888 IS NULL)"
        " AND (before_1888 IS NULL) = (boundary_minutes IS NULL))",
    },
};
static_assert(ApplicationId == 1414682188);

constexpr const char* kColumns =
    "id, name, reading, memo, birth_year, birth_month, birth_day, hour_text, minute_text, sex,"
    " jisahun_text, jisabyo_text, place_code, place_name, summer_time, before_1888,"
    " boundary_minutes, created_utc, updated_utc";

constexpr const char* kInsert =
    "INSERT INTO person (name, reading, memo, birth_year, birth_month, birth_day, hour_text,"
    " minute_text, sex, jisahun_text, jisabyo_text, place_code, place_name, summer_time,"
    " before_1888, boundary_minutes, created_utc, updated_utc)"
    " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

constexpr const char* kUpdate =
    "UPDATE person SET name = ?, reading = ?, memo = ?, birth_year = ?, birth_month = ?,"
    " birth_day = ?, hour_text = ?, minute_text = ?, sex = ?, jisahun_text = ?, jisabyo_text = ?,"
    " place_code = ?, place_name = ?, summer_time = ?, before_1888 = ?, boundary_minutes = ?,"
    " updated_utc = ? WHERE id = ?";

// SQLite's primary result codes, as Qt reports them in nativeErrorCode().
enum SqliteCode { kPerm = 3, kBusy = 5, kLocked = 6, kReadOnly = 8, kCorrupt = 11, kFull = 13,
                  kCantOpen = 14, kNotADb = 26 };

int CodeOf(const QSqlError& e) {
  bool ok = false;
  const int code = e.nativeErrorCode().toInt(&ok);
  return ok ? (code & 0xff) : -1;
}

QString Detail(const QSqlError& e) {
  return e.databaseText().isEmpty() ? e.driverText() : e.databaseText();
}

Error Make(Problem problem, const QString& path, const QString& detail = {}) {
  const QString file = QDir::toNativeSeparators(path);
  QString m;
  switch (problem) {
    case Problem::CannotOpen:
      m = QStringLiteral("名簿のファイル「%1」を開けません。").arg(file);
      break;
    case Problem::Locked:
      m = QStringLiteral("名簿のファイル「%1」は他のプログラムが書き込み中のため使えません。"
                         "しばらくしてからもう一度お試しください。").arg(file);
      break;
    case Problem::ReadOnly:
      m = QStringLiteral("名簿のファイル「%1」に書き込めません（読み取り専用です）。").arg(file);
      break;
    case Problem::Newer:
      m = QStringLiteral("名簿のファイル「%1」はこのプログラムより新しい版のTorvelaで作られています。"
                         "新しい版でお使いください。ファイルには手を加えていません。").arg(file);
      break;
    case Problem::Damaged:
      m = QStringLiteral("名簿のファイル「%1」は壊れているか、データベースのファイルではありません。"
                         "ファイルには手を加えていません。").arg(file);
      break;
    case Problem::Foreign:
      m = QStringLiteral("「%1」はTorvelaの名簿ではないデータベースです。"
                         "ファイルには手を加えていません。").arg(file);
      break;
    case Problem::NotFound:
      m = QStringLiteral("その人は名簿にもういません（ほかで削除されたかもしれません）。");
      break;
    case Problem::Invalid:
    case Problem::BadFile:
      m = detail;
      return {problem, m};
    case Problem::Failed:
      m = QStringLiteral("名簿のファイル「%1」の読み書きに失敗しました。").arg(file);
      break;
  }
  if (!detail.isEmpty()) m += QStringLiteral("（%1）").arg(detail);
  return {problem, m};
}

bool WritableByUs(const QString& path) {
  return faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
}

// What a failed SQL step means for the file at `path`.
Error Classify(const QSqlError& e, const QString& path) {
  const int code = CodeOf(e);
  switch (code) {
    case kBusy:
    case kLocked:
      return Make(Problem::Locked, path);
    case kCorrupt:
    case kNotADb:
      return Make(Problem::Damaged, path);
    case kFull:
      return Make(Problem::Failed, path, QStringLiteral("ディスクがいっぱいです"));
    default:
      break;
  }
  // SQLite could not write the file, or create its journal beside it.
  if (QFileInfo::exists(path) && !WritableByUs(path)) return Make(Problem::ReadOnly, path);
  if (!WritableByUs(QFileInfo(path).absolutePath()))
    return Make(Problem::ReadOnly, path, QStringLiteral("フォルダーに書き込めません"));
  if (code == kReadOnly) return Make(Problem::ReadOnly, path);
  return Make(code == kCantOpen || code == kPerm ? Problem::CannotOpen : Problem::Failed, path, Detail(e));
}

// What the first 100 bytes of an existing file say.
struct Header {
  bool empty = false;
  qint32 userVersion = 0, applicationId = 0;
};

Expected<Header> ReadHeader(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return Make(Problem::CannotOpen, path, QStringLiteral("読み取れません"));
  const QByteArray bytes = file.read(100);
  Header h;
  if (bytes.isEmpty() && file.atEnd()) {
    h.empty = true;  // SQLite's own empty database
    return h;
  }
  if (bytes.size() < 100 || !bytes.startsWith(QByteArrayLiteral("SQLite format 3\0")))
    return Make(Problem::Damaged, path);
  h.userVersion = qFromBigEndian<qint32>(bytes.constData() + 60);
  h.applicationId = qFromBigEndian<qint32>(bytes.constData() + 68);
  return h;
}

// The problem of a database with this version and id, if any.
std::optional<Problem> VersionProblem(qint32 userVersion, qint32 applicationId, bool hasObjects) {
  if (applicationId == 0 ? (userVersion != 0 || hasObjects) : applicationId != ApplicationId)
    return Problem::Foreign;
  if (userVersion > SchemaVersion || userVersion < 0) return Problem::Newer;
  return std::nullopt;
}

QString SqliteUri(const QString& path, bool create) {
  return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) +
         (create ? QStringLiteral("?mode=rwc") : QStringLiteral("?mode=rw"));
}

QString NewConnectionName() {
  static std::atomic<int> serial{0};
  return QStringLiteral("torvela-store-%1").arg(++serial);
}

Person FromRow(const QSqlQuery& q) {
  Person p;
  p.id = q.value(0).toLongLong();
  p.name = q.value(1).toString();
  p.reading = q.value(2).toString();
  p.memo = q.value(3).toString();
  BirthInputs& in = p.inputs;
  in.year = q.value(4).toInt();
  in.month = q.value(5).toInt();
  in.day = q.value(6).toInt();
  in.hour = q.value(7).toString();
  in.minute = q.value(8).toString();
  in.sex = SexFromText(q.value(9).toString()).value_or(Sex::Female);
  in.jisahun = q.value(10).toString();
  in.jisabyo = q.value(11).toString();
  in.placeCode = q.value(12).toString();
  in.placeName = q.value(13).toString();
  if (!q.value(14).isNull()) {
    MomentSettings s;
    s.summerTime = q.value(14).toInt() != 0;
    s.before1888 = Before1888FromText(q.value(15).toString()).value_or(Before1888::Jst);
    s.boundaryMinutes = q.value(16).toInt();
    in.moment = s;
  }
  p.created = UtcFromText(q.value(17).toString());
  p.updated = UtcFromText(q.value(18).toString());
  return p;
}

// Qt SQL binds a null QString as NULL; the text columns hold "" instead.
QString Text(const QString& s) { return s.isNull() ? QStringLiteral("") : s; }

// Binds the fields every insert and update writes, in kInsert's order up to
// the settings.
void BindFields(QSqlQuery& q, const Person& p) {
  const BirthInputs& in = p.inputs;
  q.addBindValue(Text(p.name.trimmed()));
  q.addBindValue(Text(p.reading.trimmed()));
  q.addBindValue(Text(p.memo));
  q.addBindValue(in.year);
  q.addBindValue(in.month);
  q.addBindValue(in.day);
  q.addBindValue(Text(in.hour));
  q.addBindValue(Text(in.minute));
  q.addBindValue(SexText(in.sex));
  q.addBindValue(Text(in.jisahun));
  q.addBindValue(Text(in.jisabyo));
  q.addBindValue(Text(in.placeCode));
  q.addBindValue(Text(in.placeName));
  if (in.moment) {
    q.addBindValue(in.moment->summerTime ? 1 : 0);
    q.addBindValue(Before1888Text(in.moment->before1888));
    q.addBindValue(in.moment->boundaryMinutes);
  } else {
    for (int i = 0; i < 3; ++i) q.addBindValue(QVariant(QMetaType(QMetaType::Int)));
  }
}

// BEGIN IMMEDIATE … COMMIT, rolled back unless committed: the write lock is
// taken at the start, so a busy 名簿 is found before anything is written.
class Transaction {
 public:
  explicit Transaction(const QSqlDatabase& db) : db_(db) {}
  ~Transaction() {
    if (begun_ && !done_) QSqlQuery(db_).exec(QStringLiteral("ROLLBACK"));
  }
  QSqlError Begin() {
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) return q.lastError();
    begun_ = true;
    return {};
  }
  QSqlError Commit() {
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("COMMIT"))) return q.lastError();
    done_ = true;
    return {};
  }

 private:
  QSqlDatabase db_;
  bool begun_ = false, done_ = false;
};

bool IsError(const QSqlError& e) { return e.type() != QSqlError::NoError; }

}  // namespace

QString DefaultDatabasePath() {
  const QString env = qEnvironmentVariable("TORVELA_DB");
  if (!env.isEmpty()) return env;
  return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
         QStringLiteral("/torvela.sqlite");
}

Store::Store(QString connection, QString path, OpenOptions options)
    : connection_(std::move(connection)), path_(std::move(path)), options_(std::move(options)) {}

Store::Store(Store&& other) noexcept
    : connection_(std::exchange(other.connection_, {})),
      path_(std::move(other.path_)),
      options_(std::move(other.options_)) {}

Store& Store::operator=(Store&& other) noexcept {
  if (this != &other) {
    Close();
    connection_ = std::exchange(other.connection_, {});
    path_ = std::move(other.path_);
    options_ = std::move(other.options_);
  }
  return *this;
}

Store::~Store() { Close(); }

void Store::Close() {
  if (connection_.isEmpty()) return;
  {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    db.close();
  }
  // Only once no QSqlDatabase or query refers to the connection.
  QSqlDatabase::removeDatabase(connection_);
  connection_.clear();
}

Expected<Store> Store::Open(const QString& path, OpenOptions options) {
  if (path.isEmpty()) return Make(Problem::CannotOpen, path, QStringLiteral("ファイル名がありません"));
  const QFileInfo info(path);
  const QString file = info.absoluteFilePath();
  const bool exists = info.exists();
  bool hasData = false;
  if (exists) {
    if (!info.isFile()) return Make(Problem::CannotOpen, file, QStringLiteral("ファイルではありません"));
    // Judged from the bytes before SQLite touches the file.
    auto header = ReadHeader(file);
    if (!header) return header.error();
    hasData = !header->empty;
    if (hasData) {
      if (auto p = VersionProblem(header->userVersion, header->applicationId, false)) return Make(*p, file);
    }
  } else if (!QDir().mkpath(info.absolutePath())) {
    return Make(Problem::CannotOpen, file, QStringLiteral("フォルダーを作れません"));
  }

  const QString name = NewConnectionName();
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    if (!db.isValid()) {
      db = QSqlDatabase();
      QSqlDatabase::removeDatabase(name);
      return Make(Problem::CannotOpen, file, QStringLiteral("SQLiteのドライバーがありません"));
    }
  }
  Store store(name, file, std::move(options));
  QSqlDatabase db = QSqlDatabase::database(name, false);
  // An existing file is never created anew: if it vanished meanwhile, fail.
  db.setDatabaseName(SqliteUri(file, !exists));
  db.setConnectOptions(
      QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(store.options_.busyTimeoutMs));
  if (!db.open()) {
    Error e = Classify(db.lastError(), file);
    db = QSqlDatabase();
    return e;
  }
  db = QSqlDatabase();
  if (auto prepared = store.Prepare(hasData); !prepared) return prepared.error();
  return store;
}

// Checks what the open file holds, then takes it over: WAL, foreign keys,
// the schema brought up to date.
Expected<void> Store::Prepare(bool hasData) {
  QSqlDatabase db = QSqlDatabase::database(connection_, false);
  QSqlQuery q(db);
  auto value = [&](const char* sql) -> std::optional<QVariant> {
    if (!q.exec(QString::fromLatin1(sql)) || !q.next()) return std::nullopt;
    QVariant v = q.value(0);
    q.finish();
    return v;
  };
  const auto version = value("PRAGMA user_version");
  if (!version) return Classify(q.lastError(), path_);
  const auto appId = value("PRAGMA application_id");
  if (!appId) return Classify(q.lastError(), path_);
  const auto objects = value("SELECT count(*) FROM sqlite_schema");
  if (!objects) return Classify(q.lastError(), path_);
  const int userVersion = version->toInt();
  if (auto p = VersionProblem(userVersion, appId->toInt(), objects->toInt() > 0)) return Make(*p, path_);

  if (hasData) {
    const auto check = value("PRAGMA quick_check");
    if (!check) return Classify(q.lastError(), path_);
    if (check->toString() != QStringLiteral("ok")) return Make(Problem::Damaged, path_);
  }
  {
    // Can we write at all? Finds a read-only file or a held lock before any change.
    Transaction probe(db);
    if (QSqlError e = probe.Begin(); IsError(e)) return Classify(e, path_);
  }
  if (!value("PRAGMA journal_mode = WAL")) return Classify(q.lastError(), path_);
  if (!q.exec(QStringLiteral("PRAGMA foreign_keys = ON"))) return Classify(q.lastError(), path_);
  return Migrate(userVersion);
}

Expected<void> Store::Migrate(int from) {
  QSqlDatabase db = QSqlDatabase::database(connection_, false);
  for (int version = from + 1; version <= SchemaVersion; ++version) {
    Transaction t(db);
    if (QSqlError e = t.Begin(); IsError(e)) return Classify(e, path_);
    QSqlQuery q(db);
    for (const char* sql : kMigrations[static_cast<std::size_t>(version - 1)])
      if (!q.exec(QString::fromUtf8(sql))) return Classify(q.lastError(), path_);
    if (!q.exec(QStringLiteral("PRAGMA user_version = %1").arg(version))) return Classify(q.lastError(), path_);
    if (QSqlError e = t.Commit(); IsError(e)) return Classify(e, path_);
  }
  return {};
}

QDateTime Store::Now() const {
  const QDateTime now = options_.now ? options_.now() : QDateTime::currentDateTimeUtc();
  return UtcFromText(UtcText(now));  // whole seconds, as kept
}

Expected<std::vector<Person>> Store::List() const {
  QSqlQuery q(QSqlDatabase::database(connection_, false));
  q.setForwardOnly(true);
  if (!q.exec(QStringLiteral("SELECT %1 FROM person ORDER BY id").arg(QLatin1String(kColumns))))
    return Classify(q.lastError(), path_);
  std::vector<Person> people;
  while (q.next()) people.push_back(FromRow(q));
  if (q.lastError().isValid()) return Classify(q.lastError(), path_);
  return people;
}

Expected<std::vector<Person>> Store::Search(const QString& query) const {
  auto all = List();
  if (!all) return all;
  const QString key = SearchKey(query);
  std::vector<Person> found;
  for (Person& p : *all)
    if (KeyMatches(SearchKey(p.name), SearchKey(p.reading), key)) found.push_back(std::move(p));
  return found;
}

Expected<std::vector<Person>> Store::FindByName(const QString& name) const {
  QSqlQuery q(QSqlDatabase::database(connection_, false));
  q.setForwardOnly(true);
  q.prepare(QStringLiteral("SELECT %1 FROM person WHERE name = ? ORDER BY id").arg(QLatin1String(kColumns)));
  q.addBindValue(name.trimmed());
  if (!q.exec()) return Classify(q.lastError(), path_);
  std::vector<Person> people;
  while (q.next()) people.push_back(FromRow(q));
  return people;
}

Expected<Person> Store::Get(qint64 id) const {
  QSqlQuery q(QSqlDatabase::database(connection_, false));
  q.setForwardOnly(true);
  q.prepare(QStringLiteral("SELECT %1 FROM person WHERE id = ?").arg(QLatin1String(kColumns)));
  q.addBindValue(id);
  if (!q.exec()) return Classify(q.lastError(), path_);
  if (!q.next()) return Make(Problem::NotFound, path_);
  return FromRow(q);
}

Expected<Person> Store::Add(const Person& person) {
  if (const QString why = CheckPerson(person); !why.isEmpty()) return Make(Problem::Invalid, path_, why);
  QSqlDatabase db = QSqlDatabase::database(connection_, false);
  Transaction t(db);
  if (QSqlError e = t.Begin(); IsError(e)) return Classify(e, path_);
  const QDateTime now = Now();
  Person kept = person;
  kept.name = person.name.trimmed(), kept.reading = person.reading.trimmed();
  kept.created = person.created.isValid() ? UtcFromText(UtcText(person.created)) : now;
  kept.updated = person.updated.isValid() ? UtcFromText(UtcText(person.updated)) : now;
  QSqlQuery q(db);
  q.prepare(QLatin1String(kInsert));
  BindFields(q, kept);
  q.addBindValue(UtcText(kept.created));
  q.addBindValue(UtcText(kept.updated));
  if (!q.exec()) return Classify(q.lastError(), path_);
  kept.id = q.lastInsertId().toLongLong();
  if (QSqlError e = t.Commit(); IsError(e)) return Classify(e, path_);
  return kept;
}

Expected<int> Store::AddAll(const std::vector<Person>& people) {
  for (std::size_t i = 0; i < people.size(); ++i)
    if (const QString why = CheckPerson(people[i]); !why.isEmpty())
      return Make(Problem::Invalid, path_, QStringLiteral("%1人目: %2").arg(i + 1).arg(why));
  QSqlDatabase db = QSqlDatabase::database(connection_, false);
  Transaction t(db);
  if (QSqlError e = t.Begin(); IsError(e)) return Classify(e, path_);
  const QString now = UtcText(Now());
  QSqlQuery q(db);
  q.prepare(QLatin1String(kInsert));
  for (const Person& p : people) {
    BindFields(q, p);
    q.addBindValue(p.created.isValid() ? UtcText(p.created) : now);
    q.addBindValue(p.updated.isValid() ? UtcText(p.updated) : now);
    if (!q.exec()) return Classify(q.lastError(), path_);
  }
  if (QSqlError e = t.Commit(); IsError(e)) return Classify(e, path_);
  return static_cast<int>(people.size());
}

Expected<Person> Store::Update(const Person& person) {
  if (const QString why = CheckPerson(person); !why.isEmpty()) return Make(Problem::Invalid, path_, why);
  QSqlDatabase db = QSqlDatabase::database(connection_, false);
  Transaction t(db);
  if (QSqlError e = t.Begin(); IsError(e)) return Classify(e, path_);
  QSqlQuery q(db);
  q.prepare(QLatin1String(kUpdate));
  BindFields(q, person);
  q.addBindValue(UtcText(Now()));
  q.addBindValue(person.id);
  if (!q.exec()) return Classify(q.lastError(), path_);
  if (q.numRowsAffected() != 1) return Make(Problem::NotFound, path_);
  if (QSqlError e = t.Commit(); IsError(e)) return Classify(e, path_);
  return Get(person.id);
}

Expected<void> Store::Remove(qint64 id) {
  QSqlDatabase db = QSqlDatabase::database(connection_, false);
  Transaction t(db);
  if (QSqlError e = t.Begin(); IsError(e)) return Classify(e, path_);
  QSqlQuery q(db);
  q.prepare(QStringLiteral("DELETE FROM person WHERE id = ?"));
  q.addBindValue(id);
  if (!q.exec()) return Classify(q.lastError(), path_);
  if (q.numRowsAffected() != 1) return Make(Problem::NotFound, path_);
  if (QSqlError e = t.Commit(); IsError(e)) return Classify(e, path_);
  return {};
}

Expected<void> Store::CheckIntegrity() const {
  QSqlQuery q(QSqlDatabase::database(connection_, false));
  if (!q.exec(QStringLiteral("PRAGMA integrity_check")) || !q.next()) return Classify(q.lastError(), path_);
  if (q.value(0).toString() != QStringLiteral("ok")) return Make(Problem::Damaged, path_, q.value(0).toString());
  return {};
}

}  // namespace torvela::store
