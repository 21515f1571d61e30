#include "ElementBars.h"

#include <QPainter>
#include <algorithm>

#include "reading/ReadingTexts.h"
#include "report/Style.h"

namespace torvela::ui {

QColor ElementColor(int element) { return report::ElementColor(element); }

ElementBars::ElementBars(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void ElementBars::SetCounts(const std::array<int, 5>& eight, const std::array<int, 5>& withMain) {
  eight_ = eight;
  withMain_ = withMain;
  blank_ = false;
  update();
}

void ElementBars::Clear() {
  eight_ = {};
  withMain_ = {};
  blank_ = true;
  update();
}

QSize ElementBars::sizeHint() const {
  const QFontMetrics fm(font());
  return {fm.height() * 15, fm.height() * 9};
}

QSize ElementBars::minimumSizeHint() const {
  const QFontMetrics fm(font());
  return {fm.height() * 12, fm.height() * 9};
}

void ElementBars::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, false);
  const QFontMetrics fm(font());
  const int line = fm.height();
  const int slot = width() / 5;
  const int barWidth = std::max(8, slot / 3);
  // Element names along the bottom, counts above the bars, and bars
  // scaled so that the most any chart holds (12) still fits.
  const int base = height() - line - 4;
  const int top = line + 4;
  const int scaleMax = std::max(6, *std::max_element(withMain_.begin(), withMain_.end()));
  const double unit = static_cast<double>(base - top) / scaleMax;

  p.setPen(palette().color(QPalette::Mid));
  p.drawLine(0, base, width() - 1, base);
  for (int e = 0; e < 5; ++e) {
    const QColor color = ElementColor(e);
    const int cx = slot * e + slot / 2;
    const QRect nameRect(slot * e, base + 2, slot, line);
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(color);
    p.drawText(nameRect, Qt::AlignCenter, QString::fromUtf8(reading::ElementNames[e].data(),
                                                            static_cast<int>(reading::ElementNames[e].size())));
    p.setFont(font());
    if (blank_) continue;

    const int full = static_cast<int>(eight_[e] * unit + 0.5);
    const int extended = static_cast<int>(withMain_[e] * unit + 0.5);
    QColor pale = color;
    pale.setAlpha(90);
    p.fillRect(cx - barWidth / 2, base - extended, barWidth, extended - full, pale);
    p.fillRect(cx - barWidth / 2, base - full, barWidth, full, color);

    const QString count = withMain_[e] == eight_[e]
                              ? QString::number(eight_[e])
                              : QStringLiteral("%1(%2)").arg(eight_[e]).arg(withMain_[e]);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRect(slot * e, base - extended - line - 2, slot, line), Qt::AlignCenter, count);
  }
}

}  // namespace torvela::ui
