#include "Csv.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace torvela::store {
namespace {

enum Column { kName, kReading, kMemo, kYear, kMonth, kDay, kHour, kMinute, kSex, kJisahun, kJisabyo,
              kPlaceCode, kPlaceName, kSummerTime, kBefore1888, kBoundary, kCreated, kUpdated,
              kColumnCount };

const QByteArray kBom = QByteArrayLiteral("\xEF\xBB\xBF");

Error FileError(const QString& text) { return {Problem::BadFile, text}; }

QString Quoted(const QString& field) {
  static const QString specials = QStringLiteral(",\"\r\n");
  bool quote = !field.isEmpty() && (field.front().isSpace() || field.back().isSpace());
  for (QChar c : field) quote = quote || specials.contains(c);
  if (!quote) return field;
  QString q = field;
  q.replace(u'"', QStringLiteral("\"\""));
  return u'"' + q + u'"';
}

// One record of the file as split by RFC 4180, or why it cannot be.
struct Record {
  int line = 0;
  QStringList fields;
  QString problem;
};

// Splits `text` into records; line ends are CRLF, LF or CR, and line breaks
// inside quotes belong to the field.
std::vector<Record> SplitRecords(const QString& text) {
  std::vector<Record> records;
  const qsizetype n = text.size();
  qsizetype pos = 0;
  int line = 1;
  auto atLineEnd = [&](qsizetype i) { return i >= n || text[i] == u'\n' || text[i] == u'\r'; };
  auto skipLineEnd = [&] {
    if (pos < n && text[pos] == u'\r') ++pos;
    if (pos < n && text[pos] == u'\n') ++pos;
    ++line;
  };
  while (pos < n) {
    Record r;
    r.line = line;
    if (atLineEnd(pos)) {  // a blank line is no record
      skipLineEnd();
      continue;
    }
    QString field;
    while (true) {
      if (pos < n && text[pos] == u'"') {
        ++pos;
        bool closed = false;
        while (pos < n) {
          const QChar c = text[pos];
          if (c == u'"') {
            if (pos + 1 < n && text[pos + 1] == u'"') {
              field += u'"', pos += 2;
              continue;
            }
            ++pos, closed = true;
            break;
          }
          if (c == u'\n' || (c == u'\r' && (pos + 1 >= n || text[pos + 1] != u'\n'))) ++line;
          field += c, ++pos;
        }
        if (!closed) {
          r.problem = QStringLiteral("引用符 \" が閉じていません。");
          r.fields << field;
          records.push_back(std::move(r));
          return records;
        }
        if (pos < n && text[pos] != u',' && !atLineEnd(pos)) {
          if (r.problem.isEmpty()) r.problem = QStringLiteral("引用符 \" で閉じた項目のあとに文字があります。");
          while (pos < n && text[pos] != u',' && !atLineEnd(pos)) ++pos;
        }
      } else {
        const qsizetype start = pos;
        while (pos < n && text[pos] != u',' && !atLineEnd(pos)) ++pos;
        field = text.mid(start, pos - start);
        if (field.contains(u'"') && r.problem.isEmpty())
          r.problem = QStringLiteral("引用符 \" は項目全体を囲むときだけ使えます（中の \" は \"\" と書きます）。");
      }
      r.fields << std::exchange(field, {});
      if (pos < n && text[pos] == u',') {
        ++pos;
        continue;
      }
      skipLineEnd();
      break;
    }
    records.push_back(std::move(r));
  }
  return records;
}

// A number field: NFKC (full-width digits typed in a spreadsheet) and trimmed.
QString NumberText(const QString& field) {
  return field.normalized(QString::NormalizationForm_KC).trimmed();
}

std::optional<int> WholeNumber(const QString& text) {
  bool ok = false;
  const int v = text.toInt(&ok);
  return ok ? std::optional<int>(v) : std::nullopt;
}

// The person of a record, or why there is none.
QString ToPerson(const QStringList& f, Person& p) {
  if (f.size() != kColumnCount)
    return QStringLiteral("項目の数が %1 です（%2 のはずです）。").arg(f.size()).arg(int(kColumnCount));
  p.name = f[kName].trimmed();
  p.reading = f[kReading].trimmed();
  p.memo = f[kMemo];
  if (p.name.isEmpty()) return QStringLiteral("名前がありません。");
  BirthInputs& in = p.inputs;
  const std::pair<int*, Column> numbers[] = {{&in.year, kYear}, {&in.month, kMonth}, {&in.day, kDay}};
  for (auto [target, column] : numbers) {
    const auto v = WholeNumber(NumberText(f[column]));
    if (!v)
      return QStringLiteral("%1「%2」は整数ではありません。").arg(CsvHeader()[column], f[column]);
    *target = *v;
  }
  in.hour = NumberText(f[kHour]);
  in.minute = NumberText(f[kMinute]);
  const auto sex = SexFromText(f[kSex].trimmed());
  if (!sex) return QStringLiteral("性別「%1」は 男 か 女 です。").arg(f[kSex]);
  in.sex = *sex;
  in.jisahun = f[kJisahun];
  in.jisabyo = f[kJisabyo];
  in.placeCode = NumberText(f[kPlaceCode]);
  in.placeName = f[kPlaceName].trimmed();

  const QString summer = f[kSummerTime].trimmed(), before = f[kBefore1888].trimmed(),
                boundary = NumberText(f[kBoundary]);
  const int given = int(!summer.isEmpty()) + int(!before.isEmpty()) + int(!boundary.isEmpty());
  if (given == 3) {
    MomentSettings s;
    if (summer != u"auto" && summer != u"off")
      return QStringLiteral("夏時間補正「%1」は auto か off です。").arg(summer);
    s.summerTime = summer == u"auto";
    const auto reading = Before1888FromText(before);
    if (!reading) return QStringLiteral("1888年以前「%1」は jst・lmt・solar のどれかです。").arg(before);
    s.before1888 = *reading;
    const auto minutes = WholeNumber(boundary);
    if (!minutes || (*minutes != 10 && *minutes != 30 && *minutes != 60))
      return QStringLiteral("境界幅「%1」は 10・30・60 のどれかです。").arg(boundary);
    s.boundaryMinutes = *minutes;
    in.moment = s;
  } else if (given != 0) {
    return QStringLiteral("夏時間補正・1888年以前・境界幅は三つとも書くか、三つとも空にします。");
  }

  for (auto [target, column] : {std::pair{&p.created, kCreated}, std::pair{&p.updated, kUpdated}}) {
    const QString text = f[column].trimmed();
    if (text.isEmpty()) continue;
    *target = UtcFromText(text);
    if (!target->isValid())
      return QStringLiteral("%1「%2」は 2026-12-06T03:04:05Z の形で書きます。").arg(CsvHeader()[column], text);
  }
  return CheckPerson(p);
}

}  // namespace

const QStringList& CsvHeader() {
  static const QStringList header = {
      QStringLiteral("名前"), QStringLiteral("よみ"), QStringLiteral("メモ"),
      QStringLiteral("生年"), QStringLiteral("生月"), QStringLiteral("生日"),
      QStringLiteral("生時"), QStringLiteral("生分"), QStringLiteral("性別"),
      QStringLiteral("時差分"), QStringLiteral("時差秒"),
      QStringLiteral("出生地コード"), QStringLiteral("出生地"),
      QStringLiteral("夏時間補正"), QStringLiteral("1888年以前"), QStringLiteral("境界幅"),
      QStringLiteral("登録日時"), QStringLiteral("更新日時")};
  return header;
}

QString CsvRowProblem::Text() const { return QStringLiteral("%1行目: %2").arg(line).arg(reason); }

QByteArray ToCsv(const std::vector<Person>& people) {
  QString text = CsvHeader().join(u',') + QStringLiteral("\r\n");
  QStringList f;
  for (const Person& p : people) {
    const BirthInputs& in = p.inputs;
    f = {p.name, p.reading, p.memo, QString::number(in.year), QString::number(in.month),
         QString::number(in.day), in.hour, in.minute, SexText(in.sex), in.jisahun, in.jisabyo,
         in.placeCode, in.placeName};
    if (in.moment)
      f << (in.moment->summerTime ? QStringLiteral("auto") : QStringLiteral("off"))
        << Before1888Text(in.moment->before1888) << QString::number(in.moment->boundaryMinutes);
    else
      f << QString() << QString() << QString();
    f << (p.created.isValid() ? UtcText(p.created) : QString())
      << (p.updated.isValid() ? UtcText(p.updated) : QString());
    for (int i = 0; i < f.size(); ++i) {
      if (i) text += u',';
      text += Quoted(f[i]);
    }
    text += QStringLiteral("\r\n");
  }
  return kBom + text.toUtf8();
}

Expected<CsvContents> ParseCsv(const QByteArray& bytes) {
  const QByteArray body = bytes.startsWith(kBom) ? bytes.mid(kBom.size()) : bytes;
  QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = decode(body);
  if (decode.hasError())
    return FileError(QStringLiteral("文字コードがUTF-8ではありません（Shift_JISなどで保存したファイルは、"
                                    "UTF-8で保存し直してください）。"));
  std::vector<Record> records = SplitRecords(text);
  if (records.empty()) return FileError(QStringLiteral("CSVファイルが空です（見出し行もありません）。"));
  const Record& head = records.front();
  if (head.fields != CsvHeader())
    return FileError(QStringLiteral("%1行目がTorvelaの名簿の見出し行ではありません（見出しは「%2」です）。")
                         .arg(head.line)
                         .arg(CsvHeader().join(u',')));
  CsvContents contents;
  for (std::size_t i = 1; i < records.size(); ++i) {
    const Record& r = records[i];
    if (!r.problem.isEmpty()) {
      contents.bad.push_back({r.line, r.problem});
      continue;
    }
    CsvRow row{r.line, {}};
    if (QString why = ToPerson(r.fields, row.person); !why.isEmpty())
      contents.bad.push_back({r.line, why});
    else
      contents.good.push_back(std::move(row));
  }
  return contents;
}

Expected<CsvContents> ReadCsvFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return FileError(QStringLiteral("CSVファイル「%1」を開けません。").arg(QDir::toNativeSeparators(path)));
  return ParseCsv(file.readAll());
}

Expected<int> AddCsvRows(Store& store, const CsvContents& contents) {
  std::vector<Person> people;
  people.reserve(contents.good.size());
  for (const CsvRow& row : contents.good) people.push_back(row.person);
  return store.AddAll(people);
}

Expected<int> WriteCsvFile(const std::vector<Person>& people, const QString& path) {
  QSaveFile file(path);
  const QByteArray bytes = ToCsv(people);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    return Error{Problem::Failed,
                 QStringLiteral("CSVファイル「%1」に書き込めません。").arg(QDir::toNativeSeparators(path))};
  return static_cast<int>(people.size());
}

Expected<int> ExportCsvFile(const Store& store, const QString& path) {
  auto people = store.List();
  if (!people) return people.error();
  return WriteCsvFile(*people, path);
}

}  // namespace torvela::store
