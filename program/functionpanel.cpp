#include "program/functionpanel.h"

#include "program/curvanestate.h"
#include "program/notation.h"
#include "program/redraw.h"
#include "script/scriptresult.h"

#include <algorithm>
#include <array>

namespace {

void Draw(CurvaneState& state, int slot) {
    DrawSlotCurve(state, slot);
}

// The hint on a call of a function that does not exist: "。sqrt という関数はありません。sqr
// のことですか？"; empty without one.
QString JapaneseHint(const ScriptHint& hint) {
    if (hint.Empty()) {
        return {};
    }
    // name という関数はありません: no function of this name exists.
    QString text = QStringLiteral("。") + QString::fromStdString(hint.unknownFunction) +
                   QStringLiteral(" という関数はありません。");
    if (!hint.suggestion.empty()) {
        // 演算子 ^ のことですか: do you mean the operator ^?
        text += (hint.suggestionIsOperator ? QStringLiteral("演算子 ") : QString()) +
                QString::fromStdString(hint.suggestion) + QStringLiteral(" のことですか？");
    }
    return text;
}

} // namespace

QString ErrorCodeText(script::ErrorCode code) {
    using script::ErrorCode;
    static constexpr std::array<std::pair<ErrorCode, const char*>, 17> texts = {{
        {ErrorCode::SyntaxError, "構文エラー"},                        // syntax error
        {ErrorCode::ExpectedExpression, "式が必要です"},               // expected expression
        {ErrorCode::ExpectedIdentifier, "名前が必要です"},             // expected identifier
        {ErrorCode::DivisionByZero, "0 で除算しました"},               // division by zero
        {ErrorCode::Overflow, "オーバーフローしました"},               // overflow
        {ErrorCode::InvalidProcedureCall, "関数の引数が不正です"},     // invalid argument
        {ErrorCode::TypeMismatch, "型が一致しません"},                 // type mismatch
        {ErrorCode::OutOfMemory, "メモリが不足しています"},            // out of memory
        {ErrorCode::OutOfStringSpace, "文字列が長すぎます"},           // string too long
        {ErrorCode::ExpressionTooComplex, "式が複雑すぎます"},         // too complex
        {ErrorCode::OutOfStackSpace, "eval の入れ子が深すぎます"},     // eval nested too deep
        {ErrorCode::ObjectVariableNotSet, "オブジェクトは使えません"}, // no objects
        {ErrorCode::InvalidUseOfNull, "Null は数値になりません"},      // Null is no number
        {ErrorCode::WrongNumberOfArguments, "引数の数が違います"},     // wrong argument count
        {ErrorCode::IllegalAssignment, "代入できません"},              // cannot assign
        {ErrorCode::SubscriptOutOfRange, "添字が範囲外です"},          // subscript out of range
        {ErrorCode::Interrupted, "計算を中断しました"},                // computation stopped
    }};
    if (code == ErrorCode::None) {
        return {};
    }
    for (const auto& [known, text] : texts) {
        if (known == code) {
            return QString::fromUtf8(text);
        }
    }
    // "エラー 番号" = error number, for a number this program has no text for (a worksheet
    // from a newer one).
    return QStringLiteral("エラー %1").arg(static_cast<int>(code));
}

QString JapaneseError(const ScriptError& error, const QString& expression) {
    using script::ErrorCode;
    QString text = ErrorCodeText(error.code);
    if (!error.name.empty()) {
        text += QStringLiteral(": '") + QString::fromStdString(error.name) + QLatin1Char('\'');
    }
    text += JapaneseHint(error.hint);
    if (error.code == ErrorCode::SyntaxError || error.code == ErrorCode::ExpectedExpression) {
        if (const QString slip = SyntaxSlipHint(expression); !slip.isEmpty()) {
            text += QStringLiteral("。") + slip;
        }
    }
    return text;
}

QString NoValueTitle() {
    return QStringLiteral("計算できません"); // cannot be computed
}

QString ButtonCaption(DrawButtonState state) {
    switch (state) {
    case DrawButtonState::Erase:
        return QStringLiteral("消去"); // erase
    case DrawButtonState::Update:
        return QStringLiteral("更新"); // update
    case DrawButtonState::Draw:
        break;
    }
    return QStringLiteral("描画"); // draw
}

namespace {

// The end of a draw: the slot's curve over the picture, its button offering "消去" (erase), and
// the message of a curve without any point.
void DrawComputedSlot(CurvaneState& state, int slot, DrawOutcome& outcome) {
    FunctionSlot& f = SlotOf(state.Slots, slot);
    Draw(state, slot);
    f.Hidden = false;
    f.Button = DrawButtonState::Erase;
    const SampleReport& report = f.LastSample;
    if (report.columns > 0 && report.withValue == 0 && !report.cancelled) {
        outcome.noValueMessage = NoValueMessage(slot, report);
    }
}

} // namespace

std::optional<SampleJob> BeginDrawClick(CurvaneState& state, int slot, const AxisPanelTexts* panel,
                                        DrawOutcome& outcome) {
    FunctionSlot& f = SlotOf(state.Slots, slot);
    outcome = {};
    switch (f.Button) {
    case DrawButtonState::Update:
        f.Drawn = false; // left out of the full redraw, then drawn on top
        RedrawAll(state);
        Draw(state, slot);
        f.Button = DrawButtonState::Erase;
        f.Hidden = false;
        f.Drawn = true;
        outcome.focusTextBox = slot >= 2;
        return std::nullopt;
    case DrawButtonState::Erase:
        f.Drawn = false;
        RedrawAll(state);
        f.Button = DrawButtonState::Draw;
        f.Hidden = true;
        f.Drawn = true; // the rows stay valid for the next draw
        outcome.focusTextBox = slot >= 2;
        return std::nullopt;
    case DrawButtonState::Draw:
        break;
    }
    outcome.focusTextBox = true;
    if (f.Expression.isEmpty()) {
        return std::nullopt;
    }
    if (!BracketsMatch(f.Expression)) {
        outcome.bracketMessage = true;
        return std::nullopt;
    }
    // Rows the user cut short are no reason to skip the computation when asked to draw again.
    if (f.Drawn && !f.LastSample.cancelled) {
        DrawComputedSlot(state, slot, outcome);
        return std::nullopt;
    }
    if (panel != nullptr) {
        TakeAxisPanelTexts(state.Graph, *panel);
    }
    // The names it reads without a value become parameters, starting at 0.
    outcome.newParameters = TakeParameterNames(state.Params, SlotExpressions(state.Slots));
    return MakeSampleJob(state, slot);
}

SampleJob MakeSampleJob(const CurvaneState& state, int slot) {
    SampleJob job;
    job.slot = slot;
    job.expression = SlotOf(state.Slots, slot).Expression;
    job.parameters = ValuesOf(state.Params);
    job.settings = state.Settings;
    job.graph = state.Graph;
    return job;
}

bool JobStillFits(const CurvaneState& state, const SampleJob& job) {
    return SlotOf(state.Slots, job.slot).Expression == job.expression &&
           ValuesOf(state.Params) == job.parameters && state.Settings == job.settings &&
           SameMapping(state.Graph, job.graph);
}

void TakeJobRows(CurvaneState& state, SampleJob&& job) {
    FunctionSlot& f = SlotOf(state.Slots, job.slot);
    f.LastSample = std::move(job.report);
    f.SampledExpression = job.expression;
    f.SampledParameters = job.parameters;
    f.RowsId = NewSheetId();
    ++f.SampleCount;
    f.Drawn = true;
}

void RunSampleJob(SampleJob& job, ScriptEvaluator& evaluator, Progress* progress) {
    SetParameterValues(evaluator, job.parameters);
    job.report =
        SampleFunction(evaluator, job.settings, job.graph, job.slot, job.expression, progress);
    for (const QString& name : ParameterNamesOf(job.expression)) {
        job.report.parameters.push_back(name.toStdString());
    }
}

DrawOutcome FinishDrawClick(CurvaneState& state, SampleJob&& job) {
    DrawOutcome outcome;
    outcome.focusTextBox = true;
    FunctionSlot& f = SlotOf(state.Slots, job.slot);
    // The rows stand for the expression and axes they were computed for: if the user changed
    // those meanwhile, they are of no use.
    if (f.Button != DrawButtonState::Draw || !JobStillFits(state, job) ||
        !state.Graph.PlotValues.AdoptSlot(job.graph.PlotValues, job.slot)) {
        outcome.stale = true;
        return outcome;
    }
    TakeJobRows(state, std::move(job));
    outcome.evaluated = true;
    DrawComputedSlot(state, job.slot, outcome);
    // A name read without a value is a parameter now; a student who typed sinx did not mean one.
    std::vector<std::string> read = f.LastSample.parameters;
    read.insert(read.end(), f.LastSample.emptyVariables.begin(), f.LastSample.emptyVariables.end());
    outcome.notationMessage = NotationNotice(f.Expression, read);
    if (!outcome.noValueMessage.isEmpty() && !outcome.notationMessage.isEmpty()) {
        outcome.noValueMessage += QStringLiteral("\n\n") + outcome.notationMessage;
        outcome.notationMessage.clear();
    }
    return outcome;
}

DrawOutcome DrawButtonClicked(CurvaneState& state, ScriptEvaluator& evaluator, int slot,
                              const AxisPanelTexts* panel, Progress* progress) {
    DrawOutcome outcome;
    std::optional<SampleJob> job = BeginDrawClick(state, slot, panel, outcome);
    if (!job) {
        return outcome;
    }
    RunSampleJob(*job, evaluator, progress);
    return FinishDrawClick(state, std::move(*job));
}

bool EnterPressesDrawButton(const FunctionSlot& slot) {
    return slot.Button != DrawButtonState::Erase;
}

std::vector<QString> SlotExpressions(const FunctionSlots& rows) {
    std::vector<QString> expressions;
    for (const FunctionSlot& f : rows) {
        expressions.push_back(f.Expression);
    }
    return expressions;
}

void ExpressionChanged(CurvaneState& state, int slot, const QString& text) {
    FunctionSlot& f = SlotOf(state.Slots, slot);
    f.Expression = text;
    f.Drawn = false;
    f.Button = DrawButtonState::Draw;
    MarkUsedParameters(state.Params, SlotExpressions(state.Slots));
}

void AddRow(CurvaneState& state, int slot) {
    if (slot >= 2) {
        SlotOf(state.Slots, slot).RowShown = true;
    }
}

void RemoveRow(CurvaneState& state, int slot) {
    if (slot < 2) {
        return; // the first row stays
    }
    ExpressionChanged(state, slot, QString());
    FunctionSlot& f = SlotOf(state.Slots, slot);
    f.Drawn = false;
    RedrawAll(state);
    f.RowShown = false;
}

void ResetFunctionPanel(CurvaneState& state) {
    for (int slot = 1; slot <= SlotCount; ++slot) {
        ExpressionChanged(state, slot, QString());
        FunctionSlot& f = SlotOf(state.Slots, slot);
        f.Color = Rgb(0, 0, 0);
        f.StyleCode = QStringLiteral("実1");
        f.Button = DrawButtonState::Draw;
        f.RowShown = slot == 1;
    }
}

std::int16_t FilterFunctionKey(std::int32_t code) {
    const bool accepted = code == 8 || (code >= 40 && code <= 43) || (code >= 45 && code <= 57) ||
                          (code >= 60 && code <= 62) || code == 94 || (code >= 97 && code <= 122);
    return accepted ? static_cast<std::int16_t>(code) : std::int16_t(0);
}

QString FilterFunctionText(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() != 8 && FilterFunctionKey(c.unicode()) != 0) {
            kept.append(c);
        }
    }
    return kept;
}

void ColorChosen(CurvaneState& state, int slot, std::optional<ColorRef> colour) {
    FunctionSlot& f = SlotOf(state.Slots, slot);
    if (colour) {
        f.Color = *colour;
    }
    if (f.Button == DrawButtonState::Erase) {
        f.Button = DrawButtonState::Update;
    }
}

bool StyleChosen(CurvaneState& state, const QString& code) {
    if (state.StyleTarget < 1 || state.StyleTarget > SlotCount) {
        return false;
    }
    FunctionSlot& f = SlotOf(state.Slots, state.StyleTarget);
    f.StyleCode = code;
    if (f.Button == DrawButtonState::Erase) {
        f.Button = DrawButtonState::Update;
    }
    return true;
}

QString SampleSummary(const SampleReport& report) {
    if (report.columns == 0) {
        return {};
    }
    // "N 列中 M 列を描画しました" = M of N columns drawn
    QString text =
        QStringLiteral("%1 列中 %2 列を描画しました").arg(report.columns).arg(report.withValue);
    if (report.firstError.code != script::ErrorCode::None) {
        // "最初のエラー" = first error
        text += QStringLiteral("。最初のエラー: ") +
                JapaneseError(report.firstError, report.expression);
    }
    if (report.cancelled) {
        // "キャンセルしたため、左端から N 列目から先は描いていません" = cancelled, so nothing
        // is drawn from the Nth column from the left edge on
        text += QStringLiteral("。キャンセルしたため、左端から %1 列目から先は描いていません")
                    .arg(report.stoppedAtColumn + 1);
    }
    return text;
}

QString EmptyVariablesNote(const std::vector<std::string>& names) {
    if (names.empty()) {
        return {};
    }
    QStringList listed;
    bool e = false;
    for (const std::string& name : names) {
        listed << QString::fromStdString(name);
        e = e || name == "e";
    }
    // "a、b には値がないので 0 として計算しました" = a and b have no value, so they were
    // computed as 0
    QString text = listed.join(QStringLiteral("、")) +
                   QStringLiteral(" には値がないので 0 として計算しました。");
    if (e) {
        // "e^x のことなら exp(x) と書きます" = for e^x, write exp(x)
        text += QStringLiteral("e^x のことなら exp(x) と書きます。");
    }
    return text;
}

QString ParametersNote(const std::vector<std::string>& names) {
    if (names.empty()) {
        return {};
    }
    QStringList listed;
    for (const std::string& name : names) {
        listed << QString::fromStdString(name);
    }
    // "a、b はパラメータです。値は「パラメータ」の窓で変えられます" = a and b are parameters;
    // their values can be changed in the パラメータ window
    QString text = listed.join(QStringLiteral("、")) +
                   QStringLiteral(" はパラメータです。値は「パラメータ」の窓で変えられます。");
    if (std::find(names.begin(), names.end(), "e") != names.end()) {
        // "e^x のことなら exp(x) と書きます" = for e^x, write exp(x)
        text += QStringLiteral("e^x のことなら exp(x) と書きます。");
    }
    return text;
}

QString DrawButtonTip(const SampleReport& report) {
    const QString summary = SampleSummary(report);
    const QString note = report.parameters.empty() ? EmptyVariablesNote(report.emptyVariables)
                                                   : ParametersNote(report.parameters);
    if (summary.isEmpty() || note.isEmpty()) {
        return summary + note;
    }
    return summary + QLatin1Char('\n') + note;
}

QString NoValueMessage(int slot, const SampleReport& report) {
    // "F1(x) はどの x でも値が求まりませんでした" = F1(x) has no value at any x
    QString text = QStringLiteral("F%1(x) はどの x でも値が求まりませんでした。").arg(slot);
    if (report.firstError.code != script::ErrorCode::None) {
        // "最初のエラー" = first error
        text += QStringLiteral("\n最初のエラー: ") +
                JapaneseError(report.firstError, report.expression);
    }
    return text;
}
