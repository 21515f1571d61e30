// The five elements' counts as a small bar picture: for each of 木火土金水 a
// bar in the element's colour for the eight characters, lengthened in a
// paler tint by the 本気 of the branches.
#pragma once

#include <QColor>
#include <QWidget>
#include <array>

namespace torvela::ui {

// The conventional colour of element 0..4 (木 green, 火 red, 土 ochre,
// 金 warm grey, 水 blue), dark enough to read as text on the window background.
QColor ElementColor(int element);

class ElementBars : public QWidget {
  Q_OBJECT

 public:
  explicit ElementBars(QWidget* parent = nullptr);

  // Counts by element 木火土金水; withMain includes eight.
  void SetCounts(const std::array<int, 5>& eight, const std::array<int, 5>& withMain);
  // No bars (before the first chart).
  void Clear();

  const std::array<int, 5>& eightCounts() const { return eight_; }
  const std::array<int, 5>& withMainCounts() const { return withMain_; }
  bool isBlank() const { return blank_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::array<int, 5> eight_{}, withMain_{};
  bool blank_ = true;
};

}  // namespace torvela::ui
