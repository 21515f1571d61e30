// The birthplace map window: pointing at the map of Japan shows longitude and
// latitude, a click holds the point, and 決定 turns the held longitude into
// the time difference from Japan Standard Time (135°E).
#pragma once

#include <QWidget>

#include "MapLogic.h"

class QLabel;
class QPushButton;

namespace torvela::ui {

class ActivationOrigin;
class MapPicture;

class frmjpmap : public QWidget {
  Q_OBJECT

 public:
  explicit frmjpmap(QWidget* parent = nullptr);

  // 1 while a clicked point is held; pointer movement then changes nothing.
  short pointFixed = 0;
  MapFrame mapFrame;

 signals:
  // The time-difference texts for txtJisahun and txtJisabyo.
  void decided(const QString& minutes, const QString& seconds);
  // Closed by its close box.
  void unloaded();

 public slots:
  // button: 1 left, 2 right; x, y: the picture pixel under the pointer.
  void Picture1_MouseMove(int button, int shift, float x, float y);
  void Picture1_MouseDown(int button, int shift, float x, float y);
  void btndecide_Click();
  void btncancel_Click();
  void btnClose_Click();

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Form_Activate();
  void ShowPoint(float x, float y);
  void SetHeldButtonsEnabled(bool enabled);

  ActivationOrigin* origin_ = nullptr;
  MapPicture* Picture1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel *Label1 = nullptr, *lblkdo = nullptr, *Label3 = nullptr, *lblkhun = nullptr,
         *Label5 = nullptr, *lblkbyou = nullptr, *Label7 = nullptr;
  QLabel *Label8 = nullptr, *lblido = nullptr, *Label10 = nullptr, *lblihun = nullptr,
         *Label12 = nullptr, *lblibyou = nullptr, *Label14 = nullptr;
  QPushButton *btndecide = nullptr, *btncancel = nullptr, *btnClose = nullptr;
};

}  // namespace torvela::ui
