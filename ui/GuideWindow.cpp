#include "GuideWindow.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "Fonts.h"

namespace torvela::ui {

QString GuideFileName() { return QStringLiteral("使い方.md"); }

QString GuideFile(const QString& exeDir) {
  const QDir dir(exeDir);
  for (const QString& candidate :
       {dir.filePath(QStringLiteral("docs/") + GuideFileName()),
        dir.filePath(QStringLiteral(TORVELA_DOC_FROM_BINDIR "/docs/") + GuideFileName())}) {
    if (QFileInfo(candidate).isFile()) return QDir::cleanPath(candidate);
  }
  return {};
}

GuideWindow::GuideWindow(const QString& guideFile, QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("GuideWindow"));
  setWindowTitle(QStringLiteral("使い方 - Torvela（一般用）"));
  setFont(GothicFont(11));

  txtGuide = new QTextBrowser(this);
  txtGuide->setObjectName(QStringLiteral("txtGuide"));
  txtGuide->setOpenExternalLinks(true);
  if (guideFile.isEmpty()) {
    txtGuide->setPlainText(
        QStringLiteral("使い方の文書（%1）が見つかりません。\n"
                       "パッケージから入れた場合は /usr/share/doc/torvela/docs/ にあります。")
            .arg(GuideFileName()));
  } else {
    // As a source, so that the pictures are found relative to the file.
    txtGuide->setSource(QUrl::fromLocalFile(guideFile), QTextDocument::MarkdownResource);
  }

  btnClose = new QPushButton(QStringLiteral("閉じる"), this);
  btnClose->setObjectName(QStringLiteral("btnClose"));
  btnClose->setAutoDefault(true);
  connect(btnClose, &QPushButton::clicked, this, &GuideWindow::btnClose_Click);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(btnClose);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addWidget(txtGuide, 1);
  layout->addLayout(bottom);

  // A page wide enough for the screenshots, no larger than the screen.
  QSize size(800, 820);
  if (const QScreen* s = screen()) size = size.boundedTo(s->availableGeometry().size() * 9 / 10);
  resize(size);
}

void GuideWindow::btnClose_Click() { hide(); }

void GuideWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    btnClose_Click();
  } else {
    QWidget::keyPressEvent(event);
  }
}

}  // namespace torvela::ui
