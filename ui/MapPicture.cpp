#include "MapPicture.h"

#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <cmath>

#include "MapLogic.h"

namespace torvela::ui {

namespace {

constexpr int kFlashMs = 80;
constexpr QColor kMeridianColor(200, 30, 30);

// The picture until the rendered map is available: open sea.
QPixmap SeaPlaceholder() {
  QPixmap sea(kMapSize, kMapSize);
  sea.fill(QColor(201, 226, 242));
  return sea;
}

int ButtonBits(Qt::MouseButtons buttons) {
  int bits = 0;
  if (buttons & Qt::LeftButton) bits |= 1;
  if (buttons & Qt::RightButton) bits |= 2;
  if (buttons & Qt::MiddleButton) bits |= 4;
  return bits;
}

int ShiftBits(Qt::KeyboardModifiers modifiers) {
  int bits = 0;
  if (modifiers & Qt::ShiftModifier) bits |= 1;
  if (modifiers & Qt::ControlModifier) bits |= 2;
  if (modifiers & Qt::AltModifier) bits |= 4;
  return bits;
}

// While a button is held the widget keeps receiving moves from outside it.
std::optional<QPoint> PixelUnder(const QMouseEvent& event) {
  const QPoint pixel(MapPixel(event.position().x()), MapPixel(event.position().y()));
  if (pixel.x() < 0 || pixel.y() < 0 || pixel.x() >= kMapSize || pixel.y() >= kMapSize)
    return std::nullopt;
  return pixel;
}

}  // namespace

MapPicture::MapPicture(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Picture1"));
  setFixedSize(kMapSize, kMapSize);
  setMouseTracking(true);
  setCursor(Qt::CrossCursor);
  setAttribute(Qt::WA_OpaquePaintEvent);

  flashTimer_.setSingleShot(true);
  flashTimer_.setInterval(kFlashMs);
  connect(&flashTimer_, &QTimer::timeout, this, [this] {
    flash_.reset();
    update();
  });
}

QColor MapPicture::CrossHairColor() { return QColor(0, 203, 28); }

void MapPicture::DrawHeldCrossHair(QPoint pixel) {
  // A flash at the same point would cancel the held one by XOR.
  flashTimer_.stop();
  flash_.reset();
  held_ = pixel;
  update();
}

void MapPicture::FlashCrossHair(QPoint pixel) {
  flash_ = pixel;
  flashTimer_.start();
  update();
}

void MapPicture::ClearDrawing() {
  flashTimer_.stop();
  flash_.reset();
  held_.reset();
  update();
}

const QPixmap& MapPicture::Map(qreal ratio) {
  if (map500_.isNull()) {
    map500_.load(QStringLiteral(":/images/map500.png"));
    if (map500_.isNull()) map500_ = SeaPlaceholder();
  }
  if (ratio < 1.5) return map500_;
  if (map1000_.isNull()) {
    map1000_.load(QStringLiteral(":/images/map1000.png"));
    if (map1000_.isNull()) return map500_;
    map1000_.setDevicePixelRatio(2.0);
  }
  return map1000_;
}

void MapPicture::XorCrossHair(QPainter& painter, QPoint pixel) {
  const QColor color = CrossHairColor();
  const int x = pixel.x();
  const int y = pixel.y();
  painter.fillRect(QRect(x, 0, 1, kMapSize), color);
  // The horizontal line skips the crossing pixel: XOR-ing it twice would
  // leave a hole in the cross.
  painter.fillRect(QRect(0, y, x, 1), color);
  painter.fillRect(QRect(x + 1, y, kMapSize - x - 1, 1), color);
}

void MapPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing, false);
  // The ratio of the surface really painted: render() redirects to an image.
  const qreal ratio = painter.paintEngine()->paintDevice()->devicePixelRatioF();
  painter.drawPixmap(QRect(0, 0, kMapSize, kMapSize), Map(ratio));

  // The 135°E line: one device pixel wide, in the device column that holds
  // the meridian (pixel i's centre is x = i). Drawn in device pixels, since a
  // fractional logical rect would be widened to whole logical pixels.
  const int column = static_cast<int>(std::floor(ratio * (MeridianX() + 0.5)));
  painter.save();
  painter.scale(1 / ratio, 1 / ratio);
  painter.fillRect(QRect(column, 0, 1, static_cast<int>(std::ceil(ratio * kMapSize))),
                   kMeridianColor);
  painter.restore();

  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  if (held_) XorCrossHair(painter, *held_);
  if (flash_) XorCrossHair(painter, *flash_);
}

void MapPicture::mouseMoveEvent(QMouseEvent* event) {
  if (const auto pixel = PixelUnder(*event))
    emit MouseMove(ButtonBits(event->buttons()), ShiftBits(event->modifiers()),
                   static_cast<float>(pixel->x()), static_cast<float>(pixel->y()));
}

void MapPicture::mousePressEvent(QMouseEvent* event) {
  if (const auto pixel = PixelUnder(*event))
    emit MouseDown(ButtonBits(event->button()), ShiftBits(event->modifiers()),
                   static_cast<float>(pixel->x()), static_cast<float>(pixel->y()));
}

}  // namespace torvela::ui
