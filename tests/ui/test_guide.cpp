// ヘルプ → 使い方 (F1) opens the user guide in a window of its own, rendered
// with every picture it shows.
#include <QTextBlock>
#include <QTextBrowser>

#include "GuideWindow.h"
#include "UiTestSupport.h"

using namespace uitest;

namespace {

// A picture as a text document holds it: loaded bytes, an image or a pixmap.
QImage ImageOf(const QVariant& v) {
  if (v.typeId() == QMetaType::QImage) return v.value<QImage>();
  if (v.typeId() == QMetaType::QPixmap) return v.value<QPixmap>().toImage();
  return QImage::fromData(v.toByteArray());
}

QWidget* ShownGuide() {
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top->objectName() == "GuideWindow" && top->isVisible()) return top;
  return nullptr;
}

}  // namespace

class TestGuide : public MainWindowTest {
  Q_OBJECT

 private slots:
  void init() { Load(); }
  void cleanup() { Unload(); }

  void f1OpensTheGuide() {
    auto* item = w->findChild<QAction*>("menuguide");
    QVERIFY(item && w->menuhelp->actions().contains(item));
    QCOMPARE(item->text(), "使い方");
    QCOMPARE(item->shortcut(), QKeySequence(Qt::Key_F1));
    Activate(w.get());
    QTest::keyClick(w.get(), Qt::Key_F1);
    QWidget* guide = ShownGuide();
    QVERIFY(guide);
    auto* text = guide->findChild<QTextBrowser*>("txtGuide");
    QVERIFY(text);
    const QString plain = text->toPlainText();
    for (const char* term : {"八字表示", "真太陽時", "均時差", "視黄経", "大運交替", "交替年月", "旺", "POP",
                             "時差", "Ctrl+E", "F1", "torvela-cli"})
      QVERIFY2(plain.contains(QString::fromUtf8(term)), term);
    int pictures = 0;
    for (QTextBlock b = text->document()->begin(); b.isValid(); b = b.next())
      for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat f = it.fragment().charFormat();
        if (!f.isImageFormat()) continue;
        ++pictures;
        const QString name = f.toImageFormat().name();
        const QImage image = ImageOf(text->document()->resource(QTextDocument::ImageResource, QUrl(name)));
        QVERIFY2(!image.isNull(), qPrintable(name));
      }
    QVERIFY(pictures >= 3);

    // F1 again brings the same window to the front; Escape closes it.
    guide->hide();
    Activate(w.get());
    QTest::keyClick(w.get(), Qt::Key_F1);
    QCOMPARE(ShownGuide(), guide);
    Activate(guide);
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : guide, Qt::Key_Escape);
    QVERIFY(!ShownGuide());
  }

  // The guide beside the program in a build tree comes first, then the
  // installed one in <prefix>/share/doc/torvela/docs for a program in <prefix>/bin.
  void guideLookup() {
    QTemporaryDir root;
    const QString bin = root.filePath("usr/bin"), installed = root.filePath("usr/share/doc/torvela/docs");
    auto make = [](const QString& dir) {
      QDir().mkpath(dir);
      QFile f(dir + '/' + torvela::ui::GuideFileName());
      return f.open(QIODevice::WriteOnly) ? QFileInfo(f).absoluteFilePath() : QString();
    };
    QDir().mkpath(bin);
    QCOMPARE(torvela::ui::GuideFile(bin), QString());
    const QString installedGuide = make(installed);
    QCOMPARE(torvela::ui::GuideFile(bin), installedGuide);
    const QString besideGuide = make(bin + "/docs");
    QCOMPARE(torvela::ui::GuideFile(bin), besideGuide);
  }
};

QTEST_MAIN(TestGuide)
#include "test_guide.moc"
