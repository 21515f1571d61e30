// The splash window: the program's picture with its version for a few
// seconds, then a callback shows the main window, whose load handler closes
// this one. Closed early, it calls the callback at once.
#pragma once

#include <QPixmap>
#include <QWidget>
#include <functional>

class QLabel;
class QTimer;

namespace torvela::ui {

// The splash picture for a screen of the given device pixel ratio: the @2x
// file on high-density screens, or a plain drawn stand-in when the picture
// is missing. Always 325 × 227 device-independent pixels.
QPixmap SplashPicture(qreal devicePixelRatio);

class startkolvan : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 325;
  static constexpr int kHeight = 227;

  explicit startkolvan(std::function<void()> showMain, int intervalMs = 3000,
                       QWidget* parent = nullptr);

 public slots:
  void Timer1_Timer();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Form_Load();

  std::function<void()> showMain_;
  QLabel* Label1;
  QTimer* Timer1;
  QPixmap picture_;
  qreal pictureDpr_ = 0;  // the screen density picture_ was chosen for
};

}  // namespace torvela::ui
