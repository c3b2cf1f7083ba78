#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>
#include <QtCore/QStringEncoder>

// A settings line with F1 the given expression, drawn in red; F2 and F3 are empty unless given.
// The sheet is sheetWidth × sheetHeight pixels with the origin in its middle and 4 pixels per
// unit; the window asks for windowWidth × windowHeight twips.
inline QByteArray SettingsLineWithF1(const QString& expression, int sheetWidth, int sheetHeight,
                                     int windowWidth = 6915, int windowHeight = 5955,
                                     const QString& f2 = {}, const QString& f3 = {}) {
    const QString line =
        QStringLiteral("%1,%2,%3,%4,%5,%6,0,0,#TRUE#,#TRUE#,#TRUE#,#TRUE#,#TRUE#,#TRUE#,#TRUE#,"
                       "#TRUE#,4,4,5,5,2,2,16777152,16777152,16777072,16777072,16776992,"
                       "16776992,16740464,16740464,16777215,4,4,16711680,16711680,9,9,1,1,"
                       "\"単位 1\",\"単位 1\",0,0,\"%7\",\"%8\",\"%9\",255,0,0,\"実1\",\"実1\","
                       "\"実1\"\r\n")
            .arg(windowWidth)
            .arg(windowHeight)
            .arg(sheetWidth)
            .arg(sheetHeight)
            .arg(sheetWidth / 2.0)
            .arg(sheetHeight / 2.0)
            .arg(expression, f2, f3);
    QStringEncoder cp932("windows-31j");
    return cp932(line);
}

// A settings line whose F1 takes a long time at every column: `terms` searches through a text of
// 65000 characters made anew at each column (several milliseconds in all), times 0, plus 10, so
// the curve is a level line 10 units above the X axis. The text's length depends on x, so that
// nothing of it can be worked out once for all columns.
inline QByteArray SlowSettingsLine(int terms, int sheetWidth, int sheetHeight,
                                   int windowWidth = 6915, int windowHeight = 5955) {
    QString chain;
    for (int i = 0; i < terms; ++i) {
        chain += QStringLiteral("instr(string(65000+x*0,chr(97)),chr(32))*0+");
    }
    chain += QStringLiteral("10");
    return SettingsLineWithF1(chain, sheetWidth, sheetHeight, windowWidth, windowHeight);
}
