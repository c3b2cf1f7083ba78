#include "script/scriptevaluator.h"

#include "script/arithmetic.h"
#include "script/constants.h"
#include "script/lexer.h"
#include "script/operations.h"

#include <atomic>
#include <cmath>
#include <exception>

using script::ErrorCode;
using script::Kind;
using script::KindBit;
using script::NumberKindBits;
using script::Op;
using script::Value;

namespace {

// Both operands are Integer, Long or Double and at least one is a Double: + - * / then work on
// the doubles directly, exactly as the general operators would.
inline bool DoublePair(const Value& a, const Value& b) {
    const unsigned kinds = KindBit(a.GetKind()) | KindBit(b.GetKind());
    return (kinds & ~NumberKindBits) == 0 && (kinds & KindBit(Kind::Double)) != 0;
}

inline bool NumberPair(const Value& a, const Value& b) {
    const unsigned kinds = KindBit(a.GetKind()) | KindBit(b.GetKind());
    return (kinds & ~NumberKindBits) == 0;
}

ScriptError MakeError(ErrorCode code, std::optional<std::size_t> position = std::nullopt) {
    ScriptError error;
    error.code = code;
    error.description = script::Describe(code);
    error.position = position;
    return error;
}

ScriptResult OutOfMemory() {
    return ScriptResult::Failure(MakeError(ErrorCode::OutOfMemory));
}

bool OutOfMemory(ScriptError& error) {
    error = MakeError(ErrorCode::OutOfMemory);
    return false;
}

// Runs work and returns what it returns. The engine reports every failure as a script error
// rather than throwing at its callers, so an exception, in practice a failed allocation, gives
// what failed returns instead.
template <typename Work, typename Failed>
auto Guarded(Work work, Failed failed) -> decltype(work()) {
    try {
        return work();
    } catch (const std::exception&) {
        return failed();
    }
}

// The name of a variable as an assignment would take it, or empty when the text is not one.
std::string VariableName(std::string_view text) {
    script::Lexer lexer(text);
    script::Token token = lexer.Next();
    // The end must be the text's own, not a comment's start.
    const script::Token end = lexer.Next();
    if (token.kind != script::TokenKind::Name || end.kind != script::TokenKind::End ||
        end.position != text.size() || script::FindBuiltin(token.name) ||
        script::FindConstant(token.name) != nullptr) {
        return {};
    }
    return std::move(token.name);
}

std::size_t TextSize(const Value& value) {
    return value.Is(Kind::String) || value.Is(Kind::Array) ? value.Text().size() : 0;
}

// The bytes of a value's text buffer on the heap. The buffer stays with a stack slot when the
// slot takes a value of another kind, to be reused.
const std::size_t InPlaceCapacity = std::string().capacity();
std::size_t HeapBytes(const Value& value) {
    const std::size_t capacity = value.Text().capacity();
    return capacity > InPlaceCapacity ? capacity : 0;
}

bool HoldsText(const Value& value) {
    return value.Is(Kind::String) || value.Is(Kind::Array);
}

// The most one operator or built-in adds to what an evaluation holds: a string is at most
// MaxStringLength bytes and an array five times that, in a buffer that may have grown by half
// again.
constexpr std::size_t OperationBytes = 1024 * 1024;
// An evaluation that leaves more than this in its stack's buffers frees them before the next
// starts: every evaluation then has (nearly) the whole budget, whatever ran before it.
constexpr std::size_t KeptBytes = 1024 * 1024;

std::size_t ProgramBytes(const script::Program& program) {
    std::size_t bytes = program.code.size() * sizeof(script::Instruction) +
                        program.constants.size() * sizeof(Value) +
                        program.numeric.size() * sizeof(script::NumericInstruction);
    for (const Value& constant : program.constants) {
        bytes += HeapBytes(constant);
    }
    return bytes;
}

// Generations start at 1: a Prepared that was never refreshed has 0.
std::atomic<std::uint64_t> NextGeneration{1};

} // namespace

ScriptEvaluator::ScriptEvaluator() : m_generation(NextGeneration.fetch_add(1)) {}

ScriptResult ScriptEvaluator::ExecuteStatement(std::string_view statement) {
    return Guarded(
        [&] {
            script::Program program;
            ScriptError error;
            std::string name;
            if (!script::CompileAssignment(statement, m_slots, name, program, error)) {
                return ScriptResult::Failure(std::move(error));
            }
            ScriptResult result = Run(program);
            if (!result.Ok()) {
                return result;
            }
            if (result.GetValue().Is(Kind::Nothing)) {
                // An object reference cannot be assigned as a value.
                return ScriptResult::Failure(MakeError(ErrorCode::ObjectVariableNotSet));
            }
            auto found = m_slots.find(name);
            std::int32_t slot = found != m_slots.end() ? found->second : AddVariable(name);
            if (slot < 0) {
                return OutOfMemory();
            }
            const ErrorCode assignError = Assign(slot, result.GetValue());
            if (assignError != ErrorCode::None) {
                return ScriptResult::Failure(MakeError(assignError));
            }
            return result;
        },
        [this] {
            ReleaseText();
            return OutOfMemory();
        });
}

ScriptResult ScriptEvaluator::Eval(std::string_view expression) {
    return Guarded(
        [&] {
            const CacheEntry& entry = Compiled(expression);
            if (!entry.program) {
                return ScriptResult::Failure(entry.error);
            }
            // Keep the program alive even if running it were to touch the cache.
            const std::shared_ptr<const script::Program> program = entry.program;
            return Run(*program);
        },
        [this] {
            ReleaseText();
            return OutOfMemory();
        });
}

void ScriptEvaluator::SetVariable(std::string_view name, double value) {
    // Without memory nothing is assigned: the variable keeps its old value.
    Guarded([&] { SetVariable(FindOrAddVariable(name), value); }, [] {});
}

ScriptEvaluator::Prepared ScriptEvaluator::Prepare(std::string_view expression) {
    Prepared prepared;
    Guarded(
        [&] {
            prepared.m_text = std::string(expression);
            Refresh(prepared);
        },
        [&] {
            prepared.m_program.reset();
            prepared.m_numeric = nullptr;
            prepared.m_error = MakeError(ErrorCode::OutOfMemory);
            prepared.m_generation = 0;
        });
    return prepared;
}

ScriptResult ScriptEvaluator::Eval(Prepared& prepared) {
    return Guarded(
        [&] {
            if (prepared.m_generation != m_generation) {
                Refresh(prepared);
            }
            if (!prepared.m_program) {
                return ScriptResult::Failure(prepared.m_error);
            }
            return Run(*prepared.m_program);
        },
        [this] {
            ReleaseText();
            return OutOfMemory();
        });
}

ScriptEvaluator::VariableSlot ScriptEvaluator::FindOrAddVariable(std::string_view name) {
    VariableSlot slot;
    const std::string key = VariableName(name);
    if (key.empty()) {
        return slot;
    }
    const auto found = m_slots.find(key);
    slot.m_index = found != m_slots.end() ? found->second : AddVariable(key);
    return slot;
}

void ScriptEvaluator::SetVariable(VariableSlot slot, double value) {
    if (!slot.Valid()) {
        return;
    }
    Value& target = m_values[static_cast<std::size_t>(slot.m_index)];
    m_variableText -= TextSize(target);
    // The kind a number literal of this value has: plain digits make an Integer or a Long when
    // they fit, and the general number form writes integral values below 1E15 in plain digits.
    // Sampling sets a variable once per point: the test for an integral value is a conversion
    // and a comparison rather than a call to trunc.
    const double magnitude = std::fabs(value);
    if (magnitude <= 2147483647.0) {
        const auto integral = static_cast<std::int32_t>(value);
        if (static_cast<double>(integral) != value) {
            target.SetDouble(value);
        } else if (magnitude <= 32767.0) {
            target.SetInteger(integral);
        } else {
            target.SetLong(integral);
        }
    } else if (std::isfinite(value)) {
        target.SetDouble(value);
    } else {
        // No number text denotes these; Null keeps them off any plot.
        target.SetNull();
    }
}

std::vector<std::string> ScriptEvaluator::EmptyVariables(const Prepared& prepared) const {
    std::vector<std::string> names;
    if (!prepared.m_program) {
        return names;
    }
    // The names, not the slots, of the program: a program compiled before a variable appeared
    // still names it.
    for (const std::string& name : prepared.m_program->variables) {
        const auto found = m_slots.find(name);
        if (found == m_slots.end() ||
            m_values[static_cast<std::size_t>(found->second)].Is(Kind::Empty)) {
            names.push_back(name);
        }
    }
    return names;
}

const ScriptEvaluator::CacheEntry& ScriptEvaluator::Compiled(std::string_view expression) {
    const auto found = m_cacheIndex.find(expression);
    if (found != m_cacheIndex.end()) {
        m_cache.splice(m_cache.begin(), m_cache, found->second);
        return *found->second;
    }
    CacheEntry entry;
    entry.text = std::string(expression);
    auto program = std::make_shared<script::Program>();
    entry.bytes = entry.text.size();
    if (script::CompileExpression(expression, m_slots, *program, entry.error)) {
        entry.bytes += ProgramBytes(*program);
        entry.program = std::move(program);
    }
    m_cache.push_front(std::move(entry));
    m_cacheIndex.emplace(m_cache.front().text, m_cache.begin());
    m_cacheBytes += m_cache.front().bytes;
    while (m_cache.size() > 1 && (m_cache.size() > CacheEntries || m_cacheBytes > CacheBytes)) {
        m_cacheBytes -= m_cache.back().bytes;
        m_cacheIndex.erase(m_cache.back().text);
        m_cache.pop_back();
    }
    return m_cache.front();
}

void ScriptEvaluator::Refresh(Prepared& prepared) {
    const CacheEntry& entry = Compiled(prepared.m_text);
    prepared.m_program = entry.program;
    prepared.m_numeric = nullptr;
    if (entry.program && !entry.program->numeric.empty()) {
        if (m_numbers.size() < entry.program->numericStackSize) {
            m_numbers.resize(entry.program->numericStackSize);
        }
        prepared.m_numeric = Elements(entry.program->numeric);
    }
    prepared.m_error = entry.error;
    prepared.m_generation = m_generation;
}

std::int32_t ScriptEvaluator::AddVariable(const std::string& name) {
    if (m_values.size() >= MaxVariables) {
        return -1;
    }
    const auto slot = static_cast<std::int32_t>(m_values.size());
    m_values.emplace_back();
    m_slots.emplace(name, slot);
    // Programs compiled so far read this name as Empty.
    m_generation = NextGeneration.fetch_add(1);
    m_cacheIndex.clear();
    m_cache.clear();
    m_cacheBytes = 0;
    return slot;
}

ErrorCode ScriptEvaluator::Assign(std::int32_t slot, Value value) {
    Value& target = m_values[static_cast<std::size_t>(slot)];
    const std::size_t oldSize = TextSize(target);
    const std::size_t newSize = TextSize(value);
    if (m_variableText - oldSize + newSize > MaxVariableText) {
        return ErrorCode::OutOfMemory;
    }
    m_variableText = m_variableText - oldSize + newSize;
    target = std::move(value);
    return ErrorCode::None;
}

ErrorCode ScriptEvaluator::MayGoOn(std::size_t adding) const {
    if (m_stop != nullptr && m_stop->load(std::memory_order_relaxed)) {
        return ErrorCode::Interrupted;
    }
    return m_held + adding > MaxHeldBytes ? ErrorCode::OutOfMemory : ErrorCode::None;
}

void ScriptEvaluator::ReleaseText() {
    for (Value& slot : m_stack) {
        if (HeapBytes(slot) != 0) {
            std::string().swap(slot.MutableText());
        }
    }
    m_held = 0;
}

ScriptResult ScriptEvaluator::Run(const script::Program& program) {
    const script::Instruction* at = nullptr;
    const ErrorCode code = Execute(program, at);
    if (code != ErrorCode::None) {
        ScriptError error;
        ErrorAt(program, code, at, error);
        return ScriptResult::Failure(std::move(error));
    }
    // The result takes the slot's buffer with it.
    m_held -= HeapBytes(m_stack[0]);
    return ScriptResult::Success(std::move(m_stack[0]));
}

void ScriptEvaluator::ErrorAt(const script::Program& program, ErrorCode code,
                              const script::Instruction* at, ScriptError& error) const {
    error.Set(code, at->position);
    if (at->op == Op::Raise) {
        // "Type mismatch: 'name'", naming the function that does not exist.
        error.hint = program.unknownCalls[static_cast<std::size_t>(at->operand)];
        error.name = error.hint.unknownFunction;
        error.description.append(": '").append(error.name).append("'");
    }
}

bool ScriptEvaluator::EvalInPlace(Prepared& prepared, const Value*& value, ScriptError& error) {
    return Guarded(
        [&] {
            if (prepared.m_generation != m_generation) {
                Refresh(prepared);
            }
            if (!prepared.m_program) {
                error = prepared.m_error;
                return false;
            }
            const script::Instruction* at = nullptr;
            const ErrorCode code = Execute(*prepared.m_program, at);
            if (code != ErrorCode::None) {
                ErrorAt(*prepared.m_program, code, at, error);
                return false;
            }
            value = Elements(m_stack);
            return true;
        },
        [&] {
            ReleaseText();
            return OutOfMemory(error);
        });
}

bool ScriptEvaluator::EvalNumberGenerally(Prepared& prepared, double& number, ScriptError& error) {
    return Guarded(
        [&] {
            if (prepared.m_generation != m_generation) {
                Refresh(prepared);
                if (prepared.m_numeric != nullptr &&
                    script::RunNumeric(prepared.m_numeric, Elements(m_values), Elements(m_numbers),
                                       number)) {
                    return true;
                }
            }
            const script::Program* const program = prepared.m_program.get();
            if (program == nullptr) {
                error = prepared.m_error;
                return false;
            }
            const script::Instruction* at = nullptr;
            const ErrorCode code = Execute(*program, at);
            if (code != ErrorCode::None) {
                ErrorAt(*program, code, at, error);
                return false;
            }
            const Value& value = m_stack[0];
            if (const std::optional<double> plotted = ToPlotNumber(value)) {
                number = *plotted;
                return true;
            }
            error.Set(value.Is(Kind::Null)      ? ErrorCode::InvalidUseOfNull
                      : value.Is(Kind::Nothing) ? ErrorCode::ObjectVariableNotSet
                                                : ErrorCode::TypeMismatch);
            return false;
        },
        [&] {
            ReleaseText();
            return OutOfMemory(error);
        });
}

ErrorCode ScriptEvaluator::EvalArgument(Value& argument) {
    if (argument.Is(Kind::Null)) {
        return ErrorCode::InvalidUseOfNull;
    }
    if (m_evalDepth >= MaxEvalDepth) {
        return ErrorCode::OutOfStackSpace;
    }
    const ErrorCode refused = MayGoOn(OperationBytes);
    if (refused != ErrorCode::None) {
        return refused;
    }
    std::string text;
    const ErrorCode textError = script::ToText(argument, text);
    if (textError != ErrorCode::None) {
        return textError;
    }
    // The text may drop out of the cache while it runs, when it evaluates other texts.
    const CacheEntry& entry = Compiled(text);
    if (!entry.program) {
        return entry.error.code;
    }
    const std::shared_ptr<const script::Program> program = entry.program;
    // The text and the program count as held while the inner expression runs, as does its stack
    // (see Execute).
    const std::size_t charge = text.capacity() + ProgramBytes(*program);
    if (m_held + charge > MaxHeldBytes) {
        return ErrorCode::OutOfMemory;
    }
    // The inner expression gets a stack of its own: the outer one stays where the running code
    // points into it. Restored however the inner run ends, an exception included.
    struct Nested {
        ScriptEvaluator& evaluator;
        std::size_t charge;
        std::vector<Value> outer;
        Nested(ScriptEvaluator& e, std::size_t bytes) : evaluator(e), charge(bytes) {
            outer.swap(evaluator.m_stack);
            ++evaluator.m_evalDepth;
            evaluator.m_held += charge;
        }
        Nested(const Nested&) = delete;
        Nested& operator=(const Nested&) = delete;
        ~Nested() {
            std::size_t inner = charge + evaluator.m_stack.size() * sizeof(Value);
            for (const Value& slot : evaluator.m_stack) {
                inner += HeapBytes(slot);
            }
            evaluator.m_held -= inner;
            --evaluator.m_evalDepth;
            evaluator.m_stack.swap(outer);
        }
    } nested(*this, charge);
    const script::Instruction* at = nullptr;
    const ErrorCode code = Execute(*program, at);
    if (code == ErrorCode::None) {
        // Moving may trade buffers between the two slots.
        const std::size_t before = HeapBytes(argument) + HeapBytes(m_stack[0]);
        argument = std::move(m_stack[0]);
        m_held = m_held + HeapBytes(argument) + HeapBytes(m_stack[0]) - before;
    }
    return code;
}

ErrorCode ScriptEvaluator::Execute(const script::Program& program, const script::Instruction*& at) {
    if (m_evalDepth == 0 && m_held > KeptBytes) {
        ReleaseText();
    }
    if (m_stack.size() < program.stackSize) {
        if (m_evalDepth > 0) {
            m_held += (program.stackSize - m_stack.size()) * sizeof(Value);
        }
        m_stack.resize(program.stackSize);
    }
    // Copies a string or array into a slot, and the operators and built-ins that may build
    // them: each first checks the stop flag and the budget, then counts what the slot's buffer
    // grew by.
    const auto copyText = [&](Value& slot, const Value& source) {
        const ErrorCode refused = MayGoOn(source.Text().size());
        if (refused != ErrorCode::None) {
            return refused;
        }
        const std::size_t before = HeapBytes(slot);
        slot = source;
        m_held = m_held + HeapBytes(slot) - before;
        return ErrorCode::None;
    };
    const auto binary = [&](Op op, Value& a, const Value& b) {
        const ErrorCode refused = MayGoOn(OperationBytes);
        if (refused != ErrorCode::None) {
            return refused;
        }
        const std::size_t before = HeapBytes(a);
        const ErrorCode result = script::ApplyBinary(op, a, b);
        m_held = m_held + HeapBytes(a) - before;
        return result;
    };
    Value* const base = Elements(m_stack);
    Value* top = base; // the next free slot
    const script::Instruction* ip = Elements(program.code);
    ErrorCode error = ErrorCode::None;
    for (;; ++ip) {
        switch (ip->op) {
        case Op::PushConstant:
        case Op::LoadVariable: {
            const Value& source = ip->op == Op::PushConstant
                                      ? program.constants[static_cast<std::size_t>(ip->operand)]
                                      : m_values[static_cast<std::size_t>(ip->operand)];
            if (HoldsText(source)) {
                error = copyText(*top, source);
                if (error != ErrorCode::None) {
                    break;
                }
            } else {
                *top = source;
            }
            ++top;
            continue;
        }
        case Op::Negate: {
            Value& a = top[-1];
            if (a.Is(Kind::Double)) {
                a.SetDouble(-a.Number());
                continue;
            }
            error = script::ApplyUnary(Op::Negate, a);
            break;
        }
        case Op::Not:
            error = script::ApplyUnary(Op::Not, top[-1]);
            break;
        case Op::Add:
        case Op::Subtract:
        case Op::Multiply:
        case Op::Divide: {
            const Value& b =
                ip->count != 0 ? program.constants[static_cast<std::size_t>(ip->operand)] : *--top;
            Value& a = top[-1];
            if (DoublePair(a, b)) {
                const double x = a.Number();
                const double y = b.Number();
                double r = 0.0;
                if (ip->op == Op::Add) {
                    r = x + y;
                } else if (ip->op == Op::Subtract) {
                    r = x - y;
                } else if (ip->op == Op::Multiply) {
                    r = x * y;
                } else if ((error = script::DivisionError(x, y)) == ErrorCode::None) {
                    r = x / y;
                } else {
                    break;
                }
                if ((error = script::StoreDouble(a, r)) != ErrorCode::None) {
                    break;
                }
                continue;
            }
            error = binary(ip->op, a, b);
            break;
        }
        case Op::Power: {
            const Value& b =
                ip->count != 0 ? program.constants[static_cast<std::size_t>(ip->operand)] : *--top;
            Value& a = top[-1];
            if (NumberPair(a, b)) {
                if ((error = script::StoreDouble(a, script::PowerOf(a.Number(), b.Number()))) !=
                    ErrorCode::None) {
                    break;
                }
                continue;
            }
            error = binary(Op::Power, a, b);
            break;
        }
        case Op::Equal:
        case Op::NotEqual:
        case Op::Less:
        case Op::Greater:
        case Op::LessEqual:
        case Op::GreaterEqual:
        case Op::IntegerDivide:
        case Op::Mod:
        case Op::Concatenate:
        case Op::And:
        case Op::Or:
        case Op::Xor:
        case Op::Eqv:
        case Op::Imp: {
            const Value& b =
                ip->count != 0 ? program.constants[static_cast<std::size_t>(ip->operand)] : *--top;
            error = binary(ip->op, top[-1], b);
            break;
        }
        case Op::Call: {
            const int count = ip->count;
            const auto id = static_cast<script::Builtin>(ip->operand);
            if (count == 1 && top[-1].Is(Kind::Double) && id != script::Builtin::Sgn) {
                // The real functions of a Double, without the general call; sgn gives an
                // Integer. A result that is not finite is an error or another built-in, which
                // the general call reports or works out.
                const double r = script::RealFunctionOf(id, top[-1].Number());
                if (std::isfinite(r)) {
                    top[-1].SetDouble(r);
                    continue;
                }
            }
            Value* arguments = top - count;
            if (count == 0) {
                ++top;
            } else {
                top -= count - 1;
            }
            if (id == script::Builtin::Eval) {
                error = EvalArgument(arguments[0]);
                break;
            }
            if ((error = MayGoOn(OperationBytes)) != ErrorCode::None) {
                break;
            }
            const int touched = count == 0 ? 1 : count;
            std::size_t before = 0;
            for (int i = 0; i < touched; ++i) {
                before += HeapBytes(arguments[i]);
            }
            error = script::CallBuiltin(id, arguments, count, &m_random);
            for (int i = 0; i < touched; ++i) {
                m_held += HeapBytes(arguments[i]);
            }
            m_held -= before;
            break;
        }
        case Op::Raise:
            at = ip;
            return ErrorCode::TypeMismatch;
        case Op::Return:
            return ErrorCode::None;
        }
        if (error != ErrorCode::None) {
            at = ip;
            return error;
        }
    }
}
