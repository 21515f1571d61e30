// The main window: the birth inputs, the time difference, the commands and
// the chart with its terms and notices. It reads its controls and the
// birth-moment settings of the ツール menu, calls the chart computation and
// writes the texts it returns; it computes nothing itself. The settings are
// kept between runs; changing one recomputes the chart in view for the birth
// it shows. ファイル keeps the chart on screen in the 名簿 and opens a kept
// person again by filling the inputs as if typed; it prints the chart,
// writes it as PDF or PNG, and 編集 copies it as text. Those commands use
// the chart as shown, never the inputs.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "BirthPlace.h"
#include "ChartView.h"
#include "DetailWindow.h"
#include "PeopleWindow.h"
#include "VersionBox.h"
#include "calc/Module2.h"
#include "chart/Chart.h"
#include "frmjpmap.h"
#include "frmpop01.h"
#include "report/Page.h"
#include "store/Store.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPrinter;
class QPushButton;
class QRadioButton;
class QSettings;

namespace torvela::ui {

class MomentSettingsMenu;
class PlaceBox;
class UpDown;
class yInput;

class mainform01 : public QMainWindow {
  Q_OBJECT

 public:
  explicit mainform01(Module2& module, QWidget* parent = nullptr);
  ~mainform01() override;

  // Prepares the window before it is first shown: centres it, unloads the
  // splash window, locks every input after the year button, loads the name
  // tables and data files from dataDir, disables the popup commands and
  // reads the birth-moment settings.
  // Returns false with the loader's message in *error when a data file is
  // missing or unusable; the window must then not be shown. The birthplace
  // gazetteer is no such file: without it the birthplace box is disabled,
  // its tooltip saying why.
  bool Form_Load(const std::filesystem::path& dataDir, QString* error);

  // Opens the 名簿 at path (store::DefaultDatabasePath() when empty), once.
  // When it cannot be opened the window runs on without it: the 名簿
  // commands are off, their tips and peopleProblem() saying why.
  void OpenPeople(const QString& path);
  const QString& peopleProblem() const { return peopleProblem_; }
  // Tells once, in a message box, why the 名簿 could not be opened.
  void ShowPeopleProblem();
  store::Store* people() { return store_ ? &*store_ : nullptr; }

  // Rewrites the birthday line from the stored birth and the hour and
  // minute lists.
  void birthday_data();

  // The present moment; tests set a fixed one.
  std::function<std::chrono::system_clock::time_point()> presentMoment = std::chrono::system_clock::now;
  // The present as the chart reads it: presentMoment by Japan's clock.
  // Tests may set a fixed reading instead.
  std::function<chart::LocalTime()> clock;
  // Ends the program with an exit status; tests record the call instead.
  std::function<void(int)> endProgram;
  // Where the settings are kept: the user's, under the organisation and
  // application names; tests give a file of their own.
  std::function<std::unique_ptr<QSettings>()> openSettings;
  // A file dialog's question; the answer is a path, or empty for cancel.
  struct FileQuestion {
    bool save = true;
    QString caption, suggested, filter, suffix;
  };
  // Asks for a file; a QFileDialog unless tests answer instead.
  std::function<QString(const FileQuestion&)> askFile;
  // Sets up the printer (Qt's print dialog unless tests set one up
  // instead); false cancels the printing.
  std::function<bool(QPrinter&)> askPrinter;
  // The window unloaded by Form_Load (the splash), if any.
  QPointer<QWidget> splash;

  // The sound after the version box; the system sound when left null.
  NotifySound* notifySound = nullptr;

  yInput* yearPicker() const { return yearPicker_.get(); }
  frmjpmap* mapWindow() const { return map_; }
  frmpop01* popupWindow() const { return popup_; }
  DetailWindow* detailWindow() const { return detail_; }
  PeopleWindow* peopleWindow() const { return peopleWindow_; }
  // The person last opened or saved, if any: saving again writes over them.
  const std::optional<store::Person>& openPerson() const { return person_; }
  // The name the chart on screen is kept under: the open person's while the
  // chart is the one opened or saved for them; empty otherwise.
  QString ShownName() const;
  // The chart on screen as a printed page and as text.
  report::PageContent ShownPage() const;
  QString ShownText() const;

  // Input and command controls.
  QPushButton* yearInput;
  QComboBox *mSelect, *dSelect, *hSelect, *mtSelect;
  QLabel *Label1, *Label4, *Label5, *Label6;
  QRadioButton *optM, *optW;
  QLabel* Label12;
  QLineEdit *txtJisahun, *txtJisabyo;
  UpDown *udJisahun, *udJisabyo;
  QLabel *lblhun, *lblbyo;
  QLabel* lblJisaHint;  // red note on a time difference that reads other than meant
  // The birthplace: a place chosen here writes its time difference, and its
  // point is shown beside it.
  QLabel* lblPlace;
  PlaceBox* txtPlace;
  QLabel* lblPlacePoint;
  QPushButton *btnmap, *fInput, *btnpop, *btnDetail, *endbtn;

  // Display controls: the birthday line and the chart.
  QLabel* Label7;
  QLineEdit* txtBirthday;
  ChartView* chartView;

  // Menus.
  QMenu *menufile, *menuedit, *menutool, *menuhelp;
  QAction *mnuSave, *mnuOpen, *mnuline05, *mnuExport, *mnuImport, *mnuline06, *mnuPrint, *mnuPdf, *mnuImage,
      *mnuline07, *mnuCopy;
  QAction *endkolvan, *mnuMap, *menuLine02, *menupop, *mnuDetail, *mnuline03, *menujisa01, *mnuline04,
      *menuguide, *menuversion;
  // 夏時刻を補正, the reading before 1888 and the boundary margin.
  MomentSettingsMenu* momentMenu;

 public slots:
  void yearInput_Click();
  void mSelect_Click();
  void dSelect_Click();
  void hSelect_Click();
  void mtSelect_Click();
  void fInput_Click();
  void btnmap_Click();
  void mnuMap_Click();
  void btnpop_Click();
  void menupop_Click();
  void btnDetail_Click();
  void mnuDetail_Click();
  void momentMenu_Change();
  void txtJisa_Change();
  void txtPlace_PlaceChosen(const torvela::place::Place& place);
  void txtPlace_PlaceCleared();
  void menujisa01_Click();
  void menuguide_Click();
  void menuversion_Click();
  void endbtn_Click();
  void endkolvan_Click();
  void mnuSave_Click();
  void mnuOpen_Click();
  void mnuExport_Click();
  void mnuImport_Click();
  void mnuPrint_Click();
  void mnuPdf_Click();
  void mnuImage_Click();
  void mnuCopy_Click();
  void PeopleWindow_PersonChosen(const torvela::store::Person& person);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void BuildMenus();
  // While the year picker is open the main window takes no input.
  void LockInputs(bool locked);
  void yInput_Decided();
  void FillDayList();
  void ClampDay();
  // Computes the entered birth with the settings of the menu and shows it as
  // the chart of `birth`.
  void ShowBirth(const ChartBirth& birth);
  // The 命式詳細 window shows the reading of the chart in view.
  void FillDetail();
  // The birth the inputs now describe, as a chart keeps it.
  ChartBirth CurrentBirth() const;
  // Marks the chart out of date while the inputs describe another birth.
  void InputsChanged();
  void UnloadOtherWindows();
  // Gives up the chosen place, if any: the time difference is being set
  // another way. The boxes keep what they hold.
  void ForgetPlace();
  // The inputs as they read now, as the 名簿 keeps them.
  store::BirthInputs InputsNow() const;
  // Sets the inputs as a person typing them would: the year through the
  // year picker, each list through its pick, the sex, the birthplace and the
  // time difference. False when a list does not offer the kept value.
  bool FillInputs(const store::BirthInputs& inputs);
  // Turns the ファイル and 編集 commands on and off for the 名簿 and the
  // chart on screen; the title names the person shown.
  void UpdateCommands();
  QString AskFile(const FileQuestion& question);
  // Remembers the folder of a file chosen, for the next question.
  QString Suggested(const QString& fileName) const;
  void Warn(const QString& title, const QString& text);

  Module2& module_;
  std::unique_ptr<yInput> yearPicker_;
  QPointer<frmjpmap> map_;
  QPointer<frmpop01> popup_;
  QPointer<QWidget> guide_;
  QPointer<DetailWindow> detail_;
  std::unique_ptr<NotifySound> ownSound_;
  // The birth of the chart in view as the inputs read at 八字表示.
  std::optional<chart::ChartInput> entered_;
  std::shared_ptr<const place::Gazetteer> gazetteer_;  // searched by txtPlace; empty when unreadable
  bool writingPlace_ = false;   // the boxes are being set to a chosen place's
  std::optional<store::Store> store_;  // the 名簿; none when it could not be opened
  QString peopleProblem_;              // why there is no 名簿
  QPointer<PeopleWindow> peopleWindow_;
  std::optional<store::Person> person_;          // the person open, as kept
  std::optional<store::BirthInputs> personChart_;  // the inputs of their chart when opened or saved
  store::BirthInputs shownInputs_;               // the inputs the chart on screen was computed for
  QString folder_;                               // where the last file was chosen
};

}  // namespace torvela::ui
