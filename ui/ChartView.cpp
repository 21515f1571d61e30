#include "ChartView.h"

#include <QFile>
#include <QGraphicsOpacityEffect>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <tuple>
#include <type_traits>

#include "ControlNames.h"
#include "Fonts.h"
#include "NoticeArea.h"
#include "chart/ChartFields.h"

namespace torvela::ui {

QLineEdit* ResultBox(QWidget* parent, const QString& name, const QString& widest) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setReadOnly(true);
  e->setFocusPolicy(Qt::ClickFocus);
  e->setMinimumWidth(QFontMetrics(e->font()).horizontalAdvance(widest) + 16);
  return e;
}

template <typename W>
W* ChartView::Control(W* widget, const QString& name) {
  widget->setObjectName(name);
  controls_.insert(name, widget);
  return widget;
}

ChartView::ChartView(const Options& options, QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("chartView"));
  setFrameShape(QFrame::StyledPanel);
  // The controls are made here and moved into content_ by its layout.
  content_ = new QWidget(this);
  content_->setObjectName(QStringLiteral("chartContent"));

  auto caption = [this](const char* name, const QString& text) {
    auto* l = new QLabel(text, this);
    l->setObjectName(QString::fromLatin1(name));
    return l;
  };
  auto box = [this](const char* name, const QString& widest) {
    const QString n = QString::fromLatin1(name);
    return Control(ResultBox(this, n, widest), n);
  };
  // The chart's labels get fixed sizes below, so that no text moves the
  // layout and a window keeps its size (the popup its place) whatever it shows.
  auto label = [this](const QString& name, const QFont& font) {
    auto* l = Control(new QLabel(this), name);
    l->setFont(font);
    l->setAlignment(Qt::AlignCenter);
    return l;
  };

  // The four pillars, right to left: year, month, day, hour; stem above branch.
  auto pillar = [&](const char* name) {
    QLabel* l = label(QString::fromLatin1(name), PGothicFont(12, true));
    const QFontMetrics fm(l->font());
    l->setFixedSize(fm.horizontalAdvance(QStringLiteral("甲")) + 22, fm.height() + 12);
    // Each character on a light tile, as a written chart shows it.
    l->setStyleSheet(QStringLiteral("QLabel { background: palette(base); color: palette(text);"
                                    " border: 1px solid palette(mid); border-radius: 3px; }"));
    return l;
  };
  yKan = pillar("yKan");
  yShi = pillar("yShi");
  mKan = pillar("mKan");
  mShi = pillar("mShi");
  dKan = pillar("dKan");
  dShi = pillar("dShi");
  hKan = pillar("hKan");
  hShi = pillar("hShi");
  // The element in season under the month column reads with 旺, as 木旺.
  lblOu = label(QStringLiteral("lblOu"), font());
  lblOu->setFixedWidth(QFontMetrics(lblOu->font()).horizontalAdvance(QStringLiteral("木")));
  lblOu->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  QLabel* ou = caption(options.ou, QStringLiteral("旺"));
  ou->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  lblHourPillar = caption("lblHourPillar", QStringLiteral("時柱"));
  lblDayPillar = caption("lblDayPillar", QStringLiteral("日柱"));
  lblMonthPillar = caption("lblMonthPillar", QStringLiteral("月柱"));
  lblYearPillar = caption("lblYearPillar", QStringLiteral("年柱"));

  auto* pillars = new QGridLayout;
  pillars->setHorizontalSpacing(6);
  pillars->setVerticalSpacing(4);
  const std::array<std::tuple<QLabel*, QLabel*, QLabel*>, 4> columns{{{lblHourPillar, hKan, hShi},
                                                                     {lblDayPillar, dKan, dShi},
                                                                     {lblMonthPillar, mKan, mShi},
                                                                     {lblYearPillar, yKan, yShi}}};
  for (int c = 0; c < 4; ++c) {
    const auto [heading, stem, branch] = columns[c];
    pillars->addWidget(heading, 0, c, Qt::AlignHCenter | Qt::AlignBottom);
    pillars->addWidget(stem, 1, c, Qt::AlignHCenter);
    pillars->addWidget(branch, 2, c, Qt::AlignHCenter);
  }
  auto* ouLine = new QHBoxLayout;
  ouLine->setSpacing(0);
  ouLine->addStretch(1);
  ouLine->addWidget(lblOu);
  ouLine->addWidget(ou);
  ouLine->addStretch(1);
  pillars->addLayout(ouLine, 3, 2);
  pillars->setRowStretch(4, 1);

  // The result boxes with their captions.
  auto* values = new QGridLayout;
  values->setHorizontalSpacing(4);
  values->setVerticalSpacing(6);
  int rows = 0;
  auto row = [values, &rows](QLabel* title, std::initializer_list<QWidget*> fields) {
    const int r = rows++;
    title->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    values->addWidget(title, r, 0);
    auto* line = new QHBoxLayout;
    line->setSpacing(4);
    for (QWidget* w : fields) line->addWidget(w);
    values->addLayout(line, r, 1);
  };
  if (options.solarTime) {
    txtShin = box("txtShin", QStringLiteral("2000年12月31日23時59.9分"));
    txtKinjisa = box("txtKinjisa", QStringLiteral("-14分15.2秒"));
    txtweek = box("txtweek", QStringLiteral("水曜日"));
    txtKinjisa->setFixedWidth(txtKinjisa->minimumWidth());
    row(caption("Label14", QStringLiteral("真太陽時：")), {txtShin});
    row(caption("Label13", QStringLiteral("均時差：")), {txtKinjisa, txtweek});
  }
  txtKoutai = box("txtKoutai", QStringLiteral("約10歳11カ月30日"));
  txtKoutaiYM = box("txtKoutaiYM", QStringLiteral("甲年子月"));
  txtAge = box("txtAge", QStringLiteral("100"));
  txtKoukei = box("txtKoukei", QStringLiteral("359.999999999999"));
  txtAge->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  txtAge->setFixedWidth(txtAge->minimumWidth());
  row(caption("Label9", QStringLiteral("大運交替：")), {txtKoutai});
  row(caption("Label10", QStringLiteral("交替年月：")),
      {txtKoutaiYM, caption(options.full, QStringLiteral("満")), txtAge,
       caption(options.years, QStringLiteral("歳"))});
  row(caption("Label8", QStringLiteral("視黄経：")), {txtKoukei});
  values->setColumnStretch(1, 1);
  values->setRowStretch(rows, 1);

  auto* upper = new QHBoxLayout;
  upper->setSpacing(24);
  upper->addLayout(pillars);
  upper->addLayout(values, 1);

  // Great luck: column 0 at the right end, 10 at the left, each under its
  // decoration with its from-age (none for column 0), to-age, stem and
  // branch; "大運" stands at the right.
  auto* luck = new QGridLayout;
  luck->setHorizontalSpacing(2);
  luck->setVerticalSpacing(2);
  const QFont ageFont = GothicFont(12);
  const QFont luckFont = PGothicFont(12);
  const int cellWidth = QFontMetrics(ageFont).horizontalAdvance(QStringLiteral("000")) + 10;
  // Added centred, a fixed cell still lets its column take spare width.
  auto cell = [&](const QString& name, const QFont& font) {
    QLabel* l = label(name, font);
    l->setFixedSize(cellWidth, QFontMetrics(font).height() + 2);
    return l;
  };
  for (int i = 0; i <= 10; ++i) {
    const int col = 10 - i;
    auto* pic = new QLabel(this);
    pic->setObjectName(QStringLiteral("Picture%1").arg(i + 1));
    pic->setFixedSize(17, 17);
    const QString image = QStringLiteral(":/images/deco%1.png").arg(i + 1, 2, 10, QLatin1Char('0'));
    // Through QIcon so that the @2x drawing is used on dense screens.
    if (QFile::exists(image)) pic->setPixmap(QIcon(image).pixmap(QSize(17, 17), devicePixelRatioF()));
    Picture[i] = pic;
    luck->addWidget(pic, 0, col, Qt::AlignCenter);
    if (i >= 1) {
      sai1[i - 1] = cell(Indexed("sai1", i - 1), ageFont);
      luck->addWidget(sai1[i - 1], 1, col, Qt::AlignCenter);
    }
    sai2[i] = cell(Indexed("sai2", i), ageFont);
    dun_kan[i] = cell(Indexed("dun_kan", i), luckFont);
    dun_shi[i] = cell(Indexed("dun_shi", i), luckFont);
    luck->addWidget(sai2[i], 2, col, Qt::AlignCenter);
    luck->addWidget(dun_kan[i], 3, col, Qt::AlignCenter);
    luck->addWidget(dun_shi[i], 4, col, Qt::AlignCenter);
  }
  for (auto [name, text, r] : {std::tuple{options.dai, "大", 3}, std::tuple{options.un, "運", 4}}) {
    QLabel* l = caption(name, QString::fromUtf8(text));
    l->setFont(PGothicFont(12, true));
    l->setAlignment(Qt::AlignCenter);
    luck->addWidget(l, r, 11);
  }
  // The age rows read as "3歳から 12歳まで" down each column.
  lblFromAge = caption("lblFromAge", QStringLiteral("歳から"));
  lblToAge = caption("lblToAge", QStringLiteral("歳まで"));
  luck->addWidget(lblFromAge, 1, 11, Qt::AlignLeft | Qt::AlignVCenter);
  luck->addWidget(lblToAge, 2, 11, Qt::AlignLeft | Qt::AlignVCenter);
  luck->setColumnMinimumWidth(11, 28);

  auto* rule = new QFrame(this);
  rule->setObjectName(QStringLiteral("resultRule"));
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);

  auto* noticeRule = new QFrame(this);
  noticeRule->setObjectName(QStringLiteral("noticeRule"));
  noticeRule->setFrameShape(QFrame::HLine);
  noticeRule->setFrameShadow(QFrame::Sunken);
  noticeArea = new NoticeArea(this);

  auto* layout = new QVBoxLayout(content_);
  layout->setContentsMargins(14, 14, 14, 14);
  layout->setSpacing(10);
  layout->addLayout(upper);
  layout->addWidget(rule);
  layout->addLayout(luck);
  layout->addWidget(noticeRule);
  layout->addWidget(noticeArea);

  auto* frame = new QVBoxLayout(this);
  frame->setContentsMargins(0, 0, 0, 0);
  frame->addWidget(content_);

  // Greyed rather than emptied: the chart stays readable for comparison.
  fade_ = new QGraphicsOpacityEffect(content_);
  fade_->setOpacity(0.35);
  fade_->setEnabled(false);
  content_->setGraphicsEffect(fade_);
  lblOutOfDate = new QLabel(QStringLiteral("入力が変わりました。八字表示で更新します"), this);
  lblOutOfDate->setObjectName(QStringLiteral("lblOutOfDate"));
  lblOutOfDate->setFont(GothicFont(11, true));
  lblOutOfDate->setAlignment(Qt::AlignCenter);
  lblOutOfDate->setStyleSheet(QStringLiteral("QLabel { background: palette(base); color: palette(text);"
                                             " border: 1px solid palette(dark); border-radius: 4px;"
                                             " padding: 6px 12px; }"));
  lblOutOfDate->hide();
}

void ChartView::PlaceOutOfDateMark() {
  lblOutOfDate->adjustSize();
  QRect r = lblOutOfDate->rect();
  r.moveCenter(content_->geometry().center());
  lblOutOfDate->move(r.topLeft());
}

void ChartView::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  PlaceOutOfDateMark();
}

void ChartView::SetOutOfDate(bool outOfDate) {
  outOfDate_ = outOfDate;
  fade_->setEnabled(outOfDate);
  if (outOfDate) {
    PlaceOutOfDateMark();
    lblOutOfDate->raise();
  }
  lblOutOfDate->setVisible(outOfDate);
}

void ChartView::Show(const chart::ChartTexts& texts, const ChartBirth& birth, const ChartNotes& notes) {
  texts_ = texts;
  birth_ = birth;
  notes_ = notes;
  hasChart_ = true;
  SetOutOfDate(false);
  auto write = [this](const QString& name, const std::string& text) {
    const QString value = QString::fromStdString(text);
    QWidget* control = controls_.value(name);
    if (auto* l = qobject_cast<QLabel*>(control)) {
      l->setText(value);
    } else if (auto* e = qobject_cast<QLineEdit*>(control)) {
      e->setText(value);
      e->setCursorPosition(0);  // show the start of a long line
    }
  };
  chart::ForEachTextField(texts_, [&](const char* name, const auto& field) {
    if constexpr (std::is_same_v<std::decay_t<decltype(field)>, std::string>) {
      write(QString::fromLatin1(name), field);
    } else {
      for (std::size_t i = 0; i < field.size(); ++i) write(Indexed(name, int(i)), field[i]);
    }
  });
  MarkCurrentLuckColumn(texts_.bold);
  noticeArea->Show(notes_);
}

void ChartView::MarkCurrentLuckColumn(int column) {
  texts_.bold = column;
  for (int i = 0; i <= 10; ++i) {
    for (QLabel* l : {dun_kan[i], dun_shi[i]}) {
      QFont f = l->font();
      f.setBold(i == column);
      l->setFont(f);
    }
  }
}

}  // namespace torvela::ui
