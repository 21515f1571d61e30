// The 名簿 window: the people kept, found as the search text is typed,
// sorted by a header click. Enter or a double-click hands the person to
// whoever opened the window; 削除 asks first. The window only shows and asks:
// the 名簿 does the keeping, PeopleModel the finding and sorting.
#pragma once

#include <QWidget>

#include "PeopleModel.h"
#include "store/Store.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace torvela::ui {

class PeopleWindow : public QWidget {
  Q_OBJECT

 public:
  explicit PeopleWindow(QWidget* parent = nullptr);

  // Shows the people of `store` (not owned; it must outlive the window or be
  // replaced first). Without a store the window says `problem`, why there is
  // no 名簿, and offers nothing to choose.
  void SetStore(store::Store* store, const QString& problem = {});
  // Reads the people again, keeping the search and the sort.
  void Reload();

  PeopleModel* model() const { return model_; }

  QLineEdit* txtSearch;
  QTableView* lstPeople;
  QLabel* lblStatus;
  QPushButton *btnOpen, *btnDelete, *btnClose;

 signals:
  void personChosen(const torvela::store::Person& person);

 public slots:
  void txtSearch_TextChanged(const QString& text);
  void lstPeople_DoubleClick(const QModelIndex& index);
  void btnOpen_Click();
  void btnDelete_Click();
  void btnClose_Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The person of the current row, if any row is current.
  const store::Person* Current() const;
  void SelectRow(int row);
  void ShowCount();
  void Unavailable(const QString& problem);

  store::Store* store_ = nullptr;
  PeopleModel* model_;
};

}  // namespace torvela::ui
