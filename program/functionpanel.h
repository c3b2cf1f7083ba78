#pragma once

#include "plot/functionslot.h"
#include "plot/sampling.h"
#include "program/axispanelmodel.h"

#include <QtCore/QString>
#include <QtCore/QStringList>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct CurvaneState;
class Progress;
class ScriptEvaluator;

// The function rows F1 to F3 as procedures over the state; the panel widget only shows them.

// "描画" (draw), "消去" (erase), "更新" (update).
QString ButtonCaption(DrawButtonState state);

// What the window does after a draw button click besides showing the state.
struct DrawOutcome {
    bool bracketMessage = false; // "括弧（）が合っていません" titled "括弧エラー"
    bool focusTextBox = false;
    bool evaluated = false;
    // When not empty, a message to show titled NoValueTitle(): the curve drawn has no point.
    QString noValueMessage;
    // When not empty, a message to show titled NotationNoticeTitle(): the computation read the
    // expression otherwise than its notation suggests (NotationNotice). A draw with a
    // noValueMessage carries it at that message's end instead, so that one draw shows one box.
    QString notationMessage;
    // The rows computed were for an expression or axes that changed meanwhile: nothing drawn.
    bool stale = false;
    // The draw read names without a value that were no parameters yet.
    bool newParameters = false;
};

// The computation a draw needs before it can draw: the slot's expression and the mapping of its
// columns, copied, so that it can run on another thread while the window goes on. Its table
// receives the rows, its report how the computation went.
struct SampleJob {
    int slot = 1;
    QString expression;
    ParameterValues parameters;
    GraphSettings settings;
    GraphState graph;
    SampleReport report;
};

// A draw button click in three parts, so that the computation can run apart from the window.
// BeginDrawClick does all of the click that needs no computation (erase, update, a draw of rows
// still valid, the bracket check) and returns the computation when the rows must be made first;
// RunSampleJob computes them with an evaluator of its own, telling progress; FinishDrawClick takes
// them over and draws, unless the slot's expression, the settings or the axis values changed
// since the click (the outcome then says stale, and nothing changes).
std::optional<SampleJob> BeginDrawClick(CurvaneState& state, int slot, const AxisPanelTexts* panel,
                                        DrawOutcome& outcome);
void RunSampleJob(SampleJob& job, ScriptEvaluator& evaluator, Progress* progress);
// The computation of a slot's rows for the state as it is.
SampleJob MakeSampleJob(const CurvaneState& state, int slot);
// Whether rows computed by a job still stand for the slot's expression, the parameters' values,
// the settings and the axis values.
bool JobStillFits(const CurvaneState& state, const SampleJob& job);
// The slot's account of a job whose rows the table took over (PlotTable::AdoptSlot).
void TakeJobRows(CurvaneState& state, SampleJob&& job);
DrawOutcome FinishDrawClick(CurvaneState& state, SampleJob&& job);

// "計算できません" (cannot be computed).
QString NoValueTitle();

// The draw button of a slot, by what it offers: draw (evaluating only when the slot's rows are
// stale, drawing over the current picture), erase (a full redraw without it) or update (a full
// redraw with it on top). A draw whose rows have no value in any column still shows the slot as
// drawn, and asks for a message saying why (not when the user cut the computation short). An
// evaluation first takes over the axis panel's texts when there are any; without them the state's
// own axis values stand. It reports to progress, when given, and stops where progress asks it to:
// the part computed is drawn and shown like a whole curve, and the next draw after an erase
// computes the curve again.
DrawOutcome DrawButtonClicked(CurvaneState& state, ScriptEvaluator& evaluator, int slot,
                              const AxisPanelTexts* panel = nullptr, Progress* progress = nullptr);

// Enter in a slot's function box presses its draw button when that offers "描画" (draw) or
// "更新" (update); it does not erase a curve.
bool EnterPressesDrawButton(const FunctionSlot& slot);

// The three rows' expressions, F1 first.
std::vector<QString> SlotExpressions(const FunctionSlots& rows);

// The text of a slot changed, by typing or by the program: its rows are stale. A curve already
// on the sheet stays until the next full redraw.
void ExpressionChanged(CurvaneState& state, int slot, const QString& text);

// Rows 2 and 3: shown by their add buttons, removed by a right click on their label (the
// expression is emptied and the curve leaves the sheet; colour and style stay).
void AddRow(CurvaneState& state, int slot);
void RemoveRow(CurvaneState& state, int slot);

// All three rows back to their first look (File > New).
void ResetFunctionPanel(CurvaneState& state);

// A typed character code as the function boxes take it: the code itself for ( ) * + - . / 0-9
// < = > ^ a-z and backspace, 0 (dropped) for everything else.
std::int16_t FilterFunctionKey(std::int32_t code);
// A text as typing could have produced it: the characters FilterFunctionKey drops are dropped.
QString FilterFunctionText(const QString& text);

// A colour chosen for a slot (nothing when the user cancelled: the colour stays). A slot whose
// curve is shown offers "更新" (update) either way.
void ColorChosen(CurvaneState& state, int slot, std::optional<ColorRef> colour);

// A line style chosen from the menu, for the slot whose box had the focus last. False when no
// function box has had the focus yet: the caller shows
// "関数テキストボックスにフォーカスがありません" (no function text box has the focus).
bool StyleChosen(CurvaneState& state, const QString& code);

// The text of an error number in the words of the rest of the interface ("構文エラー" for a
// syntax error, and so on); empty for none.
QString ErrorCodeText(script::ErrorCode code);

// What the user is told about an evaluator's complaint: the number's text (ErrorCodeText), the
// name at fault, the hint on a function that does not exist, and for a syntax error the fix for
// the slip the expression shows, if any (SyntaxSlipHint).
QString JapaneseError(const ScriptError& error, const QString& expression = {});

// A one-line account of the slot's last computation for its tooltip, in Japanese; empty before
// the first.
QString SampleSummary(const SampleReport& report);

// One sentence saying that the names were read as 0 because they hold no value, with the
// function meant where a name looks like one (e for exp); empty without names.
QString EmptyVariablesNote(const std::vector<std::string>& names);

// One sentence saying that the names are parameters, whose values the parameter window sets;
// empty without names.
QString ParametersNote(const std::vector<std::string>& names);

// The draw button's tooltip: SampleSummary, then on its own line the note on the parameters the
// expression reads (or, for a computation given none, on the names it read as 0).
QString DrawButtonTip(const SampleReport& report);

// The message of a draw that gave no value in any column: which slot, and the first error.
QString NoValueMessage(int slot, const SampleReport& report);
