#include "ui/helpwindow.h"

#include <QtTest/QtTest>

// Without a widget application no window can be made; the call must say so instead of aborting.
class HelpWindowNoAppTest : public QObject {
    Q_OBJECT
private slots:
    void failsWithoutWidgetApplication() {
        QString error;
        QVERIFY(!ShowHelpContents(nullptr, QStringLiteral("CURVANEHELP.hlp"), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!ShowHelpContents(nullptr, QStringLiteral("CURVANEHELP.hlp"), nullptr));
    }
};

QTEST_GUILESS_MAIN(HelpWindowNoAppTest)
#include "tst_helpwindow_noapp.moc"
