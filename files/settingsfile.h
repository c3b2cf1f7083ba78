#pragma once

#include "graph/graphsettings.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>
#include <array>
#include <optional>

// Everything a settings file holds: one line of 52 comma-separated fields.
struct SettingsFileData {
    float windowWidth = 0;  // field 1: outer size of the main window, twips
    float windowHeight = 0; // field 2
    float graphWidthPx = 0; // fields 3 and 4: the sheet's drawing size
    float graphHeightPx = 0;
    GraphSettings settings; // fields 5 to 37 (the two pending flags are no part of the file)
    double xSmallValue = 1; // fields 38 to 43
    double ySmallValue = 1;
    QString xUnitName;
    QString yUnitName;
    double xOriginValue = 0;
    double yOriginValue = 0;
    std::array<QString, 3> expressions; // fields 44 to 52, slot by slot
    std::array<ColorRef, 3> colours{};
    std::array<QString, 3> styleCodes;
};

// One axis's values in a settings file, by reference, as AxisValuesOf gives them for GraphState.
AxisValues AxisValuesOf(SettingsFileData& data, Axis axis);
ConstAxisValues AxisValuesOf(const SettingsFileData& data, Axis axis);

// Why a line could not be written.
enum class WriteProblem {
    None,
    // A text holds a double quote, which the format cannot carry, or a character the file's
    // Japanese code page has no code for: written as it is it would read back differently.
    TextNotStorable,
};

// The settings line in the Japanese code page (CP932), ended by CR LF; nothing when a text
// cannot be stored faithfully. unstorableField, when given, receives the number (1 to 52) of the
// first field whose text cannot be stored, or 0.
std::optional<QByteArray> WriteSettingsLine(const SettingsFileData& data, WriteProblem* problem,
                                            int* unstorableField = nullptr);

// The numbers of the text fields, as unstorableField names them.
inline constexpr int XUnitNameField = 40;
inline constexpr int YUnitNameField = 41;
inline constexpr int FirstExpressionField = 44; // F1; F2 and F3 follow
inline constexpr int FirstStyleCodeField = 50;  // F1; F2 and F3 follow

// Why a file could not be read as a settings line.
enum class ReadFault {
    None,
    NotText,      // it holds NUL bytes, as pictures and other binary files do
    NotOneLine,   // the line ends before field 52 and more text follows on other lines
    TooFewFields, // the file ends before field 52
    OutOfRange,   // a number that does not fit its field's type
    WrongKind,    // a quoted text where a number or a boolean belongs
};

struct ReadProblem {
    ReadFault fault = ReadFault::None;
    // The field at fault, counted from 1: the one out of range or of the wrong kind, or the
    // first one missing (so field - 1 fields were found).
    int field = 0;

    // The reason in the words of the message box ("設定ファイルではありません" ...), and in
    // English for the command line.
    QString Japanese() const;
    QString English() const;
};

// Reads the first 52 fields of a settings file; nothing when the file is not a settings line
// (see ReadFault), and problem then says why. Text after field 52 is ignored. current supplies
// what the file does not hold (the pending redraw flags).
std::optional<SettingsFileData> ReadSettingsLine(const QByteArray& bytes,
                                                 const GraphSettings& current,
                                                 ReadProblem* problem = nullptr);
