#pragma once

#include <QtCore/QString>
#include <QtWidgets/QWidget>

class QTextBrowser;

// The program's own help viewer: a plain window with the help document in a text browser. It is
// not modal, so the help can stay open beside the graph while the user tries things out.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* owner);

    // Loads the document at helpPath (an HTML file in UTF-8 unless it names another charset). When
    // the file cannot be read the window says so, naming the path, instead of staying blank.
    // Returns whether the document itself is shown.
    bool ShowDocument(const QString& helpPath);

    QTextBrowser* Browser() const { return m_browser; }
    QString DocumentPath() const { return m_path; }
    // Whether the document itself (not a message about it) is on show.
    bool ShowsDocument() const { return m_showsDocument; }

private:
    void ShowProblem(const QString& headline, const QString& gloss, const QString& detail);

    QTextBrowser* m_browser = nullptr;
    QString m_path;
    bool m_showsDocument = false;
};

// Opens the help window of owner with the document at helpPath, or brings the one already open
// back to the front, keeping the reader's place when it already shows that document. A missing or
// unreadable file is reported inside the help window and still counts as shown. Returns false with
// *error set (when error is not null) only when no window can be shown at all, such as in a program
// without a widget application.
bool ShowHelpContents(QWidget* owner, const QString& helpPath, QString* error);
