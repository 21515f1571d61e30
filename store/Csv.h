// The 名簿 as CSV, for spreadsheets and for moving people between 名簿:
// UTF-8 with a byte-order mark (so that spreadsheet programs read the
// Japanese), a header row, one person a line, quoted as RFC 4180 says.
//
// Columns, in this order (the header row names them):
//   名前, よみ, メモ              the person; the memo may hold commas, quotes and line breaks
//   生年, 生月, 生日              1800..2080, 1..12, 1..31 (a real date)
//   生時, 生分                    the list texts: "?" or 0..23, "?" or 0..59 (生分 may be empty when 生時 is "?")
//   性別                          男 or 女
//   時差分, 時差秒                the time-difference texts exactly as typed
//   出生地コード, 出生地          the birthplace's local-government code and name, or empty
//   夏時間補正, 1888年以前, 境界幅 auto|off, jst|lmt|solar, 10|30|60 — all three, or all empty for the defaults
//   登録日時, 更新日時            UTC as 2026-12-06T03:04:05Z; empty on import means now
//
// Reading takes the same format, with or without the byte-order mark, with
// CRLF or LF line ends. It is split in two steps so that the caller can ask
// before adding anything: ParseCsv sorts the rows into good and bad (each bad
// one with its line and reason), and AddCsvRows adds the good ones in one
// transaction.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

#include "store/Expected.h"
#include "store/Person.h"
#include "store/Store.h"

namespace torvela::store {

// The header row's names, in column order.
const QStringList& CsvHeader();

// The whole file: byte-order mark, header row, one line per person, CRLF.
QByteArray ToCsv(const std::vector<Person>& people);

struct CsvRow {
  int line = 0;      // where the row starts, counting from 1 (the header is line 1)
  Person person;
};

struct CsvRowProblem {
  int line = 0;
  QString reason;    // Japanese
  QString Text() const;  // "5行目: …"
};

struct CsvContents {
  std::vector<CsvRow> good;
  std::vector<CsvRowProblem> bad;
};

// Sorts the rows of a CSV file's bytes. Fails as a whole (Problem::BadFile)
// for an empty file, a missing or different header row, or text that is not
// UTF-8.
Expected<CsvContents> ParseCsv(const QByteArray& bytes);
Expected<CsvContents> ReadCsvFile(const QString& path);

// Adds the good rows in one transaction; returns how many.
Expected<int> AddCsvRows(Store& store, const CsvContents& contents);

// Writes `people` to `path` (replaced whole, never half-written); returns
// how many.
Expected<int> WriteCsvFile(const std::vector<Person>& people, const QString& path);
// Writes everyone in the 名簿 to `path`, as WriteCsvFile.
Expected<int> ExportCsvFile(const Store& store, const QString& path);

}  // namespace torvela::store
