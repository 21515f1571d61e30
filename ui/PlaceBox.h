// The birthplace box: a line edit that suggests places of the gazetteer as
// the user types (name, prefecture and reading in each row). Up and Down move
// through the suggestions, Enter or a click chooses one, Escape closes them.
// The list is a popup in the manner of Qt's completer: it takes the keyboard
// while open and hands every key it does not use, and the input method's
// text, back to the box.
#pragma once

#include <QLineEdit>
#include <vector>

#include "place/Gazetteer.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace torvela::ui {

class PlaceBox : public QLineEdit {
  Q_OBJECT

 public:
  // Rows the list offers at most; it shows up to kVisibleRows at a time.
  static constexpr int kMaxSuggestions = 20;
  static constexpr int kVisibleRows = 10;

  explicit PlaceBox(QWidget* parent = nullptr);
  ~PlaceBox() override;

  // The gazetteer searched; not owned and must outlive the box. Null (when
  // the file could not be read): no suggestions, the box stays usable.
  void setGazetteer(const place::Gazetteer* gazetteer);

  // The place last chosen, or null once the text has been edited since.
  const place::Place* chosenPlace() const { return chosen_; }
  // Forgets the chosen place and empties the box, without a signal: the
  // owner calls it when the time difference is typed in by hand.
  void clearPlace();
  // Chooses a place of the gazetteer as picking its suggestion does (the
  // box shows it, placeChosen is emitted), without the list being shown.
  void choosePlace(const place::Place& place);

  QTreeWidget* lstPlaces;  // the suggestions: name, prefecture, reading

 public slots:
  void PlaceBox_TextEdited(const QString& text);
  void lstPlaces_Click(QTreeWidgetItem* item);

 signals:
  // A suggestion was chosen; the box now shows its prefecture and name.
  void placeChosen(const torvela::place::Place& place);
  // The text of a chosen place was edited, so no place is chosen any more.
  void placeCleared();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // The list is a window of its own: it goes with the box's window.
  void hideEvent(QHideEvent* event) override;

 private:
  void ShowSuggestions(const QString& query);
  void HideSuggestions();
  void Choose(QTreeWidgetItem* item);
  // Up, Down, Page Up/Down, Enter and Escape while the list is open; false
  // for any other key.
  bool SuggestionKey(QKeyEvent* event);

  const place::Gazetteer* gazetteer_ = nullptr;
  std::vector<const place::Place*> shown_;  // one per row
  const place::Place* chosen_ = nullptr;
};

}  // namespace torvela::ui
