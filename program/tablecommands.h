#pragma once

#include "plot/features.h"
#include "plot/functionslot.h"
#include "plot/valuetable.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <array>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

class Dialogs;
struct CurvaneState;

// The table of values and the points found in it ("数値表", "特徴点"), as procedures over the
// state; the window only shows them.

// The table's first range for the sheet as it is: from the first to the last small scale line
// within the columns a drawing computes, one small step (XSmallValue) apart, in the X axis's
// unit. A sheet without any such line gives the origin's value alone.
TableRange DefaultTableRange(const GraphSettings& settings, const GraphState& state);

// The slots a table lists: those holding text, in slot order, with their text.
std::vector<std::pair<int, QString>> TableSlots(const FunctionSlots& all);

// A table of the state's slots over a range of that many rows, with the state's axes, ready to
// be computed.
ValueTable MakeValueTable(const CurvaneState& state, const TableRange& range, std::int64_t rows);

// What a table of values follows besides its range: the functions with text, the axes it maps x
// and y with, and the sheet's first range (DefaultTableRange). A table computed from another
// basis than the document's is out of date.
struct TableBasis {
    std::vector<std::pair<int, QString>> functions;
    ParameterValues parameters;
    std::array<double, 9> axes{}; // origins, spacings, values per step and at the origin, limit
    QString xUnit;
    QString yUnit;
    float sheetWidth = 0;
    float sheetHeight = 0;
    TableRange sheetRange;
    bool operator==(const TableBasis& other) const;
};
TableBasis TableBasisOf(const CurvaneState& state);

// Tables up to this many rows are computed again as the document changes; a larger one is only
// marked out of date, so that typing never waits for it.
inline constexpr std::int64_t FollowingTableRows = 10'000;

// How the table window follows the document after a change.
enum class TableFollow {
    UpToDate,  // the table shown was computed from the document as it is
    Recompute, // compute it again now
    MarkStale, // keep it, marked out of date until the user computes it
};
struct TableFollowPlan {
    TableFollow action = TableFollow::UpToDate;
    // The range to put into the boxes: the sheet's, unless the user typed one.
    std::optional<TableRange> boxes;
};
// shown: the basis of the table shown; typed: the range the user typed into the boxes, if any
// (nothing when the boxes hold the sheet's range or text that is no range).
TableFollowPlan FollowDocument(const TableBasis& shown, const TableBasis& now, bool rangeTyped,
                               const std::optional<TableRange>& typed);

// A number typed into one of the table window's boxes: the whole text (blanks around it allowed)
// must be one, as "1.5", "-.25" or "2e-3" are.
std::optional<double> ReadTableNumber(const QString& text);

// Why a range is refused, in Japanese.
QString TableRangeProblemText(TableRangeProblem problem);

// The column titles: "x", and "F1(x)=sin(x)" for each function; a unit other than the plain one
// follows in brackets ("x [deg]").
QStringList TableTitles(const ValueTable& table);

// "コピー" (copy): tab-separated lines with the titles first, which a spreadsheet pastes into
// cells; numbers in the shortest form that reads back as the same double.
QString TableClipboardText(const ValueTable& table);
// "保存" (save): the same as comma-separated values, UTF-8 with a byte-order mark (so spreadsheet
// programs read the titles' Japanese and π right) and CR LF line ends.
QByteArray TableCsv(const ValueTable& table);
QString SaveTableTitle();  // "数値表の保存" = save the table of values
QString SaveTableFilter(); // "CSV ﾌｧｲﾙ (*.csv)|*.csv"
// Asks for a name (".csv" added when it has no extension) and writes the CSV whole or not at all;
// a failure is reported with its reason. True once the file holds the table.
bool SaveTableCsv(const ValueTable& table, Dialogs& dialogs);

// "零点" (zero), "極小" (minimum), "極大" (maximum), "交点" (intersection).
QString FeatureKindText(FeatureKind kind);
// "F1", or "F1 と F2" (F1 and F2) for an intersection.
QString FeatureFunctionText(const Feature& feature);
// The label a point becomes on the sheet: "(1.5708, 1)", both to 5 significant digits.
QString FeatureLabelText(const Feature& feature);
// A number of the list of points, to 12 significant digits.
QString FeatureNumberText(double value);

// "ラベルとして追加" (add as a label): a free label with FeatureLabelText, looking like the
// newest free label, in the first corner beside the point where it hides no other label
// (LabelCornerBeside), with a dot in the curve's colour on the point. Nothing when the point does
// not lie on the sheet with its current axes; else the new label's index.
std::optional<int> AddFeatureLabel(CurvaneState& state, const Feature& feature);
QString FeatureOffSheetText(); // the message for a point that is not on the sheet

// `curvane --table FILE.cvf [--from A --to B --step S]`: the table of a settings file, each range
// value not given taken from the window's first range for that file. The lines go to write: the
// titles "x<TAB>F1<TAB>F2<TAB>F3" of the slots with text, then one line per x. Returns an empty
// text on success, else one line saying what failed; badRange tells a refused range (the
// command line's fault) from a file that could not be read.
struct TableOptions {
    std::optional<double> from;
    std::optional<double> to;
    std::optional<double> step;
    QStringList parameters; // parameters' values as "NAME=VALUE"
};
QString WriteSettingsFileTable(const QString& settingsPath, const TableOptions& options,
                               const std::function<void(std::string_view)>& write,
                               bool* badRange = nullptr);
