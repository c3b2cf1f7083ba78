#include "program/worksheet.h"

#include "program/settingsapply.h"
#include "program/sheetops.h"

#include <QtCore/QBuffer>
#include <QtCore/QFileInfo>
#include <QtCore/QJsonArray>
#include <QtCore/QJsonDocument>
#include <QtCore/QStringDecoder>
#include <QtCore/QtEndian>
#include <QtGui/QImageReader>
#include <QtGui/QImageWriter>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <unordered_map>

namespace {

const QString FormatName = QStringLiteral("Curvane worksheet");

// ---- the fields of the records, by name ---------------------------------------------------------

template <class Record, class T>
struct Field {
    const char* name;
    T Record::*member;
};

template <class T>
using SettingsField = Field<GraphSettings, T>;
constexpr SettingsField<float> SettingsFloats[] = {
    {"OriginX", &GraphSettings::OriginX},
    {"OriginY", &GraphSettings::OriginY},
    {"XTickLabelSize", &GraphSettings::XTickLabelSize},
    {"YTickLabelSize", &GraphSettings::YTickLabelSize}};
constexpr SettingsField<std::int16_t> SettingsShorts[] = {
    {"XSide", &GraphSettings::XSide},
    {"YSide", &GraphSettings::YSide},
    {"XSmallSpacing", &GraphSettings::XSmallSpacing},
    {"YSmallSpacing", &GraphSettings::YSmallSpacing},
    {"XMediumEvery", &GraphSettings::XMediumEvery},
    {"YMediumEvery", &GraphSettings::YMediumEvery},
    {"XLargeEvery", &GraphSettings::XLargeEvery},
    {"YLargeEvery", &GraphSettings::YLargeEvery},
    {"XTickLabelMode", &GraphSettings::XTickLabelMode},
    {"YTickLabelMode", &GraphSettings::YTickLabelMode}};
constexpr SettingsField<bool> SettingsFlags[] = {{"XSmallLinesOn", &GraphSettings::XSmallLinesOn},
                                                 {"YSmallLinesOn", &GraphSettings::YSmallLinesOn},
                                                 {"XMediumLinesOn", &GraphSettings::XMediumLinesOn},
                                                 {"YMediumLinesOn", &GraphSettings::YMediumLinesOn},
                                                 {"XLargeLinesOn", &GraphSettings::XLargeLinesOn},
                                                 {"YLargeLinesOn", &GraphSettings::YLargeLinesOn},
                                                 {"XAxisOn", &GraphSettings::XAxisOn},
                                                 {"YAxisOn", &GraphSettings::YAxisOn}};
constexpr SettingsField<ColorRef> SettingsColours[] = {
    {"YSmallLineColor", &GraphSettings::YSmallLineColor},
    {"XSmallLineColor", &GraphSettings::XSmallLineColor},
    {"YMediumLineColor", &GraphSettings::YMediumLineColor},
    {"XMediumLineColor", &GraphSettings::XMediumLineColor},
    {"YLargeLineColor", &GraphSettings::YLargeLineColor},
    {"XLargeLineColor", &GraphSettings::XLargeLineColor},
    {"XAxisColor", &GraphSettings::XAxisColor},
    {"YAxisColor", &GraphSettings::YAxisColor},
    {"BackgroundColor", &GraphSettings::BackgroundColor},
    {"XTickLabelColor", &GraphSettings::XTickLabelColor},
    {"YTickLabelColor", &GraphSettings::YTickLabelColor}};

constexpr Field<GraphState, float> GraphFloats[] = {{"PlotLimit", &GraphState::PlotLimit},
                                                    {"GraphWidthPx", &GraphState::GraphWidthPx},
                                                    {"GraphHeightPx", &GraphState::GraphHeightPx}};
constexpr Field<GraphState, double> GraphDoubles[] = {{"XOriginValue", &GraphState::XOriginValue},
                                                      {"YOriginValue", &GraphState::YOriginValue},
                                                      {"XSmallValue", &GraphState::XSmallValue},
                                                      {"YSmallValue", &GraphState::YSmallValue}};
constexpr Field<GraphState, QString> GraphTexts[] = {{"XUnitName", &GraphState::XUnitName},
                                                     {"YUnitName", &GraphState::YUnitName}};

const char* const ButtonNames[] = {"draw", "erase", "update"};   // DrawButtonState's order
const char* const FamilyNames[] = {"AddMoji", "Xmoji", "Ymoji"}; // LabelKind's order

// JSON has no infinity and no NaN; they are written as texts.
QJsonValue Number(double value) {
    if (std::isfinite(value)) {
        return value;
    }
    return std::isnan(value) ? QStringLiteral("nan")
           : value > 0       ? QStringLiteral("inf")
                             : QStringLiteral("-inf");
}

// ---- writing ------------------------------------------------------------------------------------

// The values a computation took, as [{"name", "value"}].
QJsonArray ValuesJson(const ParameterValues& values) {
    QJsonArray list;
    for (const auto& [name, value] : values) {
        list.append(QJsonObject{{QStringLiteral("name"), QString::fromStdString(name)},
                                {QStringLiteral("value"), Number(value)}});
    }
    return list;
}

class Writer {
public:
    QJsonObject Settings(const GraphSettings& s) const {
        QJsonObject o;
        for (const auto& f : SettingsFloats) {
            o[QLatin1String(f.name)] = Number(s.*f.member);
        }
        for (const auto& f : SettingsShorts) {
            o[QLatin1String(f.name)] = s.*f.member;
        }
        for (const auto& f : SettingsFlags) {
            o[QLatin1String(f.name)] = s.*f.member;
        }
        for (const auto& f : SettingsColours) {
            o[QLatin1String(f.name)] = s.*f.member;
        }
        return o;
    }

    // The graph's values and the size of its row table; the rows themselves go with the slots and
    // the curves.
    QJsonObject Graph(const GraphState& g) const {
        QJsonObject o;
        for (const auto& f : GraphFloats) {
            o[QLatin1String(f.name)] = Number(g.*f.member);
        }
        for (const auto& f : GraphDoubles) {
            o[QLatin1String(f.name)] = Number(g.*f.member);
        }
        for (const auto& f : GraphTexts) {
            o[QLatin1String(f.name)] = g.*f.member;
        }
        o[QStringLiteral("columns")] = g.PlotValues.LastColumn() + 1;
        return o;
    }

    // Rows that are 0 everywhere are null; others are written once, however many curves share
    // them, and named by their place in the list.
    QJsonValue Rows(const std::shared_ptr<PlotTable::Rows>& rows) {
        if (!rows || std::all_of(rows->begin(), rows->end(),
                                 [](float v) { return v == 0 && !std::signbit(v); })) {
            return QJsonValue::Null;
        }
        const auto [at, added] = m_rowsIndex.try_emplace(rows.get(), m_rows.size());
        if (added) {
            QByteArray bytes(static_cast<qsizetype>(rows->size() * sizeof(float)),
                             Qt::Uninitialized);
            qToLittleEndian<float>(rows->data(), static_cast<qsizetype>(rows->size()),
                                   bytes.data());
            m_rows.append(QString::fromLatin1(bytes.toBase64()));
        }
        return static_cast<qint64>(at->second);
    }

    QJsonValue Picture(const QImage& picture) {
        if (picture.isNull()) {
            return QJsonValue::Null;
        }
        const auto [at, added] = m_pictureIndex.try_emplace(picture.cacheKey(), m_pictures.size());
        if (added) {
            m_pictures.push_back(picture);
        }
        return static_cast<qint64>(at->second);
    }

    QJsonObject Label(const TextLabel& label) const {
        const FontSpec& font = label.Font();
        // The dot on the point a label names, if it has one.
        QJsonValue mark = QJsonValue::Null;
        if (label.mark) {
            mark = QJsonObject{{QStringLiteral("x"), Number(label.mark->offset.x())},
                               {QStringLiteral("y"), Number(label.mark->offset.y())},
                               {QStringLiteral("colour"), label.mark->color}};
        }
        return {
            {QStringLiteral("text"), label.Text()},
            {QStringLiteral("colour"), label.color},
            {QStringLiteral("font"), QJsonObject{{QStringLiteral("name"), font.name},
                                                 {QStringLiteral("size"), Number(font.size)},
                                                 {QStringLiteral("bold"), font.bold},
                                                 {QStringLiteral("italic"), font.italic},
                                                 {QStringLiteral("strikeout"), font.strikeout},
                                                 {QStringLiteral("underline"), font.underline}}},
            {QStringLiteral("left"), Number(label.left)},
            {QStringLiteral("top"), Number(label.top)},
            {QStringLiteral("visible"), label.visible},
            {QStringLiteral("mark"), mark}};
    }

    QJsonObject Family(const LabelFamily& family) const {
        QJsonArray labels;
        for (int i = 1; i <= family.UpperBound(); ++i) {
            labels.append(family.Exists(i) ? QJsonValue(Label(family.At(i))) : QJsonValue::Null);
        }
        return {{QStringLiteral("generation"), family.Generation()},
                {QStringLiteral("template"), Label(family.Template())},
                {QStringLiteral("labels"), labels}};
    }

    QJsonObject Sample(const SampleReport& r) const {
        QJsonArray names;
        for (const std::string& name : r.emptyVariables) {
            names.append(QString::fromStdString(name));
        }
        QJsonObject o{{QStringLiteral("columns"), r.columns},
                      {QStringLiteral("withValue"), r.withValue},
                      {QStringLiteral("cancelled"), r.cancelled},
                      {QStringLiteral("stoppedAtColumn"), r.stoppedAtColumn},
                      {QStringLiteral("expression"), r.expression},
                      {QStringLiteral("emptyVariables"), names}};
        const ScriptError& e = r.firstError;
        if (e.code != script::ErrorCode::None) {
            QJsonObject error{
                {QStringLiteral("number"), static_cast<int>(e.code)},
                {QStringLiteral("description"), QString::fromStdString(e.description)},
                {QStringLiteral("name"), QString::fromStdString(e.name)},
                {QStringLiteral("unknownFunction"), QString::fromStdString(e.hint.unknownFunction)},
                {QStringLiteral("suggestion"), QString::fromStdString(e.hint.suggestion)},
                {QStringLiteral("suggestionIsOperator"), e.hint.suggestionIsOperator}};
            if (e.position) {
                error[QStringLiteral("position")] = static_cast<qint64>(*e.position);
            }
            o[QStringLiteral("firstError")] = error;
        }
        return o;
    }

    // Computation ids as small numbers in the order they come: equal ids stay equal, and a
    // document read back writes the same text.
    qint64 Id(std::uint64_t id) {
        if (id == 0) {
            return 0;
        }
        return m_ids.try_emplace(id, static_cast<qint64>(m_ids.size()) + 1).first->second;
    }

    QJsonArray TakeRows() { return std::move(m_rows); }
    std::vector<QImage> TakePictures() { return std::move(m_pictures); }

private:
    QJsonArray m_rows;
    std::unordered_map<const void*, std::size_t> m_rowsIndex;
    std::vector<QImage> m_pictures;
    std::unordered_map<qint64, std::size_t> m_pictureIndex;
    std::unordered_map<std::uint64_t, qint64> m_ids;
};

QJsonValue SettingsLine(const CurvaneDocument& d, const WorksheetWindow& window) {
    WriteProblem problem = WriteProblem::None;
    const std::optional<QByteArray> line =
        WriteSettingsLine(CaptureSettings(d, window.width, window.height), &problem);
    if (!line) {
        return QJsonValue::Null; // a text no settings file can hold
    }
    QStringDecoder decoder("windows-31j");
    QString text = decoder.decode(*line);
    text.chop(2); // CR LF
    return text;
}

// ---- reading ------------------------------------------------------------------------------------

// The name an error's description quotes after its number's own words ("Type mismatch: 'sqrt'"),
// for worksheets written before the name was kept beside the description.
std::string NameInDescription(const ScriptError& error) {
    const std::string opening = script::Describe(error.code) + std::string(": '");
    const std::string& text = error.description;
    if (text.size() <= opening.size() || text.compare(0, opening.size(), opening) != 0 ||
        text.back() != '\'') {
        return {};
    }
    return text.substr(opening.size(), text.size() - opening.size() - 1);
}

// Reads values out of the JSON tree; the first fault found is kept with the path to it.
class Reader {
public:
    bool Ok() const { return m_fault.isEmpty(); }
    const QString& Fault() const { return m_fault; }

    void Fail(const QString& what) {
        if (!m_fault.isEmpty()) {
            return;
        }
        for (const QString& part : m_path) {
            if (!m_fault.isEmpty() && !part.startsWith(QLatin1Char('['))) {
                m_fault += QLatin1Char('.');
            }
            m_fault += part;
        }
        m_fault += QStringLiteral(": ") + what;
    }

    // Enters a member (or an element, by its index) for the path of a fault.
    struct Scope {
        Scope(Reader& r, const QString& name) : reader(r) { reader.m_path << name; }
        ~Scope() { reader.m_path.removeLast(); }
        Reader& reader;
    };
    Scope In(const char* name) { return Scope(*this, QString::fromLatin1(name)); }
    Scope At(qsizetype index) { return Scope(*this, QStringLiteral("[%1]").arg(index)); }
    // Calls read with the object a member holds, with the member on the path of a fault.
    template <class F>
    void Inside(const QJsonObject& o, const char* key, F&& read) {
        const QJsonObject inner = Object(o, key);
        if (Ok()) {
            const Scope s = In(key);
            read(inner);
        }
    }

    QJsonValue Member(const QJsonObject& o, const char* key) {
        const QJsonValue value = o.value(QLatin1String(key));
        if (value.isUndefined()) {
            const Scope s = In(key);
            Fail(QStringLiteral("missing"));
        }
        return value;
    }
    // A member of one JSON type: what is missing or of another type is a fault.
    QJsonValue Typed(const QJsonObject& o, const char* key, QJsonValue::Type type,
                     const char* what) {
        const QJsonValue v = Member(o, key);
        if (v.type() != type) {
            Expect(key, v, what);
        }
        return v;
    }
    QJsonObject Object(const QJsonObject& o, const char* key) {
        return Typed(o, key, QJsonValue::Object, "an object").toObject();
    }
    QJsonArray Array(const QJsonObject& o, const char* key) {
        return Typed(o, key, QJsonValue::Array, "a list").toArray();
    }
    QString Text(const QJsonObject& o, const char* key) {
        return Typed(o, key, QJsonValue::String, "a text").toString();
    }
    bool Flag(const QJsonObject& o, const char* key) {
        return Typed(o, key, QJsonValue::Bool, "true or false").toBool();
    }
    double Real(const QJsonObject& o, const char* key) { return RealOf(key, Member(o, key)); }
    double RealOf(const char* key, const QJsonValue& v) {
        if (v.isDouble()) {
            return v.toDouble();
        }
        const QString text = v.toString();
        if (text == QStringLiteral("inf") || text == QStringLiteral("-inf")) {
            return text.startsWith(QLatin1Char('-')) ? -std::numeric_limits<double>::infinity()
                                                     : std::numeric_limits<double>::infinity();
        }
        if (text == QStringLiteral("nan")) {
            return std::numeric_limits<double>::quiet_NaN();
        }
        Expect(key, v, "a number");
        return 0;
    }
    // A single-precision field holds exactly what it was written from.
    float Single(const QJsonObject& o, const char* key) {
        const double value = Real(o, key);
        const auto single = static_cast<float>(value);
        if (std::isfinite(value) && static_cast<double>(single) != value) {
            const Scope s = In(key);
            Fail(QStringLiteral("%1 is no single-precision number").arg(value));
        }
        return single;
    }
    qint64 Whole(const QJsonObject& o, const char* key, qint64 lowest, qint64 highest) {
        const QJsonValue v = Member(o, key);
        const double value = v.toDouble(std::numeric_limits<double>::quiet_NaN());
        if (!v.isDouble() || value != std::floor(value) || value < static_cast<double>(lowest) ||
            value > static_cast<double>(highest)) {
            Expect(key, v,
                   qPrintable(
                       QStringLiteral("a whole number from %1 to %2").arg(lowest).arg(highest)));
            return lowest < 0 && highest > 0 ? 0 : lowest;
        }
        return static_cast<qint64>(value);
    }

private:
    void Expect(const char* key, const QJsonValue& v, const char* what) {
        if (v.isUndefined()) {
            return; // reported as missing
        }
        const Scope s = In(key);
        Fail(QStringLiteral("expected %1").arg(QString::fromLatin1(what)));
    }

    QStringList m_path;
    QString m_fault;
};

// The rows and pictures a worksheet lists once, for the slots and curves that name them.
struct Shared {
    std::vector<std::shared_ptr<PlotTable::Rows>> rows;
    std::vector<QImage> pictures;
    // Ids of this run for the computation ids of the file: equal in the file, equal here.
    std::map<qint64, std::uint64_t> ids;

    // A table of the given columns, 0 everywhere: one for all the tables of that size, whose
    // rows the copies share until they write.
    const PlotTable& Zero(int columns) {
        auto [at, added] = zeros.try_emplace(columns);
        if (added) {
            at->second.Redim(columns - 1);
        }
        return at->second;
    }
    std::map<int, PlotTable> zeros;

    std::uint64_t Id(qint64 fileId) {
        if (fileId == 0) {
            return 0;
        }
        auto [at, added] = ids.try_emplace(fileId, 0);
        if (added) {
            at->second = NewSheetId();
        }
        return at->second;
    }
};

class DocumentReader {
public:
    DocumentReader(Reader& r, Shared& shared) : m_r(r), m_shared(shared) {}

    GraphSettings Settings(const QJsonObject& o) {
        GraphSettings s;
        for (const auto& f : SettingsFloats) {
            s.*f.member = m_r.Single(o, f.name);
        }
        for (const auto& f : SettingsShorts) {
            s.*f.member = static_cast<std::int16_t>(m_r.Whole(o, f.name, -32768, 32767));
        }
        for (const auto& f : SettingsFlags) {
            s.*f.member = m_r.Flag(o, f.name);
        }
        for (const auto& f : SettingsColours) {
            s.*f.member = static_cast<ColorRef>(m_r.Whole(o, f.name, INT32_MIN, INT32_MAX));
        }
        return s;
    }

    // The graph's values; its table is made the size the file says, 0 everywhere.
    GraphState Graph(const QJsonObject& o) {
        GraphState g;
        for (const auto& f : GraphFloats) {
            g.*f.member = m_r.Single(o, f.name);
        }
        for (const auto& f : GraphDoubles) {
            g.*f.member = m_r.Real(o, f.name);
        }
        for (const auto& f : GraphTexts) {
            g.*f.member = m_r.Text(o, f.name);
        }
        // A sheet at most 32767 twips wide has fewer than 2200 columns.
        const qint64 columns = m_r.Whole(o, "columns", 0, 4096);
        if (columns > 0) {
            g.PlotValues = m_shared.Zero(static_cast<int>(columns));
        }
        if (m_r.Ok() && CheckSheetSize(g.GraphWidthPx, g.GraphHeightPx) != SizeRefusal::None) {
            const Reader::Scope s = m_r.In("GraphWidthPx");
            m_r.Fail(QStringLiteral("a sheet of %1 × %2 pixels cannot be shown")
                         .arg(g.GraphWidthPx)
                         .arg(g.GraphHeightPx));
        }
        return g;
    }

    // Puts a slot's rows, named by their place in the list (null: 0 everywhere), into a table.
    void Rows(const QJsonObject& o, const char* key, PlotTable& table, int slot) {
        const QJsonValue v = m_r.Member(o, key);
        if (v.isNull() || v.isUndefined()) {
            return;
        }
        const Reader::Scope s = m_r.In(key);
        const double index = v.toDouble(-1);
        if (!v.isDouble() || index != std::floor(index) || index < 0 ||
            index >= static_cast<double>(m_shared.rows.size())) {
            m_r.Fail(QStringLiteral("names no rows of the list"));
            return;
        }
        if (!table.SetSharedRows(slot, m_shared.rows[static_cast<std::size_t>(index)])) {
            m_r.Fail(QStringLiteral("rows of another length than the table's %1 columns")
                         .arg(table.LastColumn() + 1));
        }
    }

    FunctionSlot Slot(const QJsonObject& o, PlotTable& table, int slot) {
        FunctionSlot f;
        f.Expression = m_r.Text(o, "expression");
        f.Color = static_cast<ColorRef>(m_r.Whole(o, "colour", INT32_MIN, INT32_MAX));
        f.StyleCode = m_r.Text(o, "styleCode");
        const QString button = m_r.Text(o, "button");
        int state = 0;
        while (state < 3 && button != QLatin1String(ButtonNames[state])) {
            ++state;
        }
        if (state == 3 && m_r.Ok()) {
            const Reader::Scope s = m_r.In("button");
            m_r.Fail(QStringLiteral("expected draw, erase or update"));
        }
        f.Button = static_cast<DrawButtonState>(state % 3);
        f.RowShown = m_r.Flag(o, "rowShown");
        f.Drawn = m_r.Flag(o, "drawn");
        f.Hidden = m_r.Flag(o, "hidden");
        f.SampledExpression = m_r.Text(o, "sampledExpression");
        f.SampledParameters = Values(o, "sampledParameters");
        f.RowsId = m_shared.Id(m_r.Whole(o, "rowsId", 0, qint64(1) << 53));
        f.SampleCount = static_cast<int>(m_r.Whole(o, "sampleCount", 0, INT32_MAX));
        m_r.Inside(o, "lastSample",
                   [&](const QJsonObject& sample) { f.LastSample = Sample(sample); });
        Rows(o, "rows", table, slot);
        return f;
    }

    SampleReport Sample(const QJsonObject& o) {
        SampleReport r;
        r.columns = static_cast<int>(m_r.Whole(o, "columns", 0, INT32_MAX));
        r.withValue = static_cast<int>(m_r.Whole(o, "withValue", 0, INT32_MAX));
        r.cancelled = m_r.Flag(o, "cancelled");
        r.stoppedAtColumn = static_cast<int>(m_r.Whole(o, "stoppedAtColumn", -1, INT32_MAX));
        r.expression = m_r.Text(o, "expression");
        for (const QJsonValue& name : m_r.Array(o, "emptyVariables")) {
            r.emptyVariables.push_back(name.toString().toStdString());
        }
        const QJsonValue error = o.value(QStringLiteral("firstError"));
        if (error.isObject()) {
            const Reader::Scope s = m_r.In("firstError");
            const QJsonObject e = error.toObject();
            ScriptError& first = r.firstError;
            first.code = static_cast<script::ErrorCode>(m_r.Whole(e, "number", 1, 65535));
            first.description = m_r.Text(e, "description").toStdString();
            if (e.contains(QStringLiteral("name"))) {
                first.name = m_r.Text(e, "name").toStdString();
            } else {
                first.name = NameInDescription(first);
            }
            first.hint.unknownFunction = m_r.Text(e, "unknownFunction").toStdString();
            first.hint.suggestion = m_r.Text(e, "suggestion").toStdString();
            first.hint.suggestionIsOperator = m_r.Flag(e, "suggestionIsOperator");
            if (e.contains(QStringLiteral("position"))) {
                first.position = static_cast<std::size_t>(m_r.Whole(e, "position", 0, INT32_MAX));
            }
        }
        return r;
    }

    TextLabel Label(const QJsonObject& o, LabelFamily& family, int index) {
        FontSpec font;
        m_r.Inside(o, "font", [&](const QJsonObject& f) {
            font.name = m_r.Text(f, "name");
            font.size = m_r.Real(f, "size");
            font.bold = m_r.Flag(f, "bold");
            font.italic = m_r.Flag(f, "italic");
            font.strikeout = m_r.Flag(f, "strikeout");
            font.underline = m_r.Flag(f, "underline");
            if (!(font.size > 0 && font.size <= 1638)) {
                const Reader::Scope size = m_r.In("size");
                m_r.Fail(QStringLiteral("a font of %1 points").arg(font.size));
                font.size = 9;
            }
        });
        if (index > 0) {
            family.Create(index);
        }
        family.SetFont(index, font);
        family.SetText(index, m_r.Text(o, "text"));
        TextLabel& label = family.At(index);
        label.color = static_cast<ColorRef>(m_r.Whole(o, "colour", INT32_MIN, INT32_MAX));
        label.left = m_r.Real(o, "left");
        label.top = m_r.Real(o, "top");
        label.visible = m_r.Flag(o, "visible");
        const QJsonValue mark = m_r.Member(o, "mark");
        if (mark.isObject()) {
            m_r.Inside(o, "mark", [&](const QJsonObject& m) {
                label.mark = TextLabel::Mark{
                    QPointF(m_r.Real(m, "x"), m_r.Real(m, "y")),
                    static_cast<ColorRef>(m_r.Whole(m, "colour", INT32_MIN, INT32_MAX))};
            });
        } else if (!mark.isNull() && !mark.isUndefined()) {
            const Reader::Scope s = m_r.In("mark");
            m_r.Fail(QStringLiteral("expected a dot or null"));
        }
        return label;
    }

    LabelFamily Family(const QJsonObject& o) {
        LabelFamily family;
        m_r.Inside(o, "template", [&](const QJsonObject& model) {
            family.SetTemplateColor(Label(model, family, 0).color);
        });
        const QJsonArray labels = m_r.Array(o, "labels");
        if (labels.size() > 32767) {
            const Reader::Scope s = m_r.In("labels");
            m_r.Fail(QStringLiteral("more than 32767 labels"));
            return family;
        }
        for (qsizetype i = 0; i < labels.size() && m_r.Ok(); ++i) {
            if (labels[i].isNull()) {
                continue; // removed from the middle
            }
            const Reader::Scope s = m_r.In("labels");
            const Reader::Scope at = m_r.At(i);
            if (!labels[i].isObject()) {
                m_r.Fail(QStringLiteral("expected a label or null"));
                break;
            }
            Label(labels[i].toObject(), family, static_cast<int>(i + 1));
        }
        family.SetGeneration(static_cast<int>(m_r.Whole(o, "generation", 0, INT32_MAX)));
        return family;
    }

    // Values a computation took; a worksheet from before parameters has none.
    ParameterValues Values(const QJsonObject& o, const char* key) {
        ParameterValues values;
        if (!o.contains(QLatin1String(key))) {
            return values;
        }
        const QJsonArray list = m_r.Array(o, key);
        const Reader::Scope s = m_r.In(key);
        for (qsizetype i = 0; i < list.size() && m_r.Ok(); ++i) {
            const Reader::Scope at = m_r.At(i);
            const QJsonObject v = list[i].toObject();
            values.emplace_back(m_r.Text(v, "name").toStdString(), m_r.Real(v, "value"));
        }
        return values;
    }

    DrawnCurve Curve(const QJsonObject& o) {
        DrawnCurve c;
        c.slot = static_cast<int>(m_r.Whole(o, "slot", 1, SlotCount));
        c.rowsId = m_shared.Id(m_r.Whole(o, "rowsId", 0, qint64(1) << 53));
        c.expression = m_r.Text(o, "expression");
        c.parameters = Values(o, "parameters");
        c.colour = static_cast<ColorRef>(m_r.Whole(o, "colour", INT32_MIN, INT32_MAX));
        c.styleCode = m_r.Text(o, "styleCode");
        c.startPhase = static_cast<std::int16_t>(m_r.Whole(o, "startPhase", -32768, 32767));
        m_r.Inside(o, "settings", [&](const QJsonObject& s) { c.settings = Settings(s); });
        m_r.Inside(o, "graph", [&](const QJsonObject& g) { c.graph = Graph(g); });
        // A curve keeps only its own slot's rows.
        c.graph.PlotValues = c.graph.PlotValues.OnlySlot(c.slot);
        if (m_r.Ok()) {
            Rows(o, "rows", c.graph.PlotValues, c.slot);
        }
        return c;
    }

    SheetRecord Record(const QJsonObject& o) {
        SheetRecord record;
        const auto width = static_cast<int>(m_r.Whole(o, "width", 1, 32767));
        const auto height = static_cast<int>(m_r.Whole(o, "height", 1, 32767));
        record.size = QSize(width, height);
        if (m_r.Ok() && CheckSheetSize(width, height) != SizeRefusal::None) {
            const Reader::Scope s = m_r.In("width");
            m_r.Fail(
                QStringLiteral("a sheet of %1 × %2 pixels cannot be shown").arg(width).arg(height));
        }
        const QJsonValue background = m_r.Member(o, "background");
        if (!background.isNull() && !background.isUndefined()) {
            const double index = background.toDouble(-1);
            if (!background.isDouble() || index != std::floor(index) || index < 0 ||
                index >= static_cast<double>(m_shared.pictures.size())) {
                const Reader::Scope s = m_r.In("background");
                m_r.Fail(QStringLiteral("names no picture of the list"));
            } else {
                record.background = m_shared.pictures[static_cast<std::size_t>(index)];
            }
        }
        m_r.Inside(o, "grid", [&](const QJsonObject& g) { record.grid = Settings(g); });
        const QJsonArray curves = m_r.Array(o, "curves");
        for (qsizetype i = 0; i < curves.size() && m_r.Ok(); ++i) {
            const Reader::Scope s = m_r.In("curves");
            const Reader::Scope at = m_r.At(i);
            record.curves.push_back(Curve(curves[i].toObject()));
        }
        // Tangent lines and shaded areas; a worksheet from before them has none.
        const auto list = [&](const char* key, auto read) {
            if (!o.contains(QLatin1String(key))) {
                return;
            }
            const QJsonArray items = m_r.Array(o, key);
            for (qsizetype i = 0; i < items.size() && m_r.Ok(); ++i) {
                const Reader::Scope s = m_r.In(key);
                const Reader::Scope at = m_r.At(i);
                read(items[i].toObject());
            }
        };
        const auto point = [&](const QJsonObject& p, const char* x, const char* y) {
            return QPointF(m_r.Real(p, x), m_r.Real(p, y));
        };
        list("tangents", [&](const QJsonObject& t) {
            record.tangents.push_back(
                {static_cast<int>(m_r.Whole(t, "slot", 1, SlotCount)), m_r.Text(t, "expression"),
                 m_r.Real(t, "x"), m_r.Real(t, "y"), m_r.Real(t, "slope"),
                 static_cast<ColorRef>(m_r.Whole(t, "colour", INT32_MIN, INT32_MAX)),
                 QLineF(point(t, "x1", "y1"), point(t, "x2", "y2")), point(t, "px", "py")});
        });
        list("areas", [&](const QJsonObject& a) {
            ShadedArea area{static_cast<int>(m_r.Whole(a, "slot", 1, SlotCount)),
                            static_cast<int>(m_r.Whole(a, "otherSlot", 0, SlotCount)),
                            m_r.Text(a, "expression"),
                            m_r.Text(a, "otherExpression"),
                            m_r.Real(a, "from"),
                            m_r.Real(a, "to"),
                            m_r.Real(a, "value"),
                            m_r.Real(a, "error"),
                            static_cast<ColorRef>(m_r.Whole(a, "colour", INT32_MIN, INT32_MAX)),
                            {}};
            const QJsonArray outline = m_r.Array(a, "outline");
            for (qsizetype i = 0; i + 1 < outline.size(); i += 2) {
                area.outline.append(QPointF(m_r.RealOf("outline", outline[i]),
                                            m_r.RealOf("outline", outline[i + 1])));
            }
            record.areas.push_back(std::move(area));
        });
        record.id = NewSheetId();
        return record;
    }

private:
    Reader& m_r;
    Shared& m_shared;
};

// The pictures a worksheet lists: PNG in base64, each the size it says it is.
void ReadPictures(Reader& r, const QJsonArray& pictures, Shared& shared) {
    for (qsizetype i = 0; i < pictures.size() && r.Ok(); ++i) {
        const Reader::Scope s = r.In("pictures");
        const Reader::Scope at = r.At(i);
        const QJsonObject o = pictures[i].toObject();
        const auto width = static_cast<int>(r.Whole(o, "width", 1, 32767));
        const auto height = static_cast<int>(r.Whole(o, "height", 1, 32767));
        const QByteArray::FromBase64Result png = QByteArray::fromBase64Encoding(
            r.Text(o, "png").toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!r.Ok()) {
            return;
        }
        if (!png) {
            r.Fail(QStringLiteral("the picture is no base64 text"));
            return;
        }
        QBuffer buffer;
        buffer.setData(png.decoded);
        QImageReader reader(&buffer, "png");
        // The size the PNG itself gives decides whether it is decoded at all.
        const QSize size = reader.size();
        if (!size.isValid()) {
            r.Fail(QStringLiteral("the picture is no PNG"));
            return;
        }
        if (size != QSize(width, height)) {
            r.Fail(QStringLiteral("the picture is %1 × %2 pixels, not %3 × %4 as it says")
                       .arg(size.width())
                       .arg(size.height())
                       .arg(width)
                       .arg(height));
            return;
        }
        QImage picture = reader.read();
        if (picture.isNull() || picture.size() != size) {
            r.Fail(QStringLiteral("the picture cannot be read: %1").arg(reader.errorString()));
            return;
        }
        picture = picture.convertToFormat(QImage::Format_RGB32);
        picture.setDevicePixelRatio(1.0);
        shared.pictures.push_back(std::move(picture));
    }
}

void ReadRows(Reader& r, const QJsonArray& rows, Shared& shared) {
    for (qsizetype i = 0; i < rows.size() && r.Ok(); ++i) {
        const QByteArray::FromBase64Result bytes = QByteArray::fromBase64Encoding(
            rows[i].toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!rows[i].isString() || !bytes || bytes.decoded.size() % sizeof(float) != 0) {
            const Reader::Scope s = r.In("rows");
            const Reader::Scope at = r.At(i);
            r.Fail(QStringLiteral("expected base64 text of 4-byte numbers"));
            return;
        }
        auto values = std::make_shared<PlotTable::Rows>(
            static_cast<std::size_t>(bytes.decoded.size()) / sizeof(float));
        qFromLittleEndian<float>(bytes.decoded.constData(), static_cast<qsizetype>(values->size()),
                                 values->data());
        shared.rows.push_back(std::move(values));
    }
}

FileProblem NotAWorksheet() {
    // "Curvane のワークシートではありません" = not a Curvane worksheet
    return {QStringLiteral("Curvane のワークシートではありません"),
            QStringLiteral("not a Curvane worksheet")};
}

FileProblem Damaged(const QString& fault) {
    // "ワークシートが壊れています" = the worksheet is damaged
    return {QStringLiteral("ワークシートが壊れています（%1）").arg(fault),
            QStringLiteral("damaged worksheet: %1").arg(fault)};
}

} // namespace

WorksheetDraft DraftWorksheet(const CurvaneDocument& d, const WorksheetWindow& window) {
    Writer w;
    QJsonArray functionRows;
    for (int n = 1; n <= SlotCount; ++n) {
        const FunctionSlot& f = SlotOf(d.Slots, n);
        functionRows.append(QJsonObject{
            {QStringLiteral("expression"), f.Expression},
            {QStringLiteral("colour"), f.Color},
            {QStringLiteral("styleCode"), f.StyleCode},
            {QStringLiteral("button"), QLatin1String(ButtonNames[static_cast<int>(f.Button)])},
            {QStringLiteral("rowShown"), f.RowShown},
            {QStringLiteral("drawn"), f.Drawn},
            {QStringLiteral("hidden"), f.Hidden},
            {QStringLiteral("sampledExpression"), f.SampledExpression},
            {QStringLiteral("sampledParameters"), ValuesJson(f.SampledParameters)},
            {QStringLiteral("rowsId"), w.Id(f.RowsId)},
            {QStringLiteral("sampleCount"), f.SampleCount},
            {QStringLiteral("lastSample"), w.Sample(f.LastSample)},
            {QStringLiteral("rows"), w.Rows(d.Graph.PlotValues.SharedRows(n))}});
    }
    QJsonArray curves;
    for (const DrawnCurve& c : d.Record.curves) {
        curves.append(
            QJsonObject{{QStringLiteral("slot"), c.slot},
                        {QStringLiteral("rowsId"), w.Id(c.rowsId)},
                        {QStringLiteral("expression"), c.expression},
                        {QStringLiteral("parameters"), ValuesJson(c.parameters)},
                        {QStringLiteral("colour"), c.colour},
                        {QStringLiteral("styleCode"), c.styleCode},
                        {QStringLiteral("startPhase"), c.startPhase},
                        {QStringLiteral("settings"), w.Settings(c.settings)},
                        {QStringLiteral("graph"), w.Graph(c.graph)},
                        {QStringLiteral("rows"), w.Rows(c.graph.PlotValues.SharedRows(c.slot))}});
    }
    QJsonArray tangents;
    for (const TangentLine& t : d.Record.tangents) {
        tangents.append(QJsonObject{{QStringLiteral("slot"), t.slot},
                                    {QStringLiteral("expression"), t.expression},
                                    {QStringLiteral("x"), Number(t.x)},
                                    {QStringLiteral("y"), Number(t.y)},
                                    {QStringLiteral("slope"), Number(t.slope)},
                                    {QStringLiteral("colour"), t.colour},
                                    {QStringLiteral("x1"), Number(t.line.x1())},
                                    {QStringLiteral("y1"), Number(t.line.y1())},
                                    {QStringLiteral("x2"), Number(t.line.x2())},
                                    {QStringLiteral("y2"), Number(t.line.y2())},
                                    {QStringLiteral("px"), Number(t.point.x())},
                                    {QStringLiteral("py"), Number(t.point.y())}});
    }
    QJsonArray areas;
    for (const ShadedArea& a : d.Record.areas) {
        QJsonArray outline;
        for (const QPointF& p : a.outline) {
            outline.append(Number(p.x()));
            outline.append(Number(p.y()));
        }
        areas.append(QJsonObject{{QStringLiteral("slot"), a.slot},
                                 {QStringLiteral("otherSlot"), a.otherSlot},
                                 {QStringLiteral("expression"), a.expression},
                                 {QStringLiteral("otherExpression"), a.otherExpression},
                                 {QStringLiteral("from"), Number(a.from)},
                                 {QStringLiteral("to"), Number(a.to)},
                                 {QStringLiteral("value"), Number(a.value)},
                                 {QStringLiteral("error"), Number(a.error)},
                                 {QStringLiteral("colour"), a.colour},
                                 {QStringLiteral("outline"), outline}});
    }
    QJsonObject panel;
    for (const Axis axis : {Axis::X, Axis::Y}) {
        const AxisTexts& t = d.PanelTexts.Of(axis);
        panel[axis == Axis::X ? QStringLiteral("X") : QStringLiteral("Y")] =
            QJsonObject{{QStringLiteral("unit"), t.unit},
                        {QStringLiteral("originValue"), t.originValue},
                        {QStringLiteral("smallValue"), t.smallValue}};
    }
    QJsonArray erased;
    for (const LabelRef& ref : d.ErasedLabels) {
        erased.append(QJsonObject{
            {QStringLiteral("family"), QLatin1String(FamilyNames[static_cast<int>(ref.kind)])},
            {QStringLiteral("index"), ref.index},
            {QStringLiteral("generation"), ref.generation}});
    }
    QJsonArray parameters;
    for (const Parameter& p : d.Params) {
        parameters.append(QJsonObject{{QStringLiteral("name"), p.name},
                                      {QStringLiteral("value"), Number(p.value)},
                                      {QStringLiteral("minimum"), Number(p.minimum)},
                                      {QStringLiteral("maximum"), Number(p.maximum)},
                                      {QStringLiteral("step"), Number(p.step)},
                                      {QStringLiteral("used"), p.used}});
    }
    QJsonObject root{
        {QStringLiteral("format"), FormatName},
        {QStringLiteral("version"), WorksheetVersion},
        {QStringLiteral("settingsLine"), SettingsLine(d, window)},
        {QStringLiteral("settingsFile"), d.SettingsFileName},
        {QStringLiteral("settings"), w.Settings(d.Settings)},
        {QStringLiteral("graph"), w.Graph(d.Graph)},
        {QStringLiteral("panel"), panel},
        {QStringLiteral("slots"), functionRows},
        {QStringLiteral("record"),
         QJsonObject{{QStringLiteral("width"), d.Record.size.width()},
                     {QStringLiteral("height"), d.Record.size.height()},
                     {QStringLiteral("background"), w.Picture(d.Record.background)},
                     {QStringLiteral("grid"), w.Settings(d.Record.grid)},
                     {QStringLiteral("curves"), curves},
                     {QStringLiteral("tangents"), tangents},
                     {QStringLiteral("areas"), areas}}},
        {QStringLiteral("labels"), QJsonObject{{QStringLiteral("Xmoji"), w.Family(d.Xmoji)},
                                               {QStringLiteral("Ymoji"), w.Family(d.Ymoji)},
                                               {QStringLiteral("AddMoji"), w.Family(d.AddMoji)}}},
        {QStringLiteral("erasedLabels"), erased},
        {QStringLiteral("patternPhase"), d.PatternPhase},
        {QStringLiteral("parameters"), parameters},
    };
    root[QStringLiteral("rows")] = w.TakeRows();
    return {root, w.TakePictures()};
}

QByteArray FinishWorksheet(const WorksheetDraft& draft) {
    QJsonObject root = draft.root;
    QJsonArray pictures;
    for (const QImage& picture : draft.pictures) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        writer.write(picture);
        pictures.append(
            QJsonObject{{QStringLiteral("width"), picture.width()},
                        {QStringLiteral("height"), picture.height()},
                        {QStringLiteral("png"), QString::fromLatin1(buffer.data().toBase64())}});
    }
    root[QStringLiteral("pictures")] = pictures;
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QByteArray WorksheetBytes(const CurvaneDocument& document, const WorksheetWindow& window) {
    return FinishWorksheet(DraftWorksheet(document, window));
}

std::optional<CurvaneDocument> ReadWorksheet(const QByteArray& bytes, FileProblem* problem) {
    const auto refuse = [&](const FileProblem& why) {
        if (problem != nullptr) {
            *problem = why;
        }
        return std::nullopt;
    };
    QJsonParseError parse{};
    const QJsonDocument json = QJsonDocument::fromJson(bytes, &parse);
    if (json.isNull()) {
        // What begins like a worksheet and then breaks is a damaged one; anything else is not one.
        if (bytes.trimmed().startsWith('{') && bytes.contains("\"Curvane worksheet\"")) {
            return refuse(Damaged(
                QStringLiteral("%1 at byte %2").arg(parse.errorString()).arg(parse.offset)));
        }
        return refuse(NotAWorksheet());
    }
    const QJsonObject root = json.object();
    if (root.value(QStringLiteral("format")).toString() != FormatName) {
        return refuse(NotAWorksheet());
    }
    const QJsonValue version = root.value(QStringLiteral("version"));
    const double number = version.toDouble(0);
    if (!version.isDouble() || number < 1 || number != std::floor(number)) {
        return refuse(Damaged(QStringLiteral("version: expected a whole number from 1")));
    }
    if (number > WorksheetVersion) {
        // "新しい版の Curvane で保存されたワークシートです（形式 2）。この版で読めるのは形式 1
        // までです" = a worksheet saved by a newer Curvane (version 2); this one reads up to 1
        const QString v = QString::number(number, 'f', 0);
        return refuse({QStringLiteral("新しい版の Curvane で保存されたワークシートです（形式 %1）。"
                                      "この版で読めるのは形式 %2 までです")
                           .arg(v)
                           .arg(WorksheetVersion),
                       QStringLiteral("worksheet version %1 is newer than this Curvane reads (%2)")
                           .arg(v)
                           .arg(WorksheetVersion)});
    }

    Reader r;
    Shared shared;
    ReadRows(r, r.Array(root, "rows"), shared);
    ReadPictures(r, r.Array(root, "pictures"), shared);
    DocumentReader read(r, shared);
    CurvaneDocument d;
    r.Inside(root, "settings", [&](const QJsonObject& o) { d.Settings = read.Settings(o); });
    r.Inside(root, "graph", [&](const QJsonObject& o) { d.Graph = read.Graph(o); });
    const QJsonArray functionRows = r.Array(root, "slots");
    if (r.Ok() && functionRows.size() != SlotCount) {
        const Reader::Scope s = r.In("slots");
        r.Fail(QStringLiteral("expected %1 function rows").arg(SlotCount));
    }
    for (int n = 1; n <= SlotCount && r.Ok(); ++n) {
        const Reader::Scope s = r.In("slots");
        const Reader::Scope at = r.At(n - 1);
        SlotOf(d.Slots, n) = read.Slot(functionRows[n - 1].toObject(), d.Graph.PlotValues, n);
    }
    r.Inside(root, "panel", [&](const QJsonObject& panel) {
        for (const Axis axis : {Axis::X, Axis::Y}) {
            r.Inside(panel, axis == Axis::X ? "X" : "Y", [&](const QJsonObject& o) {
                d.PanelTexts.Of(axis) = {r.Text(o, "unit"), r.Text(o, "originValue"),
                                         r.Text(o, "smallValue")};
            });
        }
    });
    r.Inside(root, "record", [&](const QJsonObject& o) { d.Record = read.Record(o); });
    r.Inside(root, "labels", [&](const QJsonObject& labels) {
        for (auto [name, family] : {std::pair{"Xmoji", &d.Xmoji}, std::pair{"Ymoji", &d.Ymoji},
                                    std::pair{"AddMoji", &d.AddMoji}}) {
            r.Inside(labels, name, [&](const QJsonObject& o) { *family = read.Family(o); });
        }
    });
    const QJsonArray erased = r.Array(root, "erasedLabels");
    for (qsizetype i = 0; i < erased.size() && r.Ok(); ++i) {
        const Reader::Scope s = r.In("erasedLabels");
        const Reader::Scope at = r.At(i);
        const QJsonObject o = erased[i].toObject();
        const QString family = r.Text(o, "family");
        int kind = 0;
        while (kind < 3 && family != QLatin1String(FamilyNames[kind])) {
            ++kind;
        }
        if (kind == 3 && r.Ok()) {
            r.Fail(QStringLiteral("expected AddMoji, Xmoji or Ymoji"));
        }
        d.ErasedLabels.push_back({static_cast<LabelKind>(kind % 3),
                                  static_cast<int>(r.Whole(o, "index", 1, 32767)),
                                  static_cast<int>(r.Whole(o, "generation", 0, INT32_MAX))});
    }
    d.PatternPhase = static_cast<std::int16_t>(r.Whole(root, "patternPhase", -32768, 32767));
    const QJsonArray parameters = r.Array(root, "parameters");
    for (qsizetype i = 0; i < parameters.size() && r.Ok(); ++i) {
        const Reader::Scope s = r.In("parameters");
        const Reader::Scope at = r.At(i);
        const QJsonObject o = parameters[i].toObject();
        Parameter p{r.Text(o, "name"),    r.Real(o, "value"), r.Real(o, "minimum"),
                    r.Real(o, "maximum"), r.Real(o, "step"),  r.Flag(o, "used")};
        // A range that a window could not have made is damage, as is a name twice.
        if (r.Ok() && (!std::isfinite(p.value) || !(p.minimum <= p.value) ||
                       !(p.value <= p.maximum) || !(p.step > 0) || !std::isfinite(p.step) ||
                       p.name.isEmpty() || FindParameter(d.Params, p.name) != nullptr)) {
            r.Fail(QStringLiteral("expected a name once, min <= value <= max and a step above 0"));
        }
        d.Params.push_back(std::move(p));
    }
    const QJsonValue settingsFile = root.value(QStringLiteral("settingsFile"));
    if (r.Ok() && !settingsFile.isString()) {
        const Reader::Scope s = r.In("settingsFile");
        r.Fail(QStringLiteral("expected a text"));
    }
    d.SettingsFileName = settingsFile.toString();
    if (!r.Ok()) {
        return refuse(Damaged(r.Fault()));
    }
    return d;
}

std::optional<CurvaneDocument> ReadWorksheetFile(const QString& path, FileProblem* problem) {
    QByteArray bytes;
    if (const FileProblem failure = ReadFileWhole(path, LargestWorksheet, bytes);
        failure.Failed()) {
        if (problem != nullptr) {
            *problem = failure;
        }
        return std::nullopt;
    }
    return ReadWorksheet(bytes, problem);
}

bool IsWorksheetName(const QString& path) {
    return QFileInfo(path).suffix().compare(QStringLiteral("cvw"), Qt::CaseInsensitive) == 0;
}
