#include "output/settingsfile.h"

#include "platform/number_text.h"

#include <QtCore/QStringDecoder>
#include <QtCore/QStringEncoder>
#include <cmath>
#include <limits>

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
        if (encoder.hasError() || text.contains(QLatin1Char('"'))) {
            m_storable = false;
        }
        Field('"' + bytes + '"');
    }
    bool Storable() const { return m_storable; }
    QByteArray Line() const { return m_line + "\r\n"; }

private:
    void Field(const QByteArray& text) {
        if (!m_line.isEmpty()) {
            m_line += ',';
        }
        m_line += text;
    }
    QByteArray m_line;
    bool m_storable = true;
};

// ---- reading ------------------------------------------------------------------------------

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// Splits the fields as the reading rules say: blanks and line ends before a field skipped; a
// quoted field runs to the next quote (what follows it up to the separator is dropped); an
// unquoted one to the next comma or line end.
class FieldReader {
public:
    explicit FieldReader(const QByteArray& bytes) : m_bytes(bytes) {}

    // The next field's raw bytes; nothing at the end of the data.
    std::optional<QByteArray> Next() {
        while (m_at < m_bytes.size() &&
               (m_bytes[m_at] == ' ' || m_bytes[m_at] == '\t' || IsLineEnd(m_bytes[m_at]))) {
            ++m_at;
        }
        if (m_at >= m_bytes.size()) {
            return std::nullopt;
        }
        QByteArray field;
        if (m_bytes[m_at] == '"') {
            const qsizetype close = m_bytes.indexOf('"', m_at + 1);
            const qsizetype end = close < 0 ? m_bytes.size() : close;
            field = m_bytes.mid(m_at + 1, end - m_at - 1);
            m_at = end < m_bytes.size() ? end + 1 : end;
            while (m_at < m_bytes.size() && m_bytes[m_at] != ',' && !IsLineEnd(m_bytes[m_at])) {
                ++m_at;
            }
        } else {
            const qsizetype start = m_at;
            while (m_at < m_bytes.size() && m_bytes[m_at] != ',' && !IsLineEnd(m_bytes[m_at])) {
                ++m_at;
            }
            field = m_bytes.mid(start, m_at - start).trimmed();
        }
        if (m_at < m_bytes.size() && m_bytes[m_at] == ',') {
            ++m_at;
        }
        return field;
    }

private:
    const QByteArray& m_bytes;
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
    explicit LineReader(const QByteArray& bytes) : m_fields(bytes) {}
    bool Ok() const { return m_ok; }

    void Int16(std::int16_t& out) {
        if (const auto value = Whole(Take(), -32768, 32767)) {
            out = static_cast<std::int16_t>(*value);
        } else {
            m_ok = false;
        }
    }
    void Int32(std::int32_t& out) {
        if (const auto value = Whole(Take(), std::numeric_limits<std::int32_t>::min(),
                                     std::numeric_limits<std::int32_t>::max())) {
            out = static_cast<std::int32_t>(*value);
        } else {
            m_ok = false;
        }
    }
    void Single(float& out) {
        const double value = Number(Take());
        if (std::fabs(value) > std::numeric_limits<float>::max()) {
            m_ok = false;
            return;
        }
        out = static_cast<float>(value);
    }
    void Double(double& out) { out = Number(Take()); }
    void Bool(bool& out) {
        const QByteArray field = Take().toUpper();
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
        out = decoder.decode(Take());
    }

private:
    QByteArray Take() {
        if (!m_ok) {
            return {};
        }
        std::optional<QByteArray> field = m_fields.Next();
        if (!field) {
            m_ok = false; // the file ended before field 52
            return {};
        }
        return *field;
    }

    FieldReader m_fields;
    bool m_ok = true;
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

std::optional<QByteArray> WriteSettingsLine(const SettingsFileData& data, WriteProblem* problem) {
    LineWriter writer;
    WriteAdapter adapter(writer);
    SettingsFileData copy = data;
    AllFields(adapter, copy);
    if (problem != nullptr) {
        *problem = writer.Storable() ? WriteProblem::None : WriteProblem::TextNotStorable;
    }
    if (!writer.Storable()) {
        return std::nullopt;
    }
    return writer.Line();
}

std::optional<SettingsFileData> ReadSettingsLine(const QByteArray& bytes,
                                                 const GraphSettings& current) {
    SettingsFileData d;
    d.settings = current;
    LineReader reader(bytes);
    AllFields(reader, d);
    if (!reader.Ok()) {
        return std::nullopt;
    }
    return d;
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
