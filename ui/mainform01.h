// The main window: the birth inputs, the time difference, the commands and
// the chart. It reads its controls, calls the chart computation and writes
// the texts it returns; it computes nothing itself.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>

#include "ChartView.h"
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

namespace torvela::ui {

class UpDown;
class yInput;

class mainform01 : public QMainWindow {
  Q_OBJECT

 public:
  explicit mainform01(Module2& module, QWidget* parent = nullptr);
  ~mainform01() override;

  // Prepares the window before it is first shown: centres it, unloads the
  // splash window, locks every input after the year button, loads the name
  // tables and data files from dataDir, and disables the popup commands.
  // Returns false with the loader's message in *error when a data file is
  // missing or unusable; the window must then not be shown.
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
  // The window unloaded by Form_Load (the splash), if any.
  QPointer<QWidget> splash;

  // The sound after the version box; the system sound when left null.
  NotifySound* notifySound = nullptr;

  yInput* yearPicker() const { return yearPicker_.get(); }
  frmjpmap* mapWindow() const { return map_; }
  frmpop01* popupWindow() const { return popup_; }

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
  QPushButton *btnmap, *fInput, *btnpop, *endbtn;

  // Display controls: the birthday line and the chart.
  QLabel* Label7;
  QLineEdit* txtBirthday;
  ChartView* chartView;

  // Menus.
  QMenu *menufile, *menutool, *menuhelp;
  QAction *endkolvan, *mnuMap, *menuLine02, *menupop, *mnuline03, *menujisa01, *menuguide, *menuversion;

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
  void txtJisa_Change();
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
  void ShowChart(const chart::ChartTexts& texts);
  // The birth the inputs now describe, as a chart keeps it.
  ChartBirth CurrentBirth() const;
  // Marks the chart out of date while the inputs describe another birth.
  void InputsChanged();
  void UnloadOtherWindows();

  Module2& module_;
  std::unique_ptr<yInput> yearPicker_;
  QPointer<frmjpmap> map_;
  QPointer<frmpop01> popup_;
  QPointer<QWidget> guide_;
  std::unique_ptr<NotifySound> ownSound_;
  chart::ChartResult result_;
};

}  // namespace torvela::ui
