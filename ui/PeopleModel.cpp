#include "PeopleModel.h"

#include <algorithm>

namespace torvela::ui {

using store::Person;

QString BirthText(const store::BirthInputs& in) {
  const QString date = QStringLiteral("%1年%2月%3日").arg(in.year).arg(in.month).arg(in.day);
  if (in.hour == u"?") return date + QStringLiteral("出生時間不明");
  if (in.minute.isEmpty() || in.minute == u"?") return date + in.hour + QStringLiteral("時頃");
  return date + in.hour + QStringLiteral("時") + in.minute + QStringLiteral("分");
}

namespace {

// Year, month, day, hour and minute in one number; "?" comes before 0.
qint64 BirthOrder(const store::BirthInputs& in) {
  const auto part = [](const QString& text) { return text == u"?" || text.isEmpty() ? 0 : text.toInt() + 1; };
  return (((qint64(in.year) * 13 + in.month) * 32 + in.day) * 25 + part(in.hour)) * 61 + part(in.minute);
}

}  // namespace

void PeopleModel::SetPeople(std::vector<Person> people) {
  beginResetModel();
  all_.clear();
  all_.reserve(people.size());
  for (Person& p : people) {
    Entry e;
    e.nameKey = store::SearchKey(p.name);
    e.readingKey = store::SearchKey(p.reading);
    e.nameOrder = e.readingKey.isEmpty() ? e.nameKey : e.readingKey;
    e.birthOrder = BirthOrder(p.inputs);
    e.updatedOrder = p.updated.toSecsSinceEpoch();
    e.person = std::move(p);
    all_.push_back(std::move(e));
  }
  Order();
  Filter();
  endResetModel();
}

void PeopleModel::SetSearch(const QString& text) {
  const QString key = store::SearchKey(text);
  if (key == key_) return;
  beginResetModel();
  key_ = key;
  Filter();
  endResetModel();
}

void PeopleModel::sort(int column, Qt::SortOrder order) {
  if (column < 0 || column >= ColumnCount) return;
  emit layoutAboutToBeChanged();
  sortColumn_ = column, sortOrder_ = order;
  const QModelIndexList before = persistentIndexList();
  std::vector<qint64> ids;
  for (const QModelIndex& i : before) ids.push_back(PersonAt(i.row()).id);
  Order();
  Filter();
  QModelIndexList after;
  for (std::size_t k = 0; k < ids.size(); ++k) {
    const int row = RowOf(ids[k]);
    after << (row < 0 ? QModelIndex() : index(row, before[int(k)].column()));
  }
  changePersistentIndexList(before, after);
  emit layoutChanged();
}

void PeopleModel::Order() {
  sorted_.resize(all_.size());
  for (std::size_t i = 0; i < all_.size(); ++i) sorted_[i] = i;
  auto less = [this](std::size_t a, std::size_t b) {
    const Entry &x = all_[a], &y = all_[b];
    switch (sortColumn_) {
      case Name:
        if (int c = x.nameOrder.compare(y.nameOrder); c) return c < 0;
        if (int c = x.person.name.compare(y.person.name); c) return c < 0;
        break;
      case Reading:
        if (int c = x.readingKey.compare(y.readingKey); c) return c < 0;
        break;
      case Birth:
        if (x.birthOrder != y.birthOrder) return x.birthOrder < y.birthOrder;
        break;
      case Sex:
        if (x.person.inputs.sex != y.person.inputs.sex) return x.person.inputs.sex < y.person.inputs.sex;
        break;
      case Place:
        if (int c = x.person.inputs.placeName.compare(y.person.inputs.placeName); c) return c < 0;
        break;
      case Updated:
        if (x.updatedOrder != y.updatedOrder) return x.updatedOrder < y.updatedOrder;
        break;
    }
    return x.person.id < y.person.id;
  };
  if (sortOrder_ == Qt::AscendingOrder)
    std::sort(sorted_.begin(), sorted_.end(), less);
  else
    std::sort(sorted_.begin(), sorted_.end(), [&](std::size_t a, std::size_t b) { return less(b, a); });
}

void PeopleModel::Filter() {
  shown_.clear();
  shown_.reserve(sorted_.size());
  for (std::size_t i : sorted_)
    if (store::KeyMatches(all_[i].nameKey, all_[i].readingKey, key_)) shown_.push_back(i);
}

int PeopleModel::RowOf(qint64 id) const {
  for (std::size_t r = 0; r < shown_.size(); ++r)
    if (all_[shown_[r]].person.id == id) return static_cast<int>(r);
  return -1;
}

int PeopleModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int PeopleModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant PeopleModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return {};
  const Person& p = PersonAt(index.row());
  switch (index.column()) {
    case Name: return p.name;
    case Reading: return p.reading;
    case Birth: return BirthText(p.inputs);
    case Sex: return store::SexText(p.inputs.sex);
    case Place: return p.inputs.placeName;
    case Updated: return p.updated.toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm"));
    default: return {};
  }
}

QVariant PeopleModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static const char16_t* const names[] = {u"名前", u"よみ", u"生年月日", u"性別", u"出生地", u"更新日時"};
  if (section < 0 || section >= ColumnCount) return {};
  return QString::fromUtf16(names[section]);
}

}  // namespace torvela::ui
