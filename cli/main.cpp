// torvela-cli: draws up a Four Pillars chart from the command line.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "calc/Module2.h"
#include "cli/Batch.h"
#include "cli/ChartIo.h"

namespace {

using torvela::cli::Birth;

constexpr const char* Usage = R"(使い方 (usage):
  torvela-cli --date YYYY-MM-DD --time H:M [options]
  torvela-cli --batch [--jobs N] [--now YYYY-MM-DDTHH:MM] [--data DIR] < in.jsonl > out.jsonl

一人分の命式 (one chart):
  --date YYYY-MM-DD    生年月日、日本標準時 (birth date, 1800-2080)
  --time H:M           出生時刻 (birth time); 時 "?" は時刻不明 (unknown hour,
                       minute ignored), 分 "?" は分不明: --time ?:? / 14:? / 14:05
  --hour H, --minute M 時と分を別々に ("?" か数字) (hour and minute separately;
                       --hour ? needs no minute)
  --sex 男|女          性別、既定は女 (sex, default 女; m/f also accepted)
  --jisa TEXT          時差の分、入力のまま (time difference, minutes as typed;
                       "-" is west, "-0" too), 既定 0
  --jisa-sec TEXT      時差の秒、入力のまま (seconds as typed), 既定 0
  --json               JSON で出力 (print one JSON object)

共通 (common):
  --now YYYY-MM-DDTHH:MM  現在時刻 (the present, local time; default: the system clock)
  --data DIR           planet.txt と latitude.txt の場所 (data directory)
  --batch              標準入力の JSON Lines を一行ずつ (JSON Lines on stdin, one
                       chart per line, in order). Fields: year, month, day (numbers),
                       hour, minute ("?" or a number text), sex ("男"/"女"),
                       jisahun, jisabyo (texts as typed), optional now.
                       空行は読み飛ばす (blank lines are skipped; "line" counts
                       every input line). A bad line gives {"line":n,"error":...};
                       so does a line longer than 1 MiB. 先頭の BOM は読み飛ばす
                       (a byte-order mark before the first line is skipped).
  --jobs N             --batch を N 本 (1〜256) で並行に計算、既定はこの機械の全コア (compute
                       on N threads, default: every core); 出力は入力順で --jobs 1
                       と同じ (output in input order, the same as --jobs 1)
  --help, --version

終了状態 (exit status): 0 成功 (ok); 1 データファイルの問題、または読めない行あり
(data-file problem, or a batch line failed); 2 オプションの誤り (bad options);
3 入出力の誤り (cannot read input or write output).
)";

[[noreturn]] void BadOption(const std::string& message) {
  std::fprintf(stderr, "torvela-cli: %s\n詳しくは --help (see --help)\n", message.c_str());
  std::exit(2);
}

torvela::chart::LocalTime SystemNow() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min};
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

}  // namespace

int main(int argc, char** argv) {
  std::optional<torvela::cli::Date> date;
  std::optional<std::string> hour, minute, data;
  std::optional<torvela::chart::LocalTime> now;
  Birth birth;
  std::optional<int> jobs;
  bool json = false, batch = false;

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
      date = torvela::cli::ParseDate(v);
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
      if (v == "男" || v == "m" || v == "M" || v == "male") birth.male = true;
      else if (v == "女" || v == "f" || v == "F" || v == "female") birth.male = false;
      else BadOption("性別は 男 か 女 です (--sex takes 男 or 女): " + v);
    } else if (arg == "--jisa") {
      birth.jisahun = next();
    } else if (arg == "--jisa-sec") {
      birth.jisabyo = next();
    } else if (arg == "--now") {
      const std::string v = next();
      now = torvela::cli::ParseLocalTime(v);
      if (!now) BadOption("現在時刻が不正です (invalid --now, YYYY-MM-DDTHH:MM): " + v);
    } else if (arg == "--data") {
      data = next();
    } else {
      BadOption("不明なオプションです (unknown option): " + arg);
    }
  }

  if (batch) {
    if (date || hour || minute || json)
      BadOption("--batch は一人分の指定と併用できません (--batch takes no chart options)");
  } else {
    if (jobs) BadOption("--jobs は --batch とだけ使えます (--jobs goes with --batch)");
    if (!date) BadOption("--date が必要です (--date is required)");
    if (!hour) BadOption("--time か --hour が必要です (--time or --hour is required)");
    if (!torvela::cli::IsListText(*hour, 23))
      BadOption("時は ? か 0〜23 です (hour must be ? or 0..23): " + *hour);
    if (*hour == "?" && !minute) minute = "?";
    if (!minute) BadOption("--minute が必要です (--minute is required)");
    if (!torvela::cli::IsListText(*minute, 59))
      BadOption("分は ? か 0〜59 です (minute must be ? or 0..59): " + *minute);
    // As the lists show them: "7", not "07".
    auto listText = [](const std::string& t) { return t == "?" ? t : std::to_string(std::stoi(t)); };
    birth.date = *date;
    birth.hour = listText(*hour);
    birth.minute = listText(*minute);
  }

  torvela::Tables tables;
  try {
    tables = torvela::LoadTables(data ? std::filesystem::path(*data)
                           : torvela::DataDirectory(ExeDirectory(argv[0])));
  } catch (const torvela::DataFileError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  const torvela::chart::LocalTime present = now ? *now : SystemNow();

  if (batch) {
    const auto outcome = torvela::cli::RunBatch(STDIN_FILENO, STDOUT_FILENO, tables, present,
                                                jobs ? *jobs : DefaultJobs());
    if (outcome.writeError) IoFailed(CannotWrite, outcome.writeError);
    if (outcome.readError) IoFailed(CannotRead, outcome.readError);
    return outcome.failedLine ? 1 : 0;
  }

  const auto result = torvela::chart::ComputeChart(torvela::cli::InputOf(birth), tables, present);
  const auto texts = torvela::chart::MakeChartTexts(result, tables);
  if (json) {
    std::string out;
    torvela::cli::AppendChartJson(out, 0, texts, result);
    Print(out + "\n");
  } else {
    Print(torvela::cli::ChartPlainText(birth, texts));
  }
  return 0;
}
