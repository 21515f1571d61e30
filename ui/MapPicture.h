// The map of Japan with the 135°E line and the exclusive-or cross-hairs.
// Drawing a cross-hair twice at one point restores the map, as on a pen in
// XOR mode; the widget keeps the cross-hairs as state and paints them over
// the map in paintEvent.
#pragma once

#include <QPixmap>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <optional>

namespace torvela::ui {

class MapPicture : public QWidget {
  Q_OBJECT

 public:
  explicit MapPicture(QWidget* parent = nullptr);

  // RGB(0, 203, 28): XOR over the light map colours stays visible.
  static QColor CrossHairColor();

  // Draws a cross-hair that stays until ClearDrawing(). A new one replaces
  // the previous, so at most one is ever held.
  void DrawHeldCrossHair(QPoint pixel);
  // Draws a cross-hair that removes itself a moment later (80 ms).
  void FlashCrossHair(QPoint pixel);
  // Removes every cross-hair; the bare map shows again.
  void ClearDrawing();

  std::optional<QPoint> HeldCrossHair() const { return held_; }

 signals:
  // Button and shift as bit sets (1 left, 2 right, 4 middle; 1 Shift,
  // 2 Ctrl, 4 Alt); x and y are the pixel under the pointer.
  void MouseMove(int button, int shift, float x, float y);
  void MouseDown(int button, int shift, float x, float y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  // The map for a device pixel ratio: the 1000 px picture from 1.5 up.
  const QPixmap& Map(qreal ratio);
  void XorCrossHair(class QPainter& painter, QPoint pixel);

  QPixmap map500_, map1000_;
  std::optional<QPoint> held_, flash_;
  QTimer flashTimer_;
};

}  // namespace torvela::ui
