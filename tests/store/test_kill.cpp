// An import killed at any moment: the 名簿 still opens, passes SQLite's
// integrity check and holds either none or all of that import.
#include <QElapsedTimer>
#include <QProcess>
#include <chrono>
#include <random>
#include <thread>

#include "StoreTestSupport.h"

namespace storetest {
namespace {

constexpr int kImport = 1000;

// Starts an import of kImport people in another process; returns it once
// the people are read and the adding is about to begin.
std::unique_ptr<QProcess> StartImport(const QString& path, int seed) {
  auto p = std::make_unique<QProcess>();
  p->start(QStringLiteral(TORVELA_STORE_HELPER),
           {QStringLiteral("import"), path, QString::number(kImport), QString::number(seed)});
  while (!p->canReadLine() && p->waitForReadyRead(10000)) {
  }
  EXPECT_EQ(p->readLine().trimmed(), QByteArray("ready"));
  return p;
}

std::size_t CountAfterCrash(const QString& path) {
  auto store = Store::Open(path);
  EXPECT_TRUE(store) << store.error().message.toStdString();
  if (!store) return 0;
  auto check = store->CheckIntegrity();
  EXPECT_TRUE(check) << check.error().message.toStdString();
  auto all = store->List();
  return all ? all->size() : 0;
}

TEST(KillTest, ImportKilledAnywhereIsAllOrNothing) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("torvela.sqlite"));
  {
    auto store = Store::Open(path);
    ASSERT_TRUE(store);
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(store->Add(Sample(i)));
  }
  // One import left alone tells how long the adding takes on this machine;
  // the kills are spread over twice that, before, during and after the commit.
  QElapsedTimer timer;
  auto whole = StartImport(path, 0);
  timer.start();
  ASSERT_TRUE(whole->waitForFinished(30000));
  const qint64 span = timer.nsecsElapsed() / 1000;
  ASSERT_EQ(whole->exitCode(), 0);
  std::size_t expected = 10 + kImport;
  ASSERT_EQ(CountAfterCrash(path), expected);

  std::mt19937 random(16);
  std::uniform_int_distribution<qint64> delay(0, span * 2);
  int none = 0, all = 0;
  for (int round = 1; round <= 16; ++round) {
    auto import = StartImport(path, round * kImport);
    std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    import->kill();  // SIGKILL
    import->waitForFinished();
    const std::size_t count = CountAfterCrash(path);
    ASSERT_TRUE(count == expected || count == expected + kImport) << "round " << round << ": " << count;
    (count == expected ? none : all) += 1;
    expected = count;
  }
  std::printf("import of %d took %lld us; killed imports: %d left none, %d finished\n", kImport,
              static_cast<long long>(span), none, all);
}

}  // namespace
}  // namespace storetest
