#include "ui/helpwindow.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QSet>
#include <QtCore/QTemporaryDir>
#include <QtGui/QTextBlock>
#include <QtGui/QTextDocument>
#include <QtTest/QtTest>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QTextBrowser>
#include <sys/stat.h>

class HelpWindowTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheDocument();
    void reportsUnreadableFileInTheWindow_data();
    void reportsUnreadableFileInTheWindow();
    void secondCallRaisesTheSameWindow();
    void shippedDocumentReadsAndItsLinksLand();

private:
    QTemporaryDir m_dir;
};

namespace {

QString WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        return {};
    }
    return path;
}

QByteArray SmallDocument(const QString& title, const QString& body) {
    return QStringLiteral("<html><head><meta charset=\"utf-8\"><title>%1</title></head>"
                          "<body><p>%2</p></body></html>")
        .arg(title, body)
        .toUtf8();
}

HelpWindow* OnlyHelpWindow(QWidget& owner) {
    const auto windows = owner.findChildren<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    return windows.size() == 1 ? windows.first() : nullptr;
}

} // namespace

void HelpWindowTest::showsTheDocument() {
    QWidget owner;
    const QString path =
        WriteFile(m_dir.filePath(QStringLiteral("help.hlp")),
                  SmallDocument(QStringLiteral("試験用ヘルプ"), QStringLiteral("描画ボタン")));
    QVERIFY(!path.isEmpty());

    QString error;
    QVERIFY(ShowHelpContents(&owner, path, &error));
    HelpWindow* window = OnlyHelpWindow(owner);
    QVERIFY(window != nullptr);
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Curvane ヘルプ"));
    // The document's own title and its Japanese text survive the reading intact.
    QCOMPARE(window->Browser()->documentTitle(), QStringLiteral("試験用ヘルプ"));
    QVERIFY(window->Browser()->toPlainText().contains(QStringLiteral("描画ボタン")));
    QVERIFY(error.isEmpty());
}

void HelpWindowTest::reportsUnreadableFileInTheWindow_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("message");
    const QString notFound = QStringLiteral("見つかりません");   // not found
    const QString unreadable = QStringLiteral("読み込めません"); // cannot be read
    QTest::newRow("missing") << m_dir.filePath(QStringLiteral("nothing.hlp")) << notFound;
    // Markup in the name is shown as the name, not taken as markup.
    QTest::newRow("missing, markup in the name")
        << m_dir.filePath(QStringLiteral("<b>a&amp;b</b>.hlp")) << notFound;
    QTest::newRow("a folder") << m_dir.path() << unreadable;
    // Opening a FIFO for reading would wait for a writer: refused without opening it.
    const QString fifo = m_dir.filePath(QStringLiteral("pipe.hlp"));
    if (QFileInfo::exists(fifo) || ::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0) {
        QTest::newRow("a FIFO") << fifo << unreadable;
    }
}

void HelpWindowTest::reportsUnreadableFileInTheWindow() {
    QFETCH(QString, path);
    QFETCH(QString, message);
    QWidget owner;
    QString error;
    QVERIFY(ShowHelpContents(&owner, path, &error));
    HelpWindow* window = OnlyHelpWindow(owner);
    QVERIFY(window != nullptr);
    QVERIFY(window->isVisible());
    const QString text = window->Browser()->toPlainText();
    QVERIFY2(text.contains(message), qPrintable(text));
    QVERIFY2(text.contains(path), qPrintable(text));
    QVERIFY(error.isEmpty());
}

void HelpWindowTest::secondCallRaisesTheSameWindow() {
    QWidget owner;
    const QString first =
        WriteFile(m_dir.filePath(QStringLiteral("first.hlp")),
                  SmallDocument(QStringLiteral("First"), QStringLiteral("line<br>").repeated(300)));
    const QString second =
        WriteFile(m_dir.filePath(QStringLiteral("second.hlp")),
                  SmallDocument(QStringLiteral("Second"), QStringLiteral("two")));
    const QString later = m_dir.filePath(QStringLiteral("later.hlp"));
    QVERIFY(!first.isEmpty() && !second.isEmpty());

    QVERIFY(ShowHelpContents(&owner, first, nullptr));
    HelpWindow* window = OnlyHelpWindow(owner);
    QVERIFY(window != nullptr);
    QScrollBar* scroll = window->Browser()->verticalScrollBar();
    QVERIFY(scroll->maximum() > 100);
    scroll->setValue(100);
    window->showMinimized();

    // Same document: the window comes back where the reader left it.
    QVERIFY(ShowHelpContents(&owner, first, nullptr));
    QCOMPARE(OnlyHelpWindow(owner), window);
    QVERIFY(window->isVisible());
    QVERIFY(!window->isMinimized());
    QCOMPARE(scroll->value(), 100);

    QVERIFY(ShowHelpContents(&owner, second, nullptr));
    QCOMPARE(OnlyHelpWindow(owner), window);
    QCOMPARE(window->Browser()->documentTitle(), QStringLiteral("Second"));

    // A file that was missing is looked for again on the next call.
    QVERIFY(ShowHelpContents(&owner, later, nullptr));
    QVERIFY(!window->ShowsDocument());
    QVERIFY(
        !WriteFile(later, SmallDocument(QStringLiteral("Later"), QStringLiteral("x"))).isEmpty());
    QVERIFY(ShowHelpContents(&owner, later, nullptr));
    QCOMPARE(OnlyHelpWindow(owner), window);
    QCOMPARE(window->Browser()->documentTitle(), QStringLiteral("Later"));

    // Closing the window lets the next call open a fresh one.
    QPointer<HelpWindow> closed = window;
    window->close();
    QTRY_VERIFY(closed.isNull());
    QVERIFY(ShowHelpContents(&owner, first, nullptr));
    QVERIFY(OnlyHelpWindow(owner) != nullptr);
    QVERIFY(OnlyHelpWindow(owner)->isVisible());
}

void HelpWindowTest::shippedDocumentReadsAndItsLinksLand() {
    QWidget owner;
    QVERIFY(ShowHelpContents(&owner, QStringLiteral(CURVANE_HELP_DOCUMENT), nullptr));
    HelpWindow* window = OnlyHelpWindow(owner);
    QVERIFY(window != nullptr);
    const QTextDocument* document = window->Browser()->document();
    QVERIFY(document->metaInformation(QTextDocument::DocumentTitle).startsWith(u"Curvane"));
    QVERIFY(document->toPlainText().contains(QStringLiteral("関数を描く"))); // drawing a function

    QSet<QString> anchors;
    QStringList links;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            for (const QString& name : format.anchorNames()) {
                anchors.insert(name);
            }
            if (format.isAnchor() && format.anchorHref().startsWith(u'#')) {
                links.append(format.anchorHref().mid(1));
            }
        }
    }
    QVERIFY(!links.isEmpty());
    for (const QString& link : links) {
        QVERIFY2(anchors.contains(link), qPrintable(link));
    }
}

QTEST_MAIN(HelpWindowTest)
#include "tst_helpwindow.moc"
