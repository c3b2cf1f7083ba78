#include "program/tablecommands.h"
#include "program/parametercommands.h"

#include "files/safefile.h"
#include "graph/mapping.h"
#include "platform/dialogs.h"
#include "plot/sampling.h"
#include "program/curvanestate.h"
#include "program/readout.h"
#include "program/render.h"
#include "program/textlabels.h"
#include "script/number_text.h"

#include <QtCore/QFileInfo>
#include <QtCore/QLocale>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

std::vector<std::string> Titles(const ValueTable& table) {
    std::vector<std::string> titles;
    for (const QString& title : TableTitles(table)) {
        titles.push_back(title.toStdString());
    }
    return titles;
}

} // namespace

TableRange DefaultTableRange(const GraphSettings& settings, const GraphState& state) {
    TableRange range;
    range.step = state.XSmallValue;
    range.from = range.to = RoundToGeneral(state.XOriginValue);
    const SampleColumns columns = SampledColumns(settings, state);
    const double spacing = settings.XSmallSpacing;
    if (spacing <= 0 || columns.start > columns.end) {
        return range;
    }
    // Small scale lines lie at OriginX + k·spacing; the first and the last within the columns.
    const double first = std::ceil((columns.start - settings.OriginX) / spacing);
    const double last = std::floor((columns.end - settings.OriginX) / spacing);
    if (!std::isfinite(first) || !std::isfinite(last) || first > last) {
        return range;
    }
    range.from = RoundToGeneral(state.XOriginValue + first * state.XSmallValue);
    range.to = RoundToGeneral(state.XOriginValue + last * state.XSmallValue);
    return range;
}

std::vector<std::pair<int, QString>> TableSlots(const FunctionSlots& all) {
    std::vector<std::pair<int, QString>> listed;
    for (int slot = 1; slot <= SlotCount; ++slot) {
        const QString& text = SlotOf(all, slot).Expression;
        if (!text.isEmpty()) {
            listed.emplace_back(slot, text);
        }
    }
    return listed;
}

ValueTable MakeValueTable(const CurvaneState& state, const TableRange& range, std::int64_t rows) {
    ValueTable table(state.Settings, state.Graph, range, rows, TableSlots(state.Slots));
    table.SetParameters(ValuesOf(state.Params));
    return table;
}

bool TableBasis::operator==(const TableBasis& other) const {
    // Bit for bit: a NaN from a damaged file is the same basis as itself.
    return functions == other.functions && parameters == other.parameters &&
           std::memcmp(axes.data(), other.axes.data(), sizeof(double) * axes.size()) == 0 &&
           xUnit == other.xUnit && yUnit == other.yUnit && sheetWidth == other.sheetWidth &&
           sheetHeight == other.sheetHeight && sheetRange.from == other.sheetRange.from &&
           sheetRange.to == other.sheetRange.to && sheetRange.step == other.sheetRange.step;
}

TableBasis TableBasisOf(const CurvaneState& state) {
    const GraphSettings& s = state.Settings;
    const GraphState& g = state.Graph;
    TableBasis basis;
    basis.functions = TableSlots(state.Slots);
    basis.parameters = ValuesOf(state.Params);
    basis.axes = {s.OriginX,     s.OriginY,     double(s.XSmallSpacing), double(s.YSmallSpacing),
                  g.XSmallValue, g.YSmallValue, g.XOriginValue,          g.YOriginValue,
                  g.PlotLimit};
    basis.xUnit = g.XUnitName;
    basis.yUnit = g.YUnitName;
    basis.sheetWidth = g.GraphWidthPx;
    basis.sheetHeight = g.GraphHeightPx;
    basis.sheetRange = DefaultTableRange(s, g);
    return basis;
}

TableFollowPlan FollowDocument(const TableBasis& shown, const TableBasis& now, bool rangeTyped,
                               const std::optional<TableRange>& typed) {
    TableFollowPlan plan;
    if (!rangeTyped) {
        plan.boxes = now.sheetRange;
    }
    if (shown == now) {
        return plan;
    }
    const std::optional<TableRange> range = rangeTyped ? typed : now.sheetRange;
    const TableRowCount count =
        range ? CountTableRows(*range) : TableRowCount{TableRangeProblem::NotFinite, 0};
    plan.action = count.problem == TableRangeProblem::None && count.rows <= FollowingTableRows
                      ? TableFollow::Recompute
                      : TableFollow::MarkStale;
    return plan;
}

std::optional<double> ReadTableNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    const double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

QString TableRangeProblemText(TableRangeProblem problem) {
    switch (problem) {
    case TableRangeProblem::NotFinite:
        // "開始・終了・刻みには数値を入れてください" = enter numbers for from, to and step
        return QStringLiteral("開始・終了・刻みには数値を入れてください。");
    case TableRangeProblem::ZeroStep:
        // "刻みに 0 は使えません" = a step of 0 cannot be used
        return QStringLiteral("刻みに 0 は使えません。");
    case TableRangeProblem::WrongSign:
        // the step must be positive when to is larger than from, negative when smaller
        return QStringLiteral("刻みの符号が範囲の向きと合っていません。終了が開始より大きいとき"
                              "は正、小さいときは負の刻みにしてください。");
    case TableRangeProblem::TooManyRows:
        // too many rows: at most N; narrow the range or enlarge the step
        return QStringLiteral("行数が多すぎます（最大 %1 行）。範囲を狭めるか、刻みを大きくして"
                              "ください。")
            .arg(MaxTableRows);
    case TableRangeProblem::StepTooFine:
        // the step is too small for the x values to differ
        return QStringLiteral(
            "刻みが小さすぎて x の値が区別できません。刻みを大きくしてください。");
    case TableRangeProblem::None:
        break;
    }
    return {};
}

QStringList TableTitles(const ValueTable& table) {
    QStringList titles;
    titles << QStringLiteral("x") + UnitSuffix(table.XUnit());
    for (int c = 0; c < table.ColumnCount(); ++c) {
        const TableColumn& column = table.Column(c);
        titles << QStringLiteral("F%1(x)=").arg(column.slot) + column.expression +
                      UnitSuffix(table.YUnit());
    }
    return titles;
}

QString TableClipboardText(const ValueTable& table) {
    return QString::fromStdString(TableText(table, Titles(table), '\t', "\n"));
}

QByteArray TableCsv(const ValueTable& table) {
    QByteArray bytes("\xEF\xBB\xBF"); // the byte-order mark
    bytes += QByteArray::fromStdString(TableText(table, Titles(table), ',', "\r\n"));
    return bytes;
}

QString SaveTableTitle() {
    return QStringLiteral("数値表の保存"); // save the table of values
}

QString SaveTableFilter() {
    return QStringLiteral("CSV ﾌｧｲﾙ (*.csv)|*.csv");
}

bool SaveTableCsv(const ValueTable& table, Dialogs& dialogs) {
    QString path = dialogs.SaveFileName(SaveTableTitle(), SaveTableFilter());
    if (path.isEmpty()) {
        return false;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".csv");
    }
    if (const FileProblem failure = WriteBytesSafely(path, TableCsv(table)); failure.Failed()) {
        // "数値表を保存できませんでした" = the table of values could not be saved
        dialogs.Message(QStringLiteral("数値表を保存できませんでした。\n") +
                            failure.MessageText(path),
                        QStringLiteral("Curvane"), false);
        return false;
    }
    return true;
}

QString FeatureKindText(FeatureKind kind) {
    switch (kind) {
    case FeatureKind::Minimum:
        return QStringLiteral("極小"); // local minimum
    case FeatureKind::Maximum:
        return QStringLiteral("極大"); // local maximum
    case FeatureKind::Intersection:
        return QStringLiteral("交点"); // intersection
    case FeatureKind::Zero:
        break;
    }
    return QStringLiteral("零点"); // zero
}

QString FeatureFunctionText(const Feature& feature) {
    QString text = QStringLiteral("F%1").arg(feature.slot);
    if (feature.otherSlot != 0) {
        text += QStringLiteral(" と F%1").arg(feature.otherSlot); // "と" = and
    }
    return text;
}

QString FeatureLabelText(const Feature& feature) {
    return QStringLiteral("(%1, %2)")
        .arg(QString::fromStdString(FormatSignificant(feature.x, 5)),
             QString::fromStdString(FormatSignificant(feature.y, 5)));
}

QString FeatureNumberText(double value) {
    return QString::fromStdString(FormatSignificant(value, 12));
}

QString FeatureOffSheetText() {
    // "この点はシートの外にあります" = this point lies outside the sheet
    return QStringLiteral("この点はシートの外にあります。ラベルは追加しませんでした。");
}

std::optional<int> AddFeatureLabel(CurvaneState& state, const Feature& feature) {
    const AxisMapping mapping(state.Settings, state.Graph);
    const double column = mapping.ColumnOfAxisX(feature.x);
    const double row = mapping.RowOfAxisY(feature.y);
    const double width = state.Graph.GraphWidthPx;
    const double height = state.Graph.GraphHeightPx;
    if (!(column >= 0 && column <= width && row >= 0 && row <= height)) {
        return std::nullopt;
    }
    const QPointF point(column, row);
    const int n = AddFreeLabelNear(state, FeatureLabelText(feature), point);
    TextLabel& label = state.AddMoji.At(n);
    // The point itself, in the colour of the curve it lies on.
    label.mark = TextLabel::Mark{point - QPointF(label.left, label.top),
                                 SlotOf(state.Slots, feature.slot).Color};
    return n;
}

QString WriteSettingsFileTable(const QString& settingsPath, const TableOptions& options,
                               const std::function<void(std::string_view)>& write, bool* badRange) {
    if (badRange != nullptr) {
        *badRange = false;
    }
    if (const QString problem = CheckSettingsFileAlone(settingsPath); !problem.isEmpty()) {
        return problem;
    }
    CurvaneState state;
    if (const QString problem = LoadSettingsFileAlone(settingsPath, state); !problem.isEmpty()) {
        return problem;
    }
    if (const QString problem = SetParametersFromText(state, options.parameters);
        !problem.isEmpty()) {
        return problem;
    }

    TableRange range = DefaultTableRange(state.Settings, state.Graph);
    range.from = options.from.value_or(range.from);
    range.to = options.to.value_or(range.to);
    range.step = options.step.value_or(range.step);
    const TableRowCount count = CountTableRows(range);
    if (count.problem != TableRangeProblem::None) {
        if (badRange != nullptr) {
            *badRange = true;
        }
        const QString numbers = QStringLiteral("--from %1 --to %2 --step %3")
                                    .arg(QString::fromStdString(FormatShortest(range.from)),
                                         QString::fromStdString(FormatShortest(range.to)),
                                         QString::fromStdString(FormatShortest(range.step)));
        switch (count.problem) {
        case TableRangeProblem::ZeroStep:
            return QStringLiteral("the step cannot be 0 (%1)").arg(numbers);
        case TableRangeProblem::WrongSign:
            return QStringLiteral("the step goes away from --to (%1)").arg(numbers);
        case TableRangeProblem::TooManyRows:
            return QStringLiteral("more than %1 rows (%2)").arg(MaxTableRows).arg(numbers);
        case TableRangeProblem::StepTooFine:
            return QStringLiteral("the step is below 15 digits of x (%1)").arg(numbers);
        default:
            return QStringLiteral("not a range of numbers (%1)").arg(numbers);
        }
    }
    ValueTable table = MakeValueTable(state, range, count.rows);
    table.Compute(state.scriptEvalFn, nullptr);

    std::string text = "x";
    for (int c = 0; c < table.ColumnCount(); ++c) {
        text += "\tF" + std::to_string(table.Column(c).slot);
    }
    text += '\n';
    // Written in pieces, so a million rows need no second copy of themselves.
    for (std::int64_t row = 0; row < table.Rows(); ++row) {
        text += TableLine(table, row, '\t');
        text += '\n';
        if (text.size() > 64 * 1024) {
            write(text);
            text.clear();
        }
    }
    write(text);
    return {};
}
