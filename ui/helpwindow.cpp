#include "ui/helpwindow.h"

#include "files/safefile.h"

#include <QtCore/QFileInfo>
#include <QtCore/QPointer>
#include <QtCore/QStringDecoder>
#include <QtWidgets/QApplication>
#include <QtWidgets/QTextBrowser>
#include <QtWidgets/QVBoxLayout>

namespace {

// A help document is a few screens of text; anything far larger is not one, and reading it whole
// would only stall the program.
constexpr qint64 MaxHelpBytes = 16 * 1024 * 1024;

// Without an owner there is still only one help window in the program.
QPointer<HelpWindow> g_ownerlessHelp;

HelpWindow* FindHelpWindow(QWidget* owner) {
    if (owner == nullptr) {
        return g_ownerlessHelp.data();
    }
    return owner->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

HelpWindow::HelpWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("Curvane ヘルプ")); // Curvane help
    setAttribute(Qt::WA_DeleteOnClose);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setOpenExternalLinks(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(620, 680);
}

bool HelpWindow::ShowDocument(const QString& helpPath) {
    m_path = helpPath;
    m_showsDocument = false;
    m_browser->clearHistory();

    const QFileInfo info(helpPath);
    if (helpPath.isEmpty() || !info.exists()) {
        ShowProblem(
            QStringLiteral("ヘルプファイルが見つかりません。"), // The help file was not found.
            QStringLiteral("The help file was not found."), QString());
        return false;
    }
    // A FIFO or a folder is refused before anything is opened: a FIFO would block the window.
    QByteArray bytes;
    if (const FileProblem problem = ReadFileWhole(helpPath, MaxHelpBytes, bytes);
        problem.Failed()) {
        if (info.isFile() && info.size() > MaxHelpBytes) {
            ShowProblem(
                QStringLiteral("ヘルプファイルが大きすぎます。"), // The help file is too large.
                QStringLiteral("The help file is too large."), QString());
        } else {
            ShowProblem(
                QStringLiteral("ヘルプファイルを読み込めません。"), // The help file cannot be read.
                QStringLiteral("The help file cannot be read."), problem.system);
        }
        return false;
    }

    // Pictures and pages the document links to are looked up beside it.
    m_browser->setSearchPaths({info.absolutePath()});
    QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
    m_browser->setHtml(decoder.isValid() ? QString(decoder(bytes)) : QString::fromUtf8(bytes));
    m_showsDocument = true;
    return true;
}

void HelpWindow::ShowProblem(const QString& headline, const QString& gloss, const QString& detail) {
    QString html = QStringLiteral("<h3>%1</h3><p>%2</p><p>%3<br><code>%4</code></p>")
                       .arg(headline.toHtmlEscaped(), gloss.toHtmlEscaped(),
                            QStringLiteral("ファイル (file):"), // file
                            m_path.toHtmlEscaped());
    if (!detail.isEmpty()) {
        html += QStringLiteral("<p>%1</p>").arg(detail.toHtmlEscaped());
    }
    m_browser->setSearchPaths({});
    m_browser->setHtml(html);
}

bool ShowHelpContents(QWidget* owner, const QString& helpPath, QString* error) {
    // Widgets need a widget application; creating one without it would abort the program.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        if (error != nullptr) {
            *error = QStringLiteral("ヘルプを表示できません (The help cannot be shown): "
                                    "no widget application is running.");
        }
        return false;
    }

    HelpWindow* window = FindHelpWindow(owner);
    if (window == nullptr) {
        window = new HelpWindow(owner);
        if (owner == nullptr) {
            g_ownerlessHelp = window;
        }
    }
    // Asking for help again should not throw the reader back to the top of the page; a message
    // about a missing file is tried again, as the file may be there now.
    if (!window->ShowsDocument() || window->DocumentPath() != helpPath) {
        window->ShowDocument(helpPath);
    }
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}
