// Driving the birthplace box and the map as a person does, and reading back
// what the map draws.
#pragma once

#include <QApplication>
#include <QImage>
#include <QInputMethodEvent>
#include <QWidget>

#include "MapPicture.h"

namespace uitest {

// What the input method hands over when a conversion is committed
// (QTest::keyClicks takes Latin-1 only).
inline void Type(QWidget* target, const QString& text) {
  QInputMethodEvent commit;
  commit.setCommitString(text);
  QApplication::sendEvent(target, &commit);
}

// The picture alone, without its background.
inline QImage Render(QWidget* picture) {
  QImage image(picture->size(), QImage::Format_RGB32);
  picture->render(&image, {}, {}, {});
  return image;
}

// The picture with one more XOR cross-hair at pixel p, crossing pixel once.
inline QImage WithCrossHair(QImage image, QPoint p) {
  const QRgb green = torvela::ui::MapPicture::CrossHairColor().rgb() & 0x00ffffff;
  for (int i = 0; i < image.width(); ++i) {
    if (i != p.y()) image.setPixel(p.x(), i, image.pixel(p.x(), i) ^ green);
    image.setPixel(i, p.y(), image.pixel(i, p.y()) ^ green);
  }
  return image;
}

}  // namespace uitest
