// Start-up: the command line, the splash window, then the main window once
// its tables are loaded, with the 名簿 opened for it; a data file that cannot
// be read ends the program with a message before any main window is shown,
// a 名簿 that cannot be opened is said once and the program runs without it.
#pragma once

#include <QPointer>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "calc/Module2.h"
#include "mainform01.h"
#include "startkolvan.h"

class QApplication;

namespace torvela::ui {

class Startup {
 public:
  // dataDir: where planet.txt and latitude.txt are read from;
  // splashMs: how long the splash stays before the main window loads;
  // database: the 名簿's file, store::DefaultDatabasePath() when empty.
  Startup(std::filesystem::path dataDir, int splashMs = 3000, QString database = {});
  ~Startup();

  // Shows the splash window; its timer then loads and shows the main window.
  void Begin();

  // Called with the exit status once the program must end (the default
  // leaves the application's event loop).
  std::function<void(int)> endProgram;

  Module2& module() { return *module_; }
  mainform01* mainWindow() const { return main_.get(); }
  startkolvan* splash() const { return splash_; }
  bool failed() const { return failed_; }
  const QString& errorText() const { return error_; }

 private:
  void ShowMain();

  std::filesystem::path dataDir_;
  int splashMs_;
  QString database_;
  std::unique_ptr<Module2> module_;
  std::unique_ptr<mainform01> main_;
  QPointer<startkolvan> splash_;
  bool failed_ = false;
  QString error_;
};

// Title of the message that reports an unreadable data file.
QString StartupErrorTitle();

// What the command line asks of the window program: `--db FILE` (the 名簿's
// file), `-h`/`--help`. Unknown options and arguments are ignored with a
// note; a --db without its file is an error.
struct Arguments {
  QString database;             // empty: the default 名簿
  QStringList messages;         // for standard error, in Japanese
  std::optional<int> exitWith;  // end at once with this status (help: 0, bad options: 2)
};
Arguments ParseArguments(const QStringList& arguments);

// Sets up the application (Japanese Qt texts, fonts, names, icon), runs the
// program with the data files of dataDir and returns its exit status:
// 0 after a normal end, 1 when a data file could not be read.
int StartApplication(QApplication& app, const std::filesystem::path& dataDir, int splashMs = 3000,
                     const QString& database = {});

// The application-wide settings alone (used by StartApplication and tests).
void ConfigureApplication(QApplication& app);

}  // namespace torvela::ui
