#include "Startup.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QTranslator>

#include "Fonts.h"
#include "mainform01.h"
#include "startkolvan.h"

namespace torvela::ui {

// Off by default; QT_LOGGING_RULES="torvela.startup.info=true" shows where the
// tables came from (the package test relies on it).
Q_LOGGING_CATEGORY(lcStartup, "torvela.startup", QtWarningMsg)

QString StartupErrorTitle() { return QStringLiteral("Torvela（一般用）"); }

Startup::Startup(std::filesystem::path dataDir, int splashMs)
    : endProgram([](int code) { QCoreApplication::exit(code); }),
      dataDir_(std::move(dataDir)),
      splashMs_(splashMs),
      module_(std::make_unique<Module2>()) {}

Startup::~Startup() {
  if (splash_) delete splash_.data();
}

void Startup::Begin() {
  splash_ = new startkolvan([this] { ShowMain(); }, splashMs_);
  splash_->show();
}

void Startup::ShowMain() {
  if (main_) return;
  main_ = std::make_unique<mainform01>(*module_);
  main_->splash = splash_.data();
  main_->endProgram = [this](int code) {
    if (endProgram) endProgram(code);
  };
  if (!main_->Form_Load(dataDir_, &error_)) {
    failed_ = true;
    main_.reset();
    QMessageBox::critical(nullptr, StartupErrorTitle(), error_);
    if (endProgram) endProgram(1);
    return;
  }
  qCInfo(lcStartup, "data loaded from %s", dataDir_.string().c_str());
  main_->show();
}

void ConfigureApplication(QApplication& app) {
  QCoreApplication::setOrganizationName(QStringLiteral("Torvela Project"));
  // The application name is also the window class on X11 (WM_CLASS
  // "torvela", "Torvela"), which the desktop entry's StartupWMClass names;
  // Wayland matches the windows to the entry by its file name.
  QCoreApplication::setApplicationName(QStringLiteral("Torvela"));
  QGuiApplication::setDesktopFileName(QStringLiteral("invalid.torvela.Torvela"));
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  // Standard buttons and dialogs in Japanese, like every other text.
  auto* qtbase = new QTranslator(&app);
  if (qtbase->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(qtbase);
  // Set explicitly: otherwise the face depends on the user's locale settings.
  QApplication::setFont(GothicFont(10));
  // PNG sizes rather than the SVG: the SVG icon engine is a separate plugin.
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/images/torvela-%1.png").arg(size), QSize(size, size));
  QApplication::setWindowIcon(icon);
}

int StartApplication(QApplication& app, const std::filesystem::path& dataDir, int splashMs) {
  ConfigureApplication(app);
  // Every end of the program is explicit; the splash closing before the main
  // window shows must not end it.
  app.setQuitOnLastWindowClosed(false);
  Startup startup(dataDir, splashMs);
  startup.Begin();
  const int status = app.exec();
  return startup.failed() ? 1 : status;
}

}  // namespace torvela::ui
