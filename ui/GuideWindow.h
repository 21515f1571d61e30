// The user guide (docs/使い方.md) in a window of its own: the Markdown
// rendered with its pictures, which are found beside the guide file; links
// to web pages open in the user's browser.
#pragma once

#include <QString>
#include <QWidget>

class QPushButton;
class QTextBrowser;

namespace torvela::ui {

// The guide's file name.
QString GuideFileName();

// Where the guide is for a program in exeDir: docs/ beside it (a build tree),
// then <prefix>/share/doc/torvela/docs for a program in <prefix>/bin. Empty
// when neither holds it.
QString GuideFile(const QString& exeDir);

class GuideWindow : public QWidget {
  Q_OBJECT

 public:
  // guideFile: the guide to show; when empty, a note that it is missing.
  explicit GuideWindow(const QString& guideFile, QWidget* parent = nullptr);

  QTextBrowser* txtGuide;
  QPushButton* btnClose;

 public slots:
  void btnClose_Click();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace torvela::ui
