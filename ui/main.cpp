// Torvela（一般用）: a Four Pillars birth chart for a person born in Japan.
#include <QApplication>
#include <cstdio>

#include "Startup.h"
#include "calc/Module2.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const torvela::ui::Arguments arguments = torvela::ui::ParseArguments(QCoreApplication::arguments());
  for (const QString& message : arguments.messages) std::fprintf(stderr, "%s\n", message.toUtf8().constData());
  if (arguments.exitWith) return *arguments.exitWith;
  const std::filesystem::path exeDir = QCoreApplication::applicationDirPath().toStdString();
  return torvela::ui::StartApplication(app, torvela::DataDirectory(exeDir), 3000, arguments.database);
}
