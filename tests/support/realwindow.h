#pragma once

// The program as a user starts it in a real X server (xvfb-run), driven with xdotool: real mouse
// and keys, and what the screen shows.

#include "tests/support/pixels.h"

#include <QtCore/QAbstractItemModel>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtGui/QScreen>
#include <QtTest/QtTest>
#include <algorithm>

namespace realwindow {

// Runs xdotool; its standard output.
inline QString Xdo(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    tool.waitForFinished();
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

inline void Key(const QString& keys) {
    Xdo(QStringList{QStringLiteral("key")} + keys.split(QLatin1Char(' ')));
}

inline void MouseTo(QPoint at) {
    Xdo({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
}

// Clicks (button 1 left, 3 right) at a point of the screen, count times in a row.
inline void ClickAt(QPoint at, int button = 1, int count = 1) {
    MouseTo(at);
    Xdo({QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(count),
         QStringLiteral("--delay"), QStringLiteral("60"), QString::number(button)});
}

// A click on a window that runs in the test's own process: it takes the pointer's arrival
// before the click.
inline void ClickInProcess(QPoint at, int button = 1) {
    MouseTo(at);
    QTest::qWait(100);
    Xdo({QStringLiteral("click"), QString::number(button)});
}

// A click on the middle of a widget of the test's own process.
template <class Widget>
void ClickWidget(const Widget* widget) {
    ClickInProcess(widget->mapToGlobal(widget->rect().center()));
}

// Types a text with the real keyboard into whatever has the focus.
inline void TypeText(const QString& text) {
    Xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"), text});
}

// Waits, letting the window take its events, until the condition holds (at most 5 seconds).
template <class F>
bool WaitFor(F condition) {
    for (int i = 0; i < 50 && !condition(); ++i) {
        QTest::qWait(100);
    }
    return condition();
}

// Clicks the row of a table view whose cell in column reads text; false when no row does.
template <class TableView>
bool ClickRowWhere(TableView* view, int column, const QString& text) {
    const QAbstractItemModel* model = view->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, column).data().toString() == text) {
            view->scrollTo(model->index(row, 0));
            QTest::qWait(100);
            ClickInProcess(
                view->viewport()->mapToGlobal(view->visualRect(model->index(row, 1)).center()));
            return true;
        }
    }
    return false;
}

// The first visible window whose name matches the pattern; empty when there is none.
inline QString FindWindow(const QString& pattern) {
    return Xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                pattern})
        .section(QLatin1Char('\n'), 0, 0);
}

// A window's outer geometry on the screen.
inline QRect WindowGeometry(const QString& window) {
    QRect r;
    for (const QString& line :
         Xdo({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window})
             .split(QLatin1Char('\n'))) {
        const int value = line.section(QLatin1Char('='), 1).toInt();
        if (line.startsWith(QStringLiteral("X="))) {
            r.moveLeft(value);
        } else if (line.startsWith(QStringLiteral("Y="))) {
            r.moveTop(value);
        } else if (line.startsWith(QStringLiteral("WIDTH="))) {
            r.setWidth(value);
        } else if (line.startsWith(QStringLiteral("HEIGHT="))) {
            r.setHeight(value);
        }
    }
    return r;
}

// Without a window manager the keyboard follows the pointer: rest it on the window first.
inline void FocusWindow(const QString& window, QPoint pointerAt) {
    MouseTo(pointerAt);
    Xdo({QStringLiteral("windowfocus"), window});
}

inline QImage Screen() {
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage();
}

inline bool Same(QRgb a, QRgb b) {
    return (a & 0xFFFFFF) == (b & 0xFFFFFF);
}

// The longest run of one colour along a row (or down a column) of an image.
inline int LongestRun(const QImage& image, QRgb colour, bool alongRows) {
    int best = 0;
    const int outer = alongRows ? image.height() : image.width();
    const int inner = alongRows ? image.width() : image.height();
    for (int i = 0; i < outer; ++i) {
        int run = 0;
        for (int j = 0; j < inner; ++j) {
            const QRgb pixel = alongRows ? image.pixel(j, i) : image.pixel(i, j);
            run = Same(pixel, colour) ? run + 1 : 0;
            best = std::max(best, run);
        }
    }
    return best;
}

// The column of the longest vertical run of a colour and the row of the longest horizontal one:
// where two axes of that colour cross.
inline QPoint AxesCrossing(const QImage& image, QRgb colour) {
    QPoint best;
    int bestColumn = 0;
    for (int x = 0; x < image.width(); ++x) {
        int run = 0;
        for (int y = 0; y < image.height(); ++y) {
            run = Same(image.pixel(x, y), colour) ? run + 1 : 0;
            if (run > bestColumn) {
                bestColumn = run;
                best.setX(x);
            }
        }
    }
    int bestRow = 0;
    for (int y = 0; y < image.height(); ++y) {
        int run = 0;
        for (int x = 0; x < image.width(); ++x) {
            run = Same(image.pixel(x, y), colour) ? run + 1 : 0;
            if (run > bestRow) {
                bestRow = run;
                best.setY(y);
            }
        }
    }
    return best;
}

inline int CountInRect(const QImage& image, const QRect& rect, QRgb colour) {
    return rect.isEmpty() ? 0 : CountPixels(image, FromQColor(QColor(colour)), rect);
}

// The smallest rectangle around the pixels of a colour inside an area (empty when none).
inline QRect BoundsOf(const QImage& image, const QRect& area, QRgb colour) {
    QRect bounds;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (Same(image.pixel(x, y), colour)) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

// Columns where a colour runs from row top to row bottom (vertical lines).
inline QList<int> LineColumns(const QImage& image, QRgb colour, int top, int bottom) {
    QList<int> columns;
    for (int x = 0; x < image.width(); ++x) {
        bool all = true;
        for (int y = top; y <= bottom && all; ++y) {
            all = Same(image.pixel(x, y), colour);
        }
        if (all) {
            columns << x;
        }
    }
    return columns;
}

// The program started with arguments, on a placement store of its own and a data folder (where
// it keeps its autosave) of its own unless one is given.
class Program {
public:
    explicit Program(const QString& path, const QStringList& arguments = {},
                     const QString& dataHome = {}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path());
        environment.insert(QStringLiteral("XDG_DATA_HOME"),
                           dataHome.isEmpty() ? m_home.filePath(QStringLiteral("data")) : dataHome);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        m_process.setProcessEnvironment(environment);
        m_process.start(path, arguments);
    }
    ~Program() {
        if (m_process.state() != QProcess::NotRunning && !Quit(5000)) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    bool Started() { return m_process.waitForStarted(); }
    qint64 Pid() const { return m_process.processId(); }

    // Asks the program to end; whether it did within the time.
    bool Quit(int milliseconds) {
        m_process.terminate();
        return m_process.waitForFinished(milliseconds);
    }

    // Ends the program at once (SIGKILL), as a crash would.
    void Kill() {
        m_process.kill();
        m_process.waitForFinished();
    }
    bool Running() const { return m_process.state() != QProcess::NotRunning; }

    // The main window, once it is on the screen.
    QString WaitForWindow() {
        for (int i = 0; i < 100 && m_window.isEmpty(); ++i) {
            m_window = FindWindow(QStringLiteral("^Curvane$"));
            if (m_window.isEmpty()) {
                QTest::qWait(100);
            }
        }
        return m_window;
    }

    // The window's outer geometry on the screen.
    QRect Geometry() const { return WindowGeometry(m_window); }

    void Focus(QPoint pointerAt) { FocusWindow(m_window, pointerAt); }

    // A window of the program other than the main one (a dialog), with its title.
    std::pair<QString, QString> WaitForDialog() {
        for (int i = 0; i < 50; ++i) {
            const QStringList windows =
                Xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                     QStringLiteral("--pid"), QString::number(Pid()), QStringLiteral("--name"),
                     QStringLiteral(".")})
                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            for (const QString& window : windows) {
                if (window != m_window) {
                    return {window, Xdo({QStringLiteral("getwindowname"), window})};
                }
            }
            QTest::qWait(100);
        }
        return {};
    }

private:
    QTemporaryDir m_home;
    QProcess m_process;
    QString m_window;
};

} // namespace realwindow
