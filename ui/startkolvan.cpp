#include "startkolvan.h"

#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "Fonts.h"
#include "Version.h"

namespace torvela::ui {

namespace {

// Drawn when the picture resource is absent, so the splash keeps its size
// and still says what is starting.
QPixmap StandInPicture(qreal dpr) {
  QPixmap pixmap(QSize(startkolvan::kWidth, startkolvan::kHeight) * dpr);
  pixmap.setDevicePixelRatio(dpr);
  QPainter painter(&pixmap);
  const QRect area(0, 0, startkolvan::kWidth, startkolvan::kHeight);
  QLinearGradient sky(area.topLeft(), area.bottomLeft());
  sky.setColorAt(0.0, QColor(24, 38, 82));
  sky.setColorAt(1.0, QColor(70, 52, 110));
  painter.fillRect(area, sky);
  painter.setPen(QColor(240, 232, 200));
  painter.setFont(PGothicFont(20, true));
  painter.drawText(area.adjusted(0, 0, 0, -40), Qt::AlignCenter, QStringLiteral("Torvela（一般用）"));
  return pixmap;
}

}  // namespace

QPixmap SplashPicture(qreal devicePixelRatio) {
  const QString base = QStringLiteral(":/images/splash");
  const bool dense = devicePixelRatio > 1.0;
  QPixmap pixmap;
  if (dense && QFile::exists(base + QStringLiteral("@2x.png")) &&
      pixmap.load(base + QStringLiteral("@2x.png"))) {
    pixmap.setDevicePixelRatio(2.0);
  } else if (pixmap.load(base + QStringLiteral(".png"))) {
    pixmap.setDevicePixelRatio(1.0);
  } else {
    return StandInPicture(dense ? 2.0 : 1.0);
  }
  return pixmap;
}

startkolvan::startkolvan(std::function<void()> showMain, int intervalMs, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      showMain_(std::move(showMain)),
      Label1(new QLabel(this)),
      Timer1(new QTimer(this)) {
  setObjectName(QStringLiteral("startkolvan"));
  // The main window is shown only after this one has closed itself away;
  // that close must not count as the last window going.
  setAttribute(Qt::WA_QuitOnClose, false);
  setFixedSize(kWidth, kHeight);

  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFont(GothicFont(10, true));
  // Light text on a translucent dark plate reads on any picture.
  Label1->setStyleSheet(QStringLiteral(
      "QLabel { color: #ffffff; background: rgba(0, 0, 0, 120);"
      " border-radius: 3px; padding: 1px 6px; }"));

  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(Label1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 10, 8);
  layout->addStretch();
  layout->addLayout(row);

  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(intervalMs);
  // Once is enough: a second firing would show the main window again.
  Timer1->setSingleShot(true);
  connect(Timer1, &QTimer::timeout, this, &startkolvan::Timer1_Timer);

  Form_Load();
  Timer1->start();
}

void startkolvan::Form_Load() {
  QRect frame = frameGeometry();
  frame.moveCenter(screen()->availableGeometry().center());
  move(frame.topLeft());
  Label1->setText(QStringLiteral("Ver. ") + VersionText());
}

void startkolvan::Timer1_Timer() {
  if (showMain_) showMain_();
}

void startkolvan::paintEvent(QPaintEvent*) {
  const qreal dpr = devicePixelRatioF();
  if (dpr != pictureDpr_) {
    picture_ = SplashPicture(dpr);
    pictureDpr_ = dpr;
  }
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawPixmap(rect(), picture_);
}

void startkolvan::closeEvent(QCloseEvent* event) {
  // Closing is unloading: the timer must not outlive the window's purpose.
  // Closed before its time (its close box, Alt+F4), the splash gives way to
  // the main window at once; otherwise nothing would ever show it.
  const bool early = Timer1->isActive();
  Timer1->stop();
  event->accept();
  if (early) QTimer::singleShot(0, this, &startkolvan::Timer1_Timer);
}

}  // namespace torvela::ui
