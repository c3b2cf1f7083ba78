#pragma once

#include "program/commands.h"
#include "program/curvanestate.h"

#include <QtCore/QString>
#include <cstddef>
#include <deque>
#include <unordered_map>

// Undo and redo: the document as it was after each change the user made, with the change's name.

// The kinds of change, for the names the edit menu shows ("元に戻す: ラベルの移動").
enum class Step {
    Other,
    Typing,
    Draw,
    Erase,
    Update,
    Colour,
    LineStyle,
    AddRow,
    RemoveRow,
    AxisPanel,
    Details,
    SheetSize,
    Matching,
    Origin,
    ZoomIn,
    ZoomOut,
    AddLabel,
    LabelText,
    LabelColour,
    LabelFont,
    LabelMove,
    LabelErase,
    LabelRestore,
    Picture,
    Paste,
    New,
    OpenSettings,
    OpenWorksheet,
    Redraw,
    Recovery,
    Parameter,
};

// The step's name in Japanese; slot names the function row of the steps that have one.
QString StepName(Step step, int slot = 0);
// The kind of change a menu command makes, if it changes the document at all.
Step StepOfCommand(Command command);
// "元に戻す: ラベルの移動" and "やり直し: ラベルの移動"; the bare verb without a name.
QString UndoText(const QString& name);
QString RedoText(const QString& name);

// Whether two documents hold the same work: settings, function rows, the sheet's record
// (background, grid and every curve with its rows), labels, erased labels, pattern phase and the
// axis panel's texts. Which computation or record an id names is no part of it, nor are the file
// names: where the work was kept is not the work.
bool SameDocument(const CurvaneDocument& a, const CurvaneDocument& b);

// Puts a document into the state as it was: the sheet's picture is drawn anew from its record
// (unless the sheet shows that record already), the file names stay, and the re-edit box's label
// is forgotten, since it may not exist in the document put back.
void RestoreDocument(CurvaneState& state, const CurvaneDocument& document);

// The steps the user can take back and forward. Each keeps a copy of the document, which shares
// its pictures and curve rows with the other copies; the memory counted is each step's own part
// (its labels, curve list, texts) plus every picture and row table once, however many steps share
// it. When that passes the budget the oldest steps go, never the current one.
//
// Changes come in two kinds. A step (Record) is one action: a click, a chosen colour. An edit
// (Edit) goes on over many changes of one control, typing into a box or dragging a scroll bar: it
// becomes one step when it is finished, by FinishEdit (the control lost the keyboard), by the
// next step or edit of another control, by Undo or by a save.
class DocumentHistory {
public:
    static constexpr std::size_t DefaultBudget = std::size_t(64) << 20;
    explicit DocumentHistory(std::size_t budget = DefaultBudget);

    // Starts afresh from a document: nothing to undo or redo, and it counts as saved.
    void Reset(const CurvaneDocument& document);
    // The end of an action. When the document now differs from the newest step it becomes a new
    // step with this name, and what could be redone is gone. True when a step was added.
    bool Record(const CurvaneDocument& document, const QString& name);
    // The end of one change of an edit that goes on. The changes of one control make one step.
    void Edit(const CurvaneDocument& document, const QString& name, const QString& control);
    // The edit under way, if any, becomes a step; true when it did.
    bool FinishEdit();
    // The control whose edit is under way; empty when none is.
    const QString& OpenEdit() const { return m_edit.control; }

    bool CanUndo() const;
    bool CanRedo() const;
    // The name of what Undo and Redo would take back or do again; empty when nothing.
    QString UndoName() const;
    QString RedoName() const;
    // The document to go back to, or forward to; null when there is none. An edit under way is
    // finished first. The pointer is good until the next call that changes the history.
    const CurvaneDocument* Undo();
    const CurvaneDocument* Redo();

    // The document is what its file now holds (saved or opened). A change not recorded yet is
    // recorded first.
    void MarkSaved(const CurvaneDocument& document);
    // Whether the document differs from the one last saved or opened.
    bool Changed() const;

    // Counts the changes of the document as the history sees it, undo and redo included.
    quint64 Revision() const { return m_revision; }

    std::size_t Bytes() const;
    int UndoSteps() const { return m_current; }

private:
    struct Entry {
        CurvaneDocument document;
        QString name; // of the step that led here
        std::size_t own = 0;
    };
    struct Payload {
        std::size_t bytes = 0;
        int uses = 0;
    };

    const CurvaneDocument& Top() const {
        return m_entries[static_cast<std::size_t>(m_current)].document;
    }
    void Push(const CurvaneDocument& document, const QString& name);
    void DropRedo();
    void Count(const CurvaneDocument& document, int uses);
    void Trim();
    void SetLive(const CurvaneDocument& document);

    std::size_t m_budget;
    std::deque<Entry> m_entries;
    int m_current = 0;
    int m_saved = 0;        // -1: the saved document is no longer in the history
    CurvaneDocument m_live; // as the last Record or Edit saw it
    struct {
        QString name;
        QString control;
    } m_edit;
    quint64 m_revision = 0;
    std::size_t m_ownBytes = 0;
    std::size_t m_sharedBytes = 0;
    std::unordered_map<qint64, Payload> m_pictures; // by QImage::cacheKey
    std::unordered_map<const void*, Payload> m_rows;
};
