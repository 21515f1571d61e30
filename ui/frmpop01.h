// The popup chart window: a frozen copy of the chart the main window shows,
// so one chart stays in view while the next is entered. Its controls carry
// the names of their namesakes in the main window; each copy goes from one
// control to the control of the same name.
#pragma once

#include <QPointer>
#include <QWidget>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace torvela::ui {

class frmpop01 : public QWidget {
  Q_OBJECT

 public:
  explicit frmpop01(QWidget* parent = nullptr);

  // Copies texts, captions and the bold marking of the great-luck columns
  // from the main window's controls, found by object name; a control the
  // main window lacks is left as it is. txtMW shows 男 or 女.
  void CopyFrom(const QWidget& mainWindow, bool male);

  QLineEdit* txtBirthday;
  QLineEdit* txtKoutai;
  QLineEdit* txtKoutaiYM;
  QLineEdit* txtKoukei;
  QLineEdit* txtAge;
  QLineEdit* txtMW;
  QLabel* yKan;
  QLabel* yShi;
  QLabel* mKan;
  QLabel* mShi;
  QLabel* dKan;
  QLabel* dShi;
  QLabel* hKan;
  QLabel* hShi;
  QLabel* lblOu;
  std::array<QLabel*, 10> sai1;
  std::array<QLabel*, 11> sai2;
  std::array<QLabel*, 11> dun_kan;
  std::array<QLabel*, 11> dun_shi;
  std::array<QLabel*, 11> Picture;  // Picture1 .. Picture11
  QPushButton* Command1;

 public slots:
  void Command1_Click();

 private:
  void Form_Load();
};

// What the main window's POP command does: creates the popup on first use
// (owned by mainWindow, centred), or shows the existing one where the user
// left it; brings it to the front and copies the chart into it.
frmpop01* ShowPopup(QPointer<frmpop01>& popup, QWidget& mainWindow, bool male);

}  // namespace torvela::ui
