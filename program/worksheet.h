#pragma once

#include "files/safefile.h"
#include "program/curvanestate.h"

#include <QtCore/QByteArray>
#include <QtCore/QJsonObject>
#include <QtGui/QImage>
#include <optional>
#include <vector>

// The worksheet file (.cvw): the whole document as one JSON text in UTF-8, its pictures as PNG and
// its curve rows as little-endian floats, both in base64 (the README describes every field).

// The version this program writes; it reads this one and every older one.
inline constexpr int WorksheetVersion = 1;

// The largest worksheet read: far beyond what a sheet of the largest size with thousands of curves
// and a large photograph under it takes.
inline constexpr qint64 LargestWorksheet = qint64(128) << 20;

// The main window's outer size in twips, for the settings line a worksheet carries.
struct WorksheetWindow {
    double width = 0;
    double height = 0;
};

// A worksheet made from a document in a moment, its pictures not yet encoded. Finishing it may
// run on another thread: it shares nothing that the document's owner could change under it.
struct WorksheetDraft {
    QJsonObject root;
    std::vector<QImage> pictures;
};
WorksheetDraft DraftWorksheet(const CurvaneDocument& document, const WorksheetWindow& window);
QByteArray FinishWorksheet(const WorksheetDraft& draft);

// Both in one.
QByteArray WorksheetBytes(const CurvaneDocument& document, const WorksheetWindow& window);

// A worksheet's document, or nothing with the reason in problem (Japanese for a message box,
// English for the command line): not a worksheet, one of a newer version, or a damaged one (what
// is wrong and where). Its ids are new to this run; its settings file name is the one it came
// from.
std::optional<CurvaneDocument> ReadWorksheet(const QByteArray& bytes, FileProblem* problem);

// Reads a worksheet file at a path, through the failure-safe reader.
std::optional<CurvaneDocument> ReadWorksheetFile(const QString& path, FileProblem* problem);

// Whether a file name asks for a worksheet (".cvw", in any case) rather than a settings file.
bool IsWorksheetName(const QString& path);
