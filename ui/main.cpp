// Torvela（一般用）: a Four Pillars birth chart for a person born in Japan.
#include <QApplication>

#include "Startup.h"
#include "calc/Module2.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const std::filesystem::path exeDir = QCoreApplication::applicationDirPath().toStdString();
  return torvela::ui::StartApplication(app, torvela::DataDirectory(exeDir));
}
