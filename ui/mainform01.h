// The main window: the birth inputs, the time difference, the commands and
// the chart with its terms and notices. It reads its controls and the
// birth-moment settings of the ツール menu, calls the chart computation and
// writes the texts it returns; it computes nothing itself. The settings are
// kept between runs; changing one recomputes the chart in view for the birth
// it shows.
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
#include "VersionBox.h"
#include "calc/Module2.h"
#include "chart/Chart.h"
#include "frmjpmap.h"
#include "frmpop01.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
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
  // The window unloaded by Form_Load (the splash), if any.
  QPointer<QWidget> splash;

  // The sound after the version box; the system sound when left null.
  NotifySound* notifySound = nullptr;

  yInput* yearPicker() const { return yearPicker_.get(); }
  frmjpmap* mapWindow() const { return map_; }
  frmpop01* popupWindow() const { return popup_; }
  DetailWindow* detailWindow() const { return detail_; }

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
  QMenu *menufile, *menutool, *menuhelp;
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
};

}  // namespace torvela::ui
