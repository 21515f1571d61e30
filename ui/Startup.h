// Start-up: the splash window, then the main window once its tables are
// loaded; a data file that cannot be read ends the program with a message
// before any main window is shown.
#pragma once

#include <QPointer>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>

#include "calc/Module2.h"
#include "mainform01.h"
#include "startkolvan.h"

class QApplication;

namespace torvela::ui {

class Startup {
 public:
  // dataDir: where planet.txt and latitude.txt are read from;
  // splashMs: how long the splash stays before the main window loads.
  Startup(std::filesystem::path dataDir, int splashMs = 3000);
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
  std::unique_ptr<Module2> module_;
  std::unique_ptr<mainform01> main_;
  QPointer<startkolvan> splash_;
  bool failed_ = false;
  QString error_;
};

// Title of the message that reports an unreadable data file.
QString StartupErrorTitle();

// Sets up the application (Japanese Qt texts, fonts, names, icon), runs the
// program with the data files of dataDir and returns its exit status:
// 0 after a normal end, 1 when a data file could not be read.
int StartApplication(QApplication& app, const std::filesystem::path& dataDir, int splashMs = 3000);

// The application-wide settings alone (used by StartApplication and tests).
void ConfigureApplication(QApplication& app);

}  // namespace torvela::ui
