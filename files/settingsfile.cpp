#include "files/settingsfile.h"

#include "script/number_text.h"

#include <QtCore/QStringDecoder>
#include <QtCore/QStringEncoder>
#include <cmath>
#include <limits>
#include <utility>

// The settings line itself: writing and reading its 52 fields. Kept apart from the program's
// state so the reader can be fuzzed on its own.

namespace {

constexpr const char* CodePage = "windows-31j"; // CP932, Japanese Windows' code page
constexpr int FieldCount = 52;

// ---- writing ------------------------------------------------------------------------------

class LineWriter {
public:
    void Bool(bool value) { Field(value ? "#TRUE#" : "#FALSE#"); }
    void Int(std::int32_t value) { Field(QByteArray::number(value)); }
    void Single(float value) { Field(QByteArray::fromStdString(FormatFileSingle(value))); }
    void Double(double value) { Field(QByteArray::fromStdString(FormatFileDouble(value))); }
    void Text(const QString& text) {
        QStringEncoder encoder(CodePage);
        const QByteArray bytes = encoder.encode(text);
        // A line break or a NUL would end the line, or the file, when read back.
        const bool unstorable = encoder.hasError() || text.contains(QLatin1Char('"')) ||
                                text.contains(QLatin1Char('\r')) ||
                                text.contains(QLatin1Char('\n')) || text.contains(QChar(0));
        if (unstorable && m_unstorableField == 0) {
            m_unstorableField = m_fields + 1;
        }
        Field('"' + bytes + '"');
    }
    bool Storable() const { return m_unstorableField == 0; }
    int UnstorableField() const { return m_unstorableField; }
    QByteArray Line() const { return m_line + "\r\n"; }

private:
    void Field(const QByteArray& text) {
        if (!m_line.isEmpty()) {
            m_line += ',';
        }
        m_line += text;
        ++m_fields;
    }
    QByteArray m_line;
    int m_fields = 0;
    int m_unstorableField = 0; // the first text that cannot be stored, by field number
};

// ---- reading ------------------------------------------------------------------------------

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

struct Field {
    QByteArray text;
    bool quoted = false;
};

// Splits the fields of one line as the reading rules say: blanks before a field skipped; a
// quoted field runs to the next quote (what follows it up to the separator is dropped); an
// unquoted one to the next comma. The line is all there is: a settings file is one line.
class FieldReader {
public:
    explicit FieldReader(QByteArray line) : m_line(std::move(line)) {}

    // The next field; nothing at the end of the line.
    std::optional<Field> Next() {
        while (m_at < m_line.size() && IsBlank(m_line[m_at])) {
            ++m_at;
        }
        if (m_at >= m_line.size()) {
            return std::nullopt;
        }
        Field field;
        if (m_line[m_at] == '"') {
            field.quoted = true;
            const qsizetype close = m_line.indexOf('"', m_at + 1);
            const qsizetype end = close < 0 ? m_line.size() : close;
            field.text = m_line.mid(m_at + 1, end - m_at - 1);
            m_at = end < m_line.size() ? end + 1 : end;
            while (m_at < m_line.size() && m_line[m_at] != ',') {
                ++m_at;
            }
        } else {
            const qsizetype start = m_at;
            while (m_at < m_line.size() && m_line[m_at] != ',') {
                ++m_at;
            }
            field.text = m_line.mid(start, m_at - start).trimmed();
        }
        if (m_at < m_line.size()) {
            ++m_at; // the comma
        }
        return field;
    }

private:
    QByteArray m_line;
    qsizetype m_at = 0;
};

double Number(const QByteArray& field) {
    return ReadLeadingNumber(field.toStdString());
}

// Rounds to a whole number, ties to even; nothing when it does not fit [low, high].
std::optional<std::int64_t> Whole(const QByteArray& field, double low, double high) {
    const double rounded = std::nearbyint(Number(field));
    if (!(rounded >= low && rounded <= high)) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(rounded);
}

class LineReader {
public:
    explicit LineReader(const QByteArray& bytes) : m_fields(QByteArray()) {
        if (bytes.contains('\0')) {
            m_problem.fault = ReadFault::NotText; // no text file holds one
            return;
        }
        qsizetype lineEnd = 0;
        while (lineEnd < bytes.size() && !IsLineEnd(bytes[lineEnd])) {
            ++lineEnd;
        }
        m_fields = FieldReader(bytes.left(lineEnd));
        for (qsizetype i = lineEnd; i < bytes.size() && !m_moreLines; ++i) {
            m_moreLines = !IsLineEnd(bytes[i]) && !IsBlank(bytes[i]);
        }
    }
    bool Ok() const { return m_problem.fault == ReadFault::None; }
    const ReadProblem& Problem() const { return m_problem; }

    void Int16(std::int16_t& out) {
        if (const auto value = Whole(NumberField(), -32768, 32767)) {
            out = static_cast<std::int16_t>(*value);
        } else {
            Fail(ReadFault::OutOfRange);
        }
    }
    void Int32(std::int32_t& out) {
        if (const auto value = Whole(NumberField(), std::numeric_limits<std::int32_t>::min(),
                                     std::numeric_limits<std::int32_t>::max())) {
            out = static_cast<std::int32_t>(*value);
        } else {
            Fail(ReadFault::OutOfRange);
        }
    }
    void Single(float& out) {
        const double value = Number(NumberField());
        if (std::fabs(value) > std::numeric_limits<float>::max()) {
            Fail(ReadFault::OutOfRange);
            return;
        }
        out = static_cast<float>(value);
    }
    void Double(double& out) { out = Number(NumberField()); }
    void Bool(bool& out) {
        const QByteArray field = NumberField().toUpper();
        if (field == "#TRUE#") {
            out = true;
        } else if (field == "#FALSE#") {
            out = false;
        } else {
            out = Number(field) != 0.0;
        }
    }
    void Text(QString& out) {
        QStringDecoder decoder(CodePage);
        out = decoder.decode(Take().text);
    }

private:
    // The next field where a number or a boolean belongs: a quoted text there means the file
    // is something else that happens to hold enough commas.
    QByteArray NumberField() {
        const Field field = Take();
        if (field.quoted) {
            Fail(ReadFault::WrongKind);
        }
        return field.text;
    }
    Field Take() {
        ++m_fieldNumber;
        if (!Ok()) {
            return {};
        }
        std::optional<Field> field = m_fields.Next();
        if (!field) {
            // The line ended before field 52: a short settings line, or other text.
            Fail(m_moreLines ? ReadFault::NotOneLine : ReadFault::TooFewFields);
            return {};
        }
        return *field;
    }
    void Fail(ReadFault fault) {
        if (Ok()) {
            m_problem = {fault, m_fieldNumber};
        }
    }

    FieldReader m_fields;
    bool m_moreLines = false;
    int m_fieldNumber = 0;
    ReadProblem m_problem;
};

// The fields 5 to 37 of the record in file order, for reading and writing alike.
template <class Io>
void RecordFields(Io& io, GraphSettings& s) {
    io.Single(s.OriginX);
    io.Single(s.OriginY);
    io.Int16(s.XSide);
    io.Int16(s.YSide);
    io.Bool(s.XSmallLinesOn);
    io.Bool(s.YSmallLinesOn);
    io.Bool(s.XMediumLinesOn);
    io.Bool(s.YMediumLinesOn);
    io.Bool(s.XLargeLinesOn);
    io.Bool(s.YLargeLinesOn);
    io.Bool(s.XAxisOn);
    io.Bool(s.YAxisOn);
    io.Int16(s.XSmallSpacing);
    io.Int16(s.YSmallSpacing);
    io.Int16(s.XMediumEvery);
    io.Int16(s.YMediumEvery);
    io.Int16(s.XLargeEvery);
    io.Int16(s.YLargeEvery);
    io.Int32(s.YSmallLineColor);
    io.Int32(s.XSmallLineColor);
    io.Int32(s.YMediumLineColor);
    io.Int32(s.XMediumLineColor);
    io.Int32(s.YLargeLineColor);
    io.Int32(s.XLargeLineColor);
    io.Int32(s.XAxisColor);
    io.Int32(s.YAxisColor);
    io.Int32(s.BackgroundColor);
    io.Int16(s.XTickLabelMode);
    io.Int16(s.YTickLabelMode);
    io.Int32(s.XTickLabelColor);
    io.Int32(s.YTickLabelColor);
    io.Single(s.XTickLabelSize);
    io.Single(s.YTickLabelSize);
}

// The whole line in file order.
template <class Io>
void AllFields(Io& io, SettingsFileData& d) {
    io.Single(d.windowWidth);
    io.Single(d.windowHeight);
    io.Single(d.graphWidthPx);
    io.Single(d.graphHeightPx);
    RecordFields(io, d.settings);
    io.Double(d.xSmallValue);
    io.Double(d.ySmallValue);
    io.Text(d.xUnitName);
    io.Text(d.yUnitName);
    io.Double(d.xOriginValue);
    io.Double(d.yOriginValue);
    for (QString& text : d.expressions) {
        io.Text(text);
    }
    for (ColorRef& colour : d.colours) {
        io.Int32(colour);
    }
    for (QString& code : d.styleCodes) {
        io.Text(code);
    }
}

// The writer through the same field list as the reader: every value passes by reference.
class WriteAdapter {
public:
    explicit WriteAdapter(LineWriter& out) : m_out(out) {}
    void Single(float& v) { m_out.Single(v); }
    void Double(double& v) { m_out.Double(v); }
    void Int16(std::int16_t& v) { m_out.Int(v); }
    void Int32(std::int32_t& v) { m_out.Int(v); }
    void Bool(bool& v) { m_out.Bool(v); }
    void Text(QString& v) { m_out.Text(v); }

private:
    LineWriter& m_out;
};

} // namespace

std::optional<QByteArray> WriteSettingsLine(const SettingsFileData& data, WriteProblem* problem,
                                            int* unstorableField) {
    LineWriter writer;
    WriteAdapter adapter(writer);
    SettingsFileData copy = data;
    AllFields(adapter, copy);
    if (problem != nullptr) {
        *problem = writer.Storable() ? WriteProblem::None : WriteProblem::TextNotStorable;
    }
    if (unstorableField != nullptr) {
        *unstorableField = writer.UnstorableField();
    }
    if (!writer.Storable()) {
        return std::nullopt;
    }
    return writer.Line();
}

std::optional<SettingsFileData>
ReadSettingsLine(const QByteArray& bytes, const GraphSettings& current, ReadProblem* problem) {
    SettingsFileData d;
    d.settings = current;
    LineReader reader(bytes);
    AllFields(reader, d);
    if (problem != nullptr) {
        *problem = reader.Problem();
    }
    if (!reader.Ok()) {
        return std::nullopt;
    }
    return d;
}

QString ReadProblem::Japanese() const {
    switch (fault) {
    case ReadFault::None:
        break;
    case ReadFault::NotText:
        // "設定ファイルではありません（NUL バイトを含む、文字でないファイルです）" = not a
        // settings file (it holds NUL bytes: it is no text)
        return QStringLiteral(
            "設定ファイルではありません（NUL バイトを含む、文字でないファイルです）");
    case ReadFault::NotOneLine:
        // "設定ファイルではありません（1 行 52 項目のはずが、%1 番目の項目の前で改行されて
        // います）" = not a settings file (one line of 52 fields, but the line breaks before
        // field %1)
        return QStringLiteral(
                   "設定ファイルではありません（1 行 52 項目のはずが、%1 番目の項目の前で"
                   "改行されています）")
            .arg(field);
    case ReadFault::TooFewFields:
        // "項目が足りません（52 項目のうち %1 項目しかありません）" = too few fields (only %1
        // of 52)
        return QStringLiteral("項目が足りません（52 項目のうち %1 項目しかありません）")
            .arg(field - 1);
    case ReadFault::OutOfRange:
        // "%1 番目の項目の値が範囲外です" = the value of field %1 is out of range
        return QStringLiteral("%1 番目の項目の値が範囲外です").arg(field);
    case ReadFault::WrongKind:
        // "%1 番目の項目が数値ではありません（文字列です）" = field %1 is not a number (it is a
        // text)
        return QStringLiteral("%1 番目の項目が数値ではありません（文字列です）").arg(field);
    }
    return {};
}

QString ReadProblem::English() const {
    switch (fault) {
    case ReadFault::None:
        break;
    case ReadFault::NotText:
        return QStringLiteral("not a settings file (it holds NUL bytes)");
    case ReadFault::NotOneLine:
        return QStringLiteral("not a settings file (the line breaks before field %1 of 52)")
            .arg(field);
    case ReadFault::TooFewFields:
        return QStringLiteral("too few fields (%1 of 52)").arg(field - 1);
    case ReadFault::OutOfRange:
        return QStringLiteral("field %1 is out of range").arg(field);
    case ReadFault::WrongKind:
        return QStringLiteral("field %1 is a text where a number belongs").arg(field);
    }
    return {};
}

namespace {

template <typename Values, typename Data>
Values FileValuesOf(Data& d, Axis axis) {
    if (axis == Axis::X) {
        return {d.xUnitName, d.xOriginValue, d.xSmallValue};
    }
    return {d.yUnitName, d.yOriginValue, d.ySmallValue};
}

} // namespace

AxisValues AxisValuesOf(SettingsFileData& data, Axis axis) {
    return FileValuesOf<AxisValues>(data, axis);
}

ConstAxisValues AxisValuesOf(const SettingsFileData& data, Axis axis) {
    return FileValuesOf<ConstAxisValues>(data, axis);
}
