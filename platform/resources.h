#pragma once

#include <QtCore/QString>

// The folder that holds the running program.
QString ProgramFolder();

// Where a file that ships with the program lives, found from the program's own folder:
//  - beside the program, as in a build tree;
//  - else in the installed data folder, ../share/curvane/ seen from the program folder;
//  - else the path beside the program, so a caller still has a path to name when it reports the
//    file as missing.
// fileName is a bare file name such as "CURVANEHELP.hlp".
QString ResourcePath(const QString& fileName);

// ResourcePath with the program folder given, for callers that know it already.
QString ResourcePathFrom(const QString& programFolder, const QString& fileName);
