// The people of the 名簿 as a table for the 名簿 window: filtered by a search
// text at each keystroke and sorted by a column, both over keys worked out
// once when the people are set, so a keystroke over ten thousand people
// costs one pass of substring tests.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "store/Person.h"

namespace torvela::ui {

class PeopleModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { Name, Reading, Birth, Sex, Place, Updated, ColumnCount };

  using QAbstractTableModel::QAbstractTableModel;

  // Replaces everyone; the search text and the sort order stay.
  void SetPeople(std::vector<store::Person> people);
  // Shows only those whose name or reading contains `text` (as SearchKey
  // compares); empty shows everyone.
  void SetSearch(const QString& text);

  const store::Person& PersonAt(int row) const { return all_[shown_[static_cast<std::size_t>(row)]].person; }
  // The row showing the person of this id, or -1.
  int RowOf(qint64 id) const;
  int TotalCount() const { return static_cast<int>(all_.size()); }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  // Name sorts by the reading where there is one (as hiragana), else by the
  // name; Birth by the moment entered ("?" before 0); Updated by time.
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

 private:
  struct Entry {
    store::Person person;
    QString nameKey, readingKey, nameOrder;
    qint64 birthOrder = 0, updatedOrder = 0;
  };
  void Order();
  void Filter();

  std::vector<Entry> all_;
  std::vector<std::size_t> sorted_;  // all_ in the sort order
  std::vector<std::size_t> shown_;   // sorted_ that match the search
  QString key_;
  int sortColumn_ = Name;
  Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

// The birth as the 名簿 lists it, in the form of the birthday line:
// "1975年3月5日14時5分", "…14時頃", "…出生時間不明".
QString BirthText(const store::BirthInputs& in);

}  // namespace torvela::ui
