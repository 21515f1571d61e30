// The 名簿 at ten thousand people: CSV export and import, and the 名簿
// window's search at each keystroke (the model's filter, and the whole
// window with its table). Targets: import and export each under 2 s, a
// keystroke under 20 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>

#include "PeopleModel.h"
#include "PeopleWindow.h"
#include "store/Csv.h"
#include "store/Store.h"

namespace {

using namespace torvela::store;

constexpr int kPeople = 10000;

std::vector<Person> People() {
  static const char16_t* const family[][2] = {
      {u"山田", u"やまだ"}, {u"佐藤", u"さとう"}, {u"鈴木", u"すずき"}, {u"高橋", u"たかはし"},
      {u"田中", u"たなか"}, {u"伊藤", u"いとう"}, {u"渡辺", u"わたなべ"}, {u"中村", u"なかむら"},
      {u"小林", u"こばやし"}, {u"加藤", u"かとう"}, {u"山本", u"やまもと"}, {u"吉田", u"よしだ"}};
  static const char16_t* const given[][2] = {
      {u"太郎", u"たろう"}, {u"花子", u"はなこ"}, {u"一郎", u"いちろう"}, {u"美咲", u"みさき"},
      {u"翔太", u"しょうた"}, {u"陽菜", u"ひな"}, {u"大輝", u"だいき"}, {u"さくら", u"さくら"},
      {u"健", u"けん"}, {u"結衣", u"ゆい"}, {u"蓮", u"れん"}};
  std::vector<Person> people;
  for (int i = 0; i < kPeople; ++i) {
    const auto& f = family[i % 12];
    const auto& g = given[(i / 12) % 11];
    Person p;
    p.name = QString::fromUtf16(f[0]) + u' ' + QString::fromUtf16(g[0]) + QString::number(i / 132);
    p.reading = i % 4 ? QString::fromUtf16(f[1]) + u' ' + QString::fromUtf16(g[1]) : QString();
    p.memo = i % 10 == 0 ? QStringLiteral("父方の叔母, \"よし\"\n引っ越し先は未定") : QString();
    p.inputs = {FirstYear + (i * 37) % 281, 1 + i % 12, 1 + (i * 7) % 28,
                i % 13 ? QString::number(i % 24) : QStringLiteral("?"), QString::number((i * 13) % 60),
                i % 2 ? Sex::Male : Sex::Female, QString::number(i % 40 - 20), QString::number(i % 60),
                i % 3 ? QString() : QStringLiteral("131016"), i % 3 ? QString() : QStringLiteral("千代田区"),
                i % 5 ? std::nullopt : std::optional(MomentSettings{})};
    people.push_back(std::move(p));
  }
  return people;
}

void BM_ExportCsv(benchmark::State& state) {
  QTemporaryDir dir;
  auto store = Store::Open(dir.filePath("torvela.sqlite"));
  if (!store || !store->AddAll(People())) return state.SkipWithError("no 名簿");
  for (auto _ : state) {
    auto n = ExportCsvFile(*store, dir.filePath("people.csv"));
    if (!n || *n != kPeople) return state.SkipWithError("export failed");
  }
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond);

// Reading the file, checking each row and adding all in one transaction,
// into an open 名簿 that is empty each time.
void BM_ImportCsv(benchmark::State& state) {
  QTemporaryDir dir;
  const QString csv = dir.filePath("people.csv");
  {
    auto source = Store::Open(dir.filePath("source.sqlite"));
    if (!source || !source->AddAll(People()) || !ExportCsvFile(*source, csv)) return state.SkipWithError("no CSV");
  }
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto store = Store::Open(dir.filePath(QStringLiteral("target%1.sqlite").arg(++round)));
    state.ResumeTiming();
    auto parsed = ReadCsvFile(csv);
    if (!store || !parsed || parsed->good.size() != kPeople) return state.SkipWithError("parse failed");
    if (!AddCsvRows(*store, *parsed)) return state.SkipWithError("add failed");
  }
}
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond);

// What each keystroke of a search costs; the texts are typed, then erased.
const QStringList kKeystrokes = {"や", "やま", "やまだ", "やまだ た", "やまだ", "やま", "や", "",
                                 "ｶ", "ｶﾄ", "ｶﾄｳ", "加藤", "加", "", "1", "12", "1", ""};

void BM_SearchKeystrokeModel(benchmark::State& state) {
  torvela::ui::PeopleModel model;
  model.SetPeople(People());
  qsizetype i = 0;
  for (auto _ : state) {
    model.SetSearch(kKeystrokes[i++ % kKeystrokes.size()]);
    benchmark::DoNotOptimize(model.rowCount());
  }
}
BENCHMARK(BM_SearchKeystrokeModel)->Unit(benchmark::kMillisecond);

// The same through the window: the search box, the model and the table.
void BM_SearchKeystrokeWindow(benchmark::State& state) {
  QTemporaryDir dir;
  auto store = Store::Open(dir.filePath("torvela.sqlite"));
  if (!store || !store->AddAll(People())) return state.SkipWithError("no 名簿");
  torvela::ui::PeopleWindow window;
  window.SetStore(&*store);
  window.show();
  QApplication::processEvents();
  qsizetype i = 0;
  for (auto _ : state) {
    window.txtSearch->setText(kKeystrokes[i++ % kKeystrokes.size()]);
    QApplication::processEvents();
  }
}
BENCHMARK(BM_SearchKeystrokeWindow)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);  // Qt SQL's driver and the window need it
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
