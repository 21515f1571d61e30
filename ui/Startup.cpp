#include "Startup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>

#include "Fonts.h"
#include "mainform01.h"
#include "startkolvan.h"

namespace torvela::ui {

// Off by default; QT_LOGGING_RULES="torvela.startup.info=true" shows where the
// tables came from (the package test relies on it).
Q_LOGGING_CATEGORY(lcStartup, "torvela.startup", QtWarningMsg)

QString StartupErrorTitle() { return QStringLiteral("Torvela（一般用）"); }

Startup::Startup(std::filesystem::path dataDir, int splashMs, QString database)
    : endProgram([](int code) { QCoreApplication::exit(code); }),
      dataDir_(std::move(dataDir)),
      splashMs_(splashMs),
      database_(std::move(database)),
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
  main_->OpenPeople(database_);
  if (store::Store* people = main_->people())
    qCInfo(lcStartup, "people kept in %s", qUtf8Printable(people->path()));
  main_->show();
  // Said once the window stands, so the message has its window behind it.
  if (!main_->people())
    QTimer::singleShot(0, main_.get(), [window = main_.get()] { window->ShowPeopleProblem(); });
}

Arguments ParseArguments(const QStringList& arguments) {
  Arguments a;
  QCommandLineParser parser;
  const QCommandLineOption db(QStringLiteral("db"), QString(), QStringLiteral("FILE"));
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  parser.addOption(db);
  parser.addOption(help);
  const bool parsed = parser.parse(arguments);
  if (parser.isSet(help)) {
    a.messages << QStringLiteral("使い方: torvela [--db ファイル]\n"
                                 "  --db ファイル  名簿にこのファイルを使います（既定は環境変数 TORVELA_DB、\n"
                                 "                 なければ利用者のデータフォルダーの torvela.sqlite）\n"
                                 "  -h, --help     この説明を出して終わります");
    a.exitWith = 0;
    return a;
  }
  for (const QString& name : parser.unknownOptionNames())
    a.messages << QStringLiteral("torvela: オプション「%1%2」は使えません（無視します）。")
                      .arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), name);
  for (const QString& argument : parser.positionalArguments())
    a.messages << QStringLiteral("torvela: 引数「%1」は使いません（無視します）。").arg(argument);
  // Left out, the 名簿 meant would quietly be another one.
  if ((!parsed && parser.unknownOptionNames().isEmpty()) || (parser.isSet(db) && parser.value(db).isEmpty())) {
    a.messages << QStringLiteral("torvela: --db のあとに名簿のファイル名が要ります。");
    a.exitWith = 2;
    return a;
  }
  if (parser.isSet(db)) a.database = parser.value(db);
  return a;
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

int StartApplication(QApplication& app, const std::filesystem::path& dataDir, int splashMs,
                     const QString& database) {
  ConfigureApplication(app);
  // Every end of the program is explicit; the splash closing before the main
  // window shows must not end it.
  app.setQuitOnLastWindowClosed(false);
  Startup startup(dataDir, splashMs, database);
  startup.Begin();
  const int status = app.exec();
  return startup.failed() ? 1 : status;
}

}  // namespace torvela::ui
