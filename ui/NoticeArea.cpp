#include "NoticeArea.h"

#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace torvela::ui {

namespace {

constexpr int ParagraphGap = 4;  // pixels under each notice

QLabel* Line(QWidget* parent, const char* name) {
  auto* l = new QLabel(parent);
  l->setObjectName(QString::fromLatin1(name));
  l->setTextFormat(Qt::PlainText);
  l->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return l;
}

}  // namespace

NoticeArea::NoticeArea(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("noticeArea"));
  lblPrevTerm = Line(this, "lblPrevTerm");
  lblNextTerm = Line(this, "lblNextTerm");
  // Each term line keeps its height while empty.
  for (QLabel* l : {lblPrevTerm, lblNextTerm}) l->setMinimumHeight(l->fontMetrics().height());

  lblNotices = Line(this, "lblNotices");
  lblNotices->setTextFormat(Qt::RichText);
  lblNotices->setWordWrap(true);
  lblNotices->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblNotices->setContentsMargins(6, 3, 6, 3);
  scrNotices = new QScrollArea(this);
  scrNotices->setObjectName(QStringLiteral("scrNotices"));
  scrNotices->setWidget(lblNotices);
  scrNotices->setWidgetResizable(true);
  scrNotices->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scrNotices->setFocusPolicy(Qt::NoFocus);
  // Framed and tinted only while it holds a notice (see Show).
  scrNotices->setFrameShape(QFrame::NoFrame);
  scrNotices->setBackgroundRole(QPalette::Window);
  // The lines, the label's margins, the paragraph gaps and the frame shown with a notice.
  const int line = lblNotices->fontMetrics().lineSpacing();
  scrNotices->setFixedHeight(line * VisibleLines + 6 + ParagraphGap + 4);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(lblPrevTerm);
  layout->addWidget(lblNextTerm);
  layout->addSpacing(4);
  layout->addWidget(scrNotices);
}

void NoticeArea::Show(const ChartNotes& notes) {
  lblPrevTerm->setText(notes.prevTerm);
  lblNextTerm->setText(notes.nextTerm);
  // One paragraph a notice, a little apart, so that wrapped ones read apart.
  QString text;
  for (const QString& notice : notes.notices)
    text += QStringLiteral("<p style=\"margin: 0 0 %1px 0\">%2</p>").arg(ParagraphGap).arg(notice.toHtmlEscaped());
  lblNotices->setText(text);
  const bool any = !notes.notices.isEmpty();
  scrNotices->setFrameShape(any ? QFrame::StyledPanel : QFrame::NoFrame);
  // A pale note colour that keeps the text's own colour readable.
  scrNotices->viewport()->setStyleSheet(any ? QStringLiteral("background: #fff6d8;") : QString());
  lblNotices->setStyleSheet(any ? QStringLiteral("color: #000000; background: transparent;")
                                : QString());
  scrNotices->verticalScrollBar()->setValue(0);
}

void NoticeArea::Clear() { Show({}); }

}  // namespace torvela::ui
