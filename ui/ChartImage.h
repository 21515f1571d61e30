// The chart area as a picture, for ファイル → 画像として保存…: the widget as
// it stands, rendered at a fixed pixel ratio so that the file is as sharp on
// any screen, on the window's own background.
#pragma once

#include <QImage>
#include <QString>

class QWidget;

namespace torvela::ui {

// view at ratio device pixels per pixel; its devicePixelRatio is ratio.
QImage ChartImage(QWidget& view, qreal ratio = 2);

// Writes ChartImage(view) as PNG. The file is replaced only when the whole
// picture was written; on failure error (when given) holds a Japanese
// message and false is returned.
bool SaveChartPng(QWidget& view, const QString& path, QString* error);

}  // namespace torvela::ui
