// torvela-cli: draws up a Four Pillars chart from the command line.
#include <unistd.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "calc/Module2.h"
#include "chart/JapanTime.h"
#include "cli/Batch.h"
#include "cli/ChartIo.h"
#include "cli/Keep.h"
#include "store/Csv.h"
#include "store/Store.h"

namespace {

using torvela::cli::Birth;

constexpr const char* Usage = R"(使い方 (usage):
  torvela-cli --date YYYY-MM-DD --time H:M [options]
  torvela-cli --batch [--jobs N] [--fields LIST] [--now YYYY-MM-DDTHH:MM] < in.jsonl > out.jsonl
  torvela-cli [--db FILE] --save NAME --date ... | --list | --person NAME
              | --import F.csv [--skip-bad] | --export F.csv

一人分の命式 (one chart):
  --date YYYY-MM-DD    生年月日、時計の日付 (birth date by the clock, 1800-2080)
  --time H:M           出生時刻 (birth time); 時 "?" は時刻不明 (unknown hour,
                       minute ignored), 分 "?" は分不明: --time ?:? / 14:? / 14:05
  --hour H, --minute M 時と分を別々に ("?" か数字) (hour and minute separately;
                       --hour ? needs no minute)
  --sex 男|女          性別、既定は女 (sex, default 女; m/f also accepted)
  --jisa TEXT          時差の分、入力のまま (time difference, minutes as typed;
                       "-" is west, "-0" too; full-width "－１３" reads as -13), 既定 0
  --jisa-sec TEXT      時差の秒、入力のまま (seconds as typed), 既定 0
  --place NAME         出生地: 地名 (漢字・かな・ローマ字) から時差を決める
                       (birthplace: the exact name, "東京都府中市", a code, or a
                       search that finds one place; several give a list of
                       candidates). --jisa, --jisa-sec とは併用できない
  --dst auto|off       1948〜1951年の夏時刻を補正する (auto, 既定) / しない (off)
                       (summer-time correction, default auto)
  --before-1888 jst|lmt|solar
                       1888年より前の時刻を日本標準時 (jst, 既定)・出生地の地方平均時
                       (lmt)・真太陽時 (solar) とみなす (how a clock reading before
                       1888 is taken)
  --margin 10|30|60    境界注意の幅 (分)、既定 30 (minutes within which a pillar
                       change is reported)
  --json               JSON で出力 (print one JSON object)
  --fields LIST        --json と --batch の出力項目 (what JSON holds besides the chart):
                       chart,moment,reading,place のカンマ区切り、既定は全部;
                       --fields chart は従来の出力そのもの (exactly the chart alone)
  --pdf FILE           A4 一枚の PDF に書き出す (write one A4 page as PDF instead of
                       printing the text; with --json the JSON is printed too)

名簿 (the list of people, SQLite):
  --db FILE            名簿のファイル (the database; default $TORVELA_DB, else the
                       windows' own: ~/.local/share/Torvela Project/Torvela/torvela.sqlite)
  --save NAME          上の指定の命式を NAME として保存 (save the birth given by the chart
                       options). 同じ名前の人がいれば、その人の生年月日などを置き換える
                       (an existing person of that name is updated; reading and memo kept)
  --list               一人一行 (one person a line): 名前 TAB よみ TAB 誕生日 TAB 性別
                       TAB 時差 TAB 出生地
  --person NAME        保存した人の命式 (the chart of a saved person; text, --json, --pdf)
  --import F.csv       CSV を読み込む。不正な行が一つでもあれば何も追加しない
                       (an import with any bad row lists them and adds nothing)
  --skip-bad           --import で正しい行だけ追加 (add the good rows, list the bad)
  --export F.csv       名簿を CSV に書き出す (UTF-8 with BOM, one person a line)

共通 (common):
  --now YYYY-MM-DDTHH:MM  現在時刻、日本時間 (the present in Japan; default: now in
                       Asia/Tokyo)
  --data DIR           planet.txt, latitude.txt, places.txt の場所 (data directory)
  --batch              標準入力の JSON Lines を一行ずつ (JSON Lines on stdin, one
                       chart per line, in order). Fields: year, month, day (numbers),
                       hour, minute ("?" or a number text), sex ("男"/"女"),
                       jisahun, jisabyo (texts as typed) or place (a name, as
                       --place; not with jisahun/jisabyo), optional now, dst
                       ("auto"/"off"), before1888 ("jst"/"lmt"/"solar"), margin
                       (10/30/60); --dst, --before-1888, --margin set the default.
                       空行は読み飛ばす (blank lines are skipped; "line" counts
                       every input line). A bad line gives {"line":n,"error":...};
                       so does a line longer than 1 MiB. 先頭の BOM は読み飛ばす
                       (a byte-order mark before the first line is skipped).
  --jobs N             --batch を N 本 (1〜256) で並行に計算、既定はこの機械の全コア (compute
                       on N threads, default: every core); 出力は入力順で --jobs 1
                       と同じ (output in input order, the same as --jobs 1)
  --help, --version

JSON: {"line": n (batch only), "texts": {...}, "bold": n, "result": {...}, then
  moment:  "clockShiftMinutes": -60 (summer time) or 0, "notices": [texts],
           "prevTerm", "nextTerm": {"name": "啓蟄", "trueSolar": "YYYY-MM-DDTHH:MM"}
           (null if not found), "boundaries": [{"pillar": "year"|"month"|"day"|
           "hour", "clock": "YYYY-MM-DDTHH:MM", "to": "丙子"}]
  reading: "reading": {
             "dayMaster": 日主 "甲",
             "stems", "branches", "tenGods" (通変星, the day's "日主"),
             "hiddenStems" (蔵干, 本気 first: ["戊","乙","癸"]), "hiddenStemTenGods",
             "twelveStages" (十二運), "nayin" (納音): each {"year","month","day","hour"},
             an unknown hour "□";
             "voidBranches": {"day": "戌亥", "year": ...} (空亡),
             "inDayVoid": {"year": false, ...} (branch in the day's 空亡),
             "elementCounts", "elementCountsWithMainHiddenStems" (五行, 八字 and with
             each 本気): {"wood","fire","earth","metal","water"},
             "yinYang": {"yang", "yin"} (陰陽),
             "yearlyLuck": {"column": n, "years": [{"year", "pillar", "tenGod",
             "twelveStage", "age", "current"}]} (年運)}
  place:   "place": {"code", "prefecture", "name", "longitude", "latitude"} when
           a place was chosen}

終了状態 (exit status): 0 成功 (ok); 1 ファイルの問題 (データファイル・地名表・名簿・CSV・PDF)、
または読めない行あり (a bad or unwritable file: data file, gazetteer, database, CSV,
PDF; or a batch line failed); 2 オプションの誤り (bad options, a place not found or
not unique, a person not in the list); 3 入出力の誤り (cannot read input or write output).
)";

[[noreturn]] void BadOption(const std::string& message) {
  std::fprintf(stderr, "torvela-cli: %s\n詳しくは --help (see --help)\n", message.c_str());
  std::exit(2);
}

// A file that could not be used (status 1).
[[noreturn]] void BadFile(const std::string& message) {
  std::fprintf(stderr, "torvela-cli: %s\n", message.c_str());
  std::exit(1);
}

std::filesystem::path ExeDirectory(const char* argv0) {
  std::error_code ec;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) return self.parent_path();
  return std::filesystem::absolute(argv0, ec).parent_path();
}

constexpr int MaxJobs = 256;

// A whole number of threads 1..MaxJobs in plain digits.
std::optional<int> ParseJobs(const std::string& text) {
  if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != text.npos)
    return std::nullopt;
  const int n = std::stoi(text);
  if (n < 1 || n > MaxJobs) return std::nullopt;
  return n;
}

int DefaultJobs() { return std::max(1, static_cast<int>(std::thread::hardware_concurrency())); }

// Output or input that failed is an error of its own (status 3): the
// charts written so far are not the whole answer.
[[noreturn]] void IoFailed(const char* what, int error) {
  std::fprintf(stderr, "torvela-cli: %s: %s\n", what, std::strerror(error));
  std::exit(3);
}

constexpr const char* CannotWrite = "出力に書き込めません (cannot write output)";
constexpr const char* CannotRead = "入力を読めません (cannot read input)";

void Print(std::string_view text) {
  if (const int error = torvela::cli::WriteAll(STDOUT_FILENO, text)) IoFailed(CannotWrite, error);
}

std::string S(const QString& s) { return s.toStdString(); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

// The Qt application the 名簿 (Qt SQL finds its driver through it) and the
// page (fonts) need; made only when they are used. The page draws without
// a screen unless a platform was chosen.
std::unique_ptr<QCoreApplication> MakeApplication(const char* argv0, bool gui) {
  static int argc = 1;
  static char* argv[] = {const_cast<char*>(argv0), nullptr};
  // The same names as the windows, so that the default 名簿 is theirs.
  QCoreApplication::setOrganizationName(QStringLiteral("Torvela Project"));
  QCoreApplication::setApplicationName(QStringLiteral("Torvela"));
  if (!gui) return std::make_unique<QCoreApplication>(argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  return std::make_unique<QGuiApplication>(argc, argv);
}

QString StorePath(const std::optional<std::string>& db) {
  return db ? Q(*db) : torvela::store::DefaultDatabasePath();
}

torvela::store::Store OpenStore(const std::optional<std::string>& db) {
  auto store = torvela::store::Store::Open(StorePath(db));
  if (!store) BadFile(S(store.error().message));
  return std::move(store.value());
}

// For a command that only reads the 名簿: none while its file does not
// exist, so that looking never leaves an empty file behind.
std::optional<torvela::store::Store> OpenStoreToRead(const std::optional<std::string>& db) {
  if (!QFileInfo::exists(StorePath(db))) return std::nullopt;
  return OpenStore(db);
}

// The one person of that name; status 2 when there is none (or no 名簿) or several.
torvela::store::Person FindPerson(const std::optional<torvela::store::Store>& store,
                                  const std::string& name) {
  auto found = store ? store->FindByName(Q(name)) : std::vector<torvela::store::Person>{};
  if (!found) BadFile(S(found.error().message));
  if (found->empty()) BadOption("名簿に「" + name + "」はいません (no such person in the list)");
  if (found->size() > 1)
    BadOption("名簿に「" + name + "」が " + std::to_string(found->size()) +
              " 人います。名前を変えてから使ってください (several people have that name)");
  return found->front();
}

}  // namespace

int main(int argc, char** argv) {
  namespace cli = torvela::cli;
  namespace chart = torvela::chart;
  std::optional<cli::Date> date;
  std::optional<std::string> hour, minute, data, placeQuery, fieldsText, pdf, db;
  std::optional<std::string> save, person, importFile, exportFile;
  std::optional<chart::LocalTime> now;
  Birth birth;
  std::optional<int> jobs;
  bool json = false, batch = false, list = false, skipBad = false;
  bool sexGiven = false, jisaGiven = false, momentGiven = false;

  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i], value;
    bool hasValue = false;
    if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg.resize(eq);
      hasValue = true;
    }
    auto next = [&]() -> std::string {
      if (hasValue) return value;
      if (i + 1 >= argc) BadOption(arg + " には値が必要です (" + arg + " needs a value)");
      return argv[++i];
    };
    if (arg == "--help" || arg == "-h") {
      Print(Usage);
      return 0;
    } else if (arg == "--version") {
      Print("torvela-cli " TORVELA_VERSION_TEXT "\n");
      return 0;
    } else if (arg == "--json") {
      json = true;
    } else if (arg == "--batch") {
      batch = true;
    } else if (arg == "--jobs") {
      const std::string v = next();
      jobs = ParseJobs(v);
      if (!jobs) BadOption("--jobs は 1〜" + std::to_string(MaxJobs) + " の整数です (--jobs takes 1.." + std::to_string(MaxJobs) + "): " + v);
    } else if (arg == "--date") {
      const std::string v = next();
      date = cli::ParseDate(v);
      if (!date) BadOption("日付が不正です (invalid --date, YYYY-MM-DD within 1800-2080): " + v);
    } else if (arg == "--time") {
      const std::string v = next();
      const auto colon = v.find(':');
      if (colon == std::string::npos) BadOption("時刻は H:M の形式です (--time takes H:M): " + v);
      hour = v.substr(0, colon);
      minute = v.substr(colon + 1);
    } else if (arg == "--hour") {
      hour = next();
    } else if (arg == "--minute") {
      minute = next();
    } else if (arg == "--sex") {
      const std::string v = next();
      sexGiven = true;
      if (v == "男" || v == "m" || v == "M" || v == "male") birth.male = true;
      else if (v == "女" || v == "f" || v == "F" || v == "female") birth.male = false;
      else BadOption("性別は 男 か 女 です (--sex takes 男 or 女): " + v);
    } else if (arg == "--jisa") {
      birth.jisahun = next();
      jisaGiven = true;
    } else if (arg == "--jisa-sec") {
      birth.jisabyo = next();
      jisaGiven = true;
    } else if (arg == "--place") {
      placeQuery = next();
      if (placeQuery->empty()) BadOption("--place には地名が必要です (--place needs a name)");
    } else if (arg == "--dst") {
      const std::string v = next();
      const auto mode = chart::ParseDstMode(v);
      if (!mode) BadOption("--dst は auto か off です (--dst takes auto or off): " + v);
      birth.moment.dst = *mode;
      momentGiven = true;
    } else if (arg == "--before-1888") {
      const std::string v = next();
      const auto mode = chart::ParseBefore1888(v);
      if (!mode) BadOption("--before-1888 は jst・lmt・solar のどれかです (--before-1888 takes jst, lmt or solar): " + v);
      birth.moment.before1888 = *mode;
      momentGiven = true;
    } else if (arg == "--margin") {
      const std::string v = next();
      const auto minutes = chart::ParseMargin(v);
      if (!minutes) BadOption("--margin は 10・30・60 のどれかです (--margin takes 10, 30 or 60): " + v);
      birth.moment.marginMinutes = *minutes;
      momentGiven = true;
    } else if (arg == "--fields") {
      fieldsText = next();
    } else if (arg == "--pdf") {
      pdf = next();
      if (pdf->empty()) BadOption("--pdf にはファイル名が必要です (--pdf needs a file name)");
    } else if (arg == "--db") {
      db = next();
      if (db->empty()) BadOption("--db にはファイル名が必要です (--db needs a file name)");
    } else if (arg == "--save") {
      save = next();
    } else if (arg == "--list") {
      list = true;
    } else if (arg == "--person") {
      person = next();
    } else if (arg == "--import") {
      importFile = next();
    } else if (arg == "--export") {
      exportFile = next();
    } else if (arg == "--skip-bad") {
      skipBad = true;
    } else if (arg == "--now") {
      const std::string v = next();
      now = cli::ParseLocalTime(v);
      if (!now) BadOption("現在時刻が不正です (invalid --now, YYYY-MM-DDTHH:MM): " + v);
    } else if (arg == "--data") {
      data = next();
    } else {
      BadOption("不明なオプションです (unknown option): " + arg);
    }
  }

  // One thing to do; the options that go with it and no others.
  const int actions = batch + !!save + list + !!person + !!importFile + !!exportFile;
  if (actions > 1)
    BadOption("--batch, --save, --list, --person, --import, --export は一度に一つです "
              "(one of these at a time)");
  const bool chartOptions = date || hour || minute || sexGiven || jisaGiven || placeQuery;
  const bool keeping = save || list || person || importFile || exportFile;
  if (db && !keeping)
    BadOption("--db は --save, --list, --person, --import, --export と使います "
              "(--db goes with the list's options)");
  if (skipBad && !importFile) BadOption("--skip-bad は --import と使います (--skip-bad goes with --import)");
  if (jobs && !batch) BadOption("--jobs は --batch とだけ使えます (--jobs goes with --batch)");
  if (placeQuery && jisaGiven)
    BadOption("--place と --jisa, --jisa-sec は一緒に使えません "
              "(a place sets the time difference itself)");
  if (fieldsText && !json && !batch)
    BadOption("--fields は --json か --batch と使います (--fields goes with --json or --batch)");
  cli::Fields fields;
  if (fieldsText) {
    const auto f = cli::ParseFields(*fieldsText);
    if (!f) BadOption("--fields は chart,moment,reading,place のカンマ区切りです (--fields takes a comma list of chart, moment, reading, place): " + *fieldsText);
    fields = *f;
  }
  if (batch) {
    if (chartOptions || json || pdf)
      BadOption("--batch は一人分の指定と併用できません (--batch takes no chart options)");
  } else if (list || importFile || exportFile || person) {
    if (chartOptions || momentGiven)
      BadOption("名簿の操作に命式の指定は要りません (the list's options take no chart options)");
    if ((list || importFile || exportFile) && (json || pdf))
      BadOption("--json と --pdf は一人分の命式に使います (--json and --pdf go with one chart)");
  } else {
    if (save && (json || pdf))
      BadOption("--save は --json, --pdf と一緒に使えません (--save prints no chart)");
    if (save && Q(*save).trimmed().isEmpty())
      BadOption("--save には名前が必要です (--save needs a name)");
    if (!date) BadOption("--date が必要です (--date is required)");
    if (!hour) BadOption("--time か --hour が必要です (--time or --hour is required)");
    if (!cli::IsListText(*hour, 23))
      BadOption("時は ? か 0〜23 です (hour must be ? or 0..23): " + *hour);
    if (*hour == "?" && !minute) minute = "?";
    if (!minute) BadOption("--minute が必要です (--minute is required)");
    if (!cli::IsListText(*minute, 59))
      BadOption("分は ? か 0〜59 です (minute must be ? or 0..59): " + *minute);
    // As the lists show them: "7", not "07".
    auto listText = [](const std::string& t) { return t == "?" ? t : std::to_string(std::stoi(t)); };
    birth.date = *date;
    birth.hour = listText(*hour);
    birth.minute = listText(*minute);
  }

  const std::filesystem::path dataDir =
      data ? std::filesystem::path(*data) : torvela::DataDirectory(ExeDirectory(argv[0]));
  const cli::PlaceBook places(dataDir / torvela::place::kGazetteerFileName);
  if (placeQuery) {
    std::string error;
    const torvela::place::Gazetteer* gazetteer = places.Get(error);
    if (!gazetteer) BadFile(error);
    const auto found = gazetteer->Resolve(*placeQuery);
    if (!found.place) BadOption(torvela::place::ResolutionMessage(*placeQuery, found));
    const auto diff = torvela::place::TimeDifferenceOf(*found.place);
    birth.jisahun = diff.minutes;
    birth.jisabyo = diff.seconds;
    birth.place = found.place;
  }

  const auto app = keeping || pdf ? MakeApplication(argv[0], pdf.has_value()) : nullptr;

  // The 名簿 actions that draw no chart.
  if (save) {
    torvela::store::Store store = OpenStore(db);
    auto found = store.FindByName(Q(*save));
    if (!found) BadFile(S(found.error().message));
    if (found->size() > 1)
      BadOption("名簿に「" + *save + "」が " + std::to_string(found->size()) +
                " 人います。上書きする人を決められません (several people have that name)");
    torvela::store::Person p;
    if (!found->empty()) p = found->front();
    p.name = Q(*save).trimmed();
    p.inputs = cli::InputsOf(birth, momentGiven);
    auto kept = found->empty() ? store.Add(p) : store.Update(p);
    if (!kept) {
      if (kept.error().problem == torvela::store::Problem::Invalid) BadOption(S(kept.error().message));
      BadFile(S(kept.error().message));
    }
    Print((found->empty() ? "名簿に追加しました (added): " : "名簿を更新しました (updated): ") +
          S(kept->name) + "\n");
    return 0;
  }
  if (list) {
    const auto store = OpenStoreToRead(db);
    if (!store) return 0;
    auto people = store->List();
    if (!people) BadFile(S(people.error().message));
    std::string out;
    for (const auto& p : *people) out += cli::ListLine(p) + "\n";
    Print(out);
    return 0;
  }
  if (importFile) {
    // The file is read first: a CSV that cannot be read creates no 名簿.
    auto rows = torvela::store::ReadCsvFile(Q(*importFile));
    if (!rows) BadFile(S(rows.error().message));
    std::string bad;
    for (const auto& problem : rows->bad) bad += "  " + S(problem.Text()) + "\n";
    if (!rows->bad.empty() && !skipBad) {
      std::fprintf(stderr,
                   "torvela-cli: %s に読めない行があります。何も追加していません "
                   "(bad rows; nothing added; --skip-bad adds the good ones):\n%s",
                   importFile->c_str(), bad.c_str());
      return 1;
    }
    torvela::store::Store store = OpenStore(db);
    auto added = torvela::store::AddCsvRows(store, *rows);
    if (!added) BadFile(S(added.error().message));
    if (!rows->bad.empty())
      std::fprintf(stderr, "torvela-cli: 読み飛ばした行 (skipped rows):\n%s", bad.c_str());
    Print(std::to_string(*added) + " 人を追加しました (people added)\n");
    return 0;
  }
  if (exportFile) {
    const auto store = OpenStoreToRead(db);
    auto written = store ? torvela::store::ExportCsvFile(*store, Q(*exportFile))
                         : torvela::store::WriteCsvFile({}, Q(*exportFile));
    if (!written) BadFile(S(written.error().message));
    Print(std::to_string(*written) + " 人を書き出しました (people written)\n");
    return 0;
  }

  std::string name, placeName;
  if (person) {
    const torvela::store::Person p = FindPerson(OpenStoreToRead(db), *person);
    std::string error;
    if (!cli::BirthOf(p.inputs, birth, error)) BadFile("名簿の「" + *person + "」は計算できません: " + error);
    name = S(p.name);
    placeName = S(p.inputs.placeName);
    if (!p.inputs.placeCode.isEmpty()) {
      // The kept time difference is the chart's; the gazetteer only names the place.
      if (const auto* gazetteer = places.Get(error)) {
        const auto found = gazetteer->FindExact(S(p.inputs.placeCode));
        if (found.size() == 1) birth.place = found.front();
      }
    }
  }

  torvela::Tables tables;
  try {
    tables = torvela::LoadTables(dataDir);
  } catch (const torvela::DataFileError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  const chart::LocalTime present = now ? *now : chart::JapanNow();

  if (batch) {
    const cli::BatchContext context{tables, present, birth.moment, fields, &places};
    const auto outcome = cli::RunBatch(STDIN_FILENO, STDOUT_FILENO, context,
                                       jobs ? *jobs : DefaultJobs());
    if (outcome.writeError) IoFailed(CannotWrite, outcome.writeError);
    if (outcome.readError) IoFailed(CannotRead, outcome.readError);
    return outcome.failedLine ? 1 : 0;
  }

  const cli::Fields computed = json && !pdf ? fields : cli::Fields{};
  const cli::ChartRecord record = cli::ComputeRecord(birth, tables, present, computed);
  if (json) {
    std::string out;
    cli::AppendRecordJson(out, 0, record, fields);
    Print(out + "\n");
  }
  if (!json || pdf) {
    const auto content = cli::TextContentOf(birth, name, placeName, record.birth, tables, present);
    if (pdf) {
      std::string error;
      if (!cli::WriteChartPdf(*pdf, content, record.birth, tables, present, error)) BadFile(error);
    } else {
      Print(torvela::reading::ChartPlainText(content));
    }
  }
  return 0;
}
