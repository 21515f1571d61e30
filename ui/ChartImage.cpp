#include "ChartImage.h"

#include <QPainter>
#include <QSaveFile>
#include <QWidget>

namespace torvela::ui {

QImage ChartImage(QWidget& view, qreal ratio) {
  view.ensurePolished();
  const QSize size = view.size();
  QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
  image.fill(view.palette().color(view.backgroundRole()));
  view.render(&image);
  return image;
}

bool SaveChartPng(QWidget& view, const QString& path, QString* error) {
  auto fail = [&](const QString& reason) {
    if (error) *error = QStringLiteral("画像ファイルを書き込めません：%1（%2）").arg(path, reason);
    return false;
  };
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
  if (!ChartImage(view).save(&file, "PNG")) return fail(QStringLiteral("PNGを作れません"));
  if (!file.commit()) return fail(file.errorString());
  return true;
}

}  // namespace torvela::ui
