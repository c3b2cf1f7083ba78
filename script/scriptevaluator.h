#pragma once

#include "script/builtins.h"
#include "script/compiler.h"
#include "script/numeric.h"
#include "script/program.h"
#include "script/scriptresult.h"
#include "script/value.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Evaluates expressions over a set of global variables. Compiled expressions are kept in a
// bounded cache keyed by their text, so evaluating the same text again skips parsing. One
// evaluator serves one thread.
class ScriptEvaluator {
public:
    // A variable's handle, for callers that set it thousands of times. Stays valid for the
    // evaluator's lifetime.
    class VariableSlot {
    public:
        bool Valid() const { return m_index >= 0; }

    private:
        friend class ScriptEvaluator;
        std::int32_t m_index = -1;
    };

    // An expression compiled once and evaluated many times without even a cache lookup.
    class Prepared {
    public:
        const std::string& Text() const { return m_text; }
        // Whether EvalNumber can work on plain doubles, as of the last Prepare or evaluation.
        bool RunsOnNumbers() const { return m_numeric != nullptr; }

    private:
        friend class ScriptEvaluator;
        std::string m_text;
        std::shared_ptr<const script::Program> m_program;
        // m_program's numeric code, or null when it has none.
        const script::NumericInstruction* m_numeric = nullptr;
        ScriptError m_error;
        std::uint64_t m_generation = 0;
    };

    // More variables than this is an error ("Out of memory"), as is more text in string
    // variables than MaxVariableText bytes: a script cannot grow the program without bound.
    static constexpr std::size_t MaxVariables = 10000;
    static constexpr std::size_t MaxVariableText = 16 * 1024 * 1024;
    // The cache of compiled expressions holds at most this many texts and this many bytes of
    // texts and programs.
    static constexpr std::size_t CacheEntries = 256;
    static constexpr std::size_t CacheBytes = 4 * 1024 * 1024;
    // How deep eval may run inside eval; deeper is "Out of stack space", as a text that
    // evaluates itself would otherwise go on without end.
    static constexpr int MaxEvalDepth = 32;
    // The most bytes of strings and arrays one evaluation may hold at once, on its stack and on
    // the stacks of the evals within it; an operation that could go beyond is refused before it
    // allocates, with "Out of memory". Nested evals count their stacks and programs too.
    static constexpr std::size_t MaxHeldBytes = 64 * 1024 * 1024;

    ScriptEvaluator();

    // Evaluations check flag, unless null, in their loops (every built-in call, string
    // operator and eval), and once it is set end with "User interrupt occurred" (Interrupted):
    // another thread stops even a single long evaluation. flag must outlive its use.
    void SetStopFlag(const std::atomic<bool>* flag) { m_stop = flag; }

    // An assignment statement "name=expression" (blanks allowed); creates or overwrites a global
    // variable that later calls read. Anything else is an error. The result holds the assigned
    // value.
    ScriptResult ExecuteStatement(std::string_view statement);
    // The value of an expression, or an error.
    ScriptResult Eval(std::string_view expression);
    // Equivalent to ExecuteStatement("name=" + text) when value is exactly what that text
    // denotes: an integral value below 1E15 becomes an Integer or Long as a literal would. A
    // name that is no valid variable name, or one too many, is ignored.
    void SetVariable(std::string_view name, double value);

    Prepared Prepare(std::string_view expression);
    ScriptResult Eval(Prepared& prepared);
    // Eval without building a ScriptResult, for sampling: on success value points at the
    // result, valid until the next call on this evaluator; otherwise error says why.
    bool EvalInPlace(Prepared& prepared, const script::Value*& value, ScriptError& error);
    // The plot number (ToPlotNumber) of the value EvalInPlace gives, bit for bit, computed on
    // plain doubles where the expression and its variables allow. A value that is no number is
    // an error too: Invalid use of Null, Object variable not set or Type mismatch.
    bool EvalNumber(Prepared& prepared, double& number, ScriptError& error) {
        // Kept inline and small: for plain arithmetic this is all of one sample's work besides
        // the loop itself.
        if (prepared.m_numeric != nullptr && prepared.m_generation == m_generation &&
            script::RunNumeric(prepared.m_numeric, Elements(m_values), Elements(m_numbers),
                               number)) {
            return true;
        }
        return EvalNumberGenerally(prepared, number, error);
    }
    // The variables the prepared expression reads that hold no value (Empty) now, in the order
    // the expression first names them: those never assigned, which it reads as 0. Worked out
    // from the compiled program rather than from evaluations, so evaluating costs nothing more
    // and asking one look-up per name. Empty when the expression does not compile.
    std::vector<std::string> EmptyVariables(const Prepared& prepared) const;
    // The handle of a variable, created as Empty when new; invalid for a name that is not a
    // variable name or once the variable limit is reached.
    VariableSlot FindOrAddVariable(std::string_view name);
    void SetVariable(VariableSlot slot, double value);

private:
    struct CacheEntry {
        std::string text;
        std::shared_ptr<const script::Program> program;
        ScriptError error;
        // What the entry counts against CacheBytes: its text and its program.
        std::size_t bytes = 0;
    };

    const CacheEntry& Compiled(std::string_view expression);
    void Refresh(Prepared& prepared);
    ScriptResult Run(const script::Program& program);
    // Runs program leaving its value in m_stack[0]; on an error, at is the failing instruction.
    script::ErrorCode Execute(const script::Program& program, const script::Instruction*& at);
    bool EvalNumberGenerally(Prepared& prepared, double& number, ScriptError& error);
    // eval(text): the value of the expression argument holds, into argument.
    script::ErrorCode EvalArgument(script::Value& argument);
    void ErrorAt(const script::Program& program, script::ErrorCode code,
                 const script::Instruction* at, ScriptError& error) const;
    std::int32_t AddVariable(const std::string& name);
    script::ErrorCode Assign(std::int32_t slot, script::Value value);
    // Whether the evaluation must end before its next costly step: stopped, or about to hold
    // more than MaxHeldBytes. None when it may go on.
    script::ErrorCode MayGoOn(std::size_t adding) const;
    // Frees the texts the stack's slots keep for reuse, which an evaluation that held much
    // leaves behind, so the next starts from nothing.
    void ReleaseText();

    // The address of a vector's first element, also of an empty one.
    template <typename T>
    static T* Elements(std::vector<T>& items) {
        return std::to_address(items.begin());
    }
    template <typename T>
    static const T* Elements(const std::vector<T>& items) {
        return std::to_address(items.begin());
    }

    std::vector<script::Value> m_values;
    script::VariableSlots m_slots;
    std::size_t m_variableText = 0;
    std::vector<script::Value> m_stack;
    // The stack of RunNumeric, as deep as the deepest numeric code refreshed so far needs.
    std::vector<double> m_numbers;
    script::RandomState m_random;
    // Changes whenever a new variable appears, which makes every compiled program stale: a
    // program compiled before read that name as Empty. Unique across evaluators, so a Prepared
    // brought from another evaluator is compiled afresh rather than run on foreign slots.
    std::uint64_t m_generation = 0;
    std::list<CacheEntry> m_cache; // most recently used first
    std::unordered_map<std::string_view, std::list<CacheEntry>::iterator> m_cacheIndex;
    std::size_t m_cacheBytes = 0;
    int m_evalDepth = 0;
    const std::atomic<bool>* m_stop = nullptr;
    // The bytes of strings and arrays held now (see MaxHeldBytes): the text buffers of the
    // stack's slots, and the stacks and programs of running nested evals.
    std::size_t m_held = 0;
};
