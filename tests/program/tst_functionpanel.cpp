#include "platform/progress.h"
#include "plot/evaluate.h"
#include "plot/linestyle.h"
#include "program/curvanestate.h"
#include "program/functionpanel.h"
#include "program/notation.h"
#include "program/redraw.h"
#include "script/builtins.h"
#include "script/compiler.h"
#include "script/constants.h"
#include "tests/support/pixels.h"

#include <QtCore/QFile>
#include <QtCore/QRegularExpression>
#include <QtCore/QSet>
#include <QtTest/QtTest>
#include <algorithm>

namespace {

constexpr ColorRef Red = Rgb(250, 0, 0);
constexpr ColorRef Green = Rgb(0, 160, 0);
constexpr ColorRef Blue = Rgb(0, 0, 250);

// The default 400 × 300 sheet with its three rows.
struct Rows {
    CurvaneState state;
    AxisPanelTexts panel;
    Rows() { StartGraph(state, 400, 300); }
    FunctionSlot& Slot(int n) { return SlotOf(state.Slots, n); }
    DrawOutcome Click(int n) { return DrawButtonClicked(state, state.scriptEvalFn, n, &panel); }
    void Type(int n, const char* text, ColorRef colour = Rgb(0, 0, 0)) {
        ExpressionChanged(state, n, QString::fromUtf8(text));
        Slot(n).Color = colour;
    }
    int Count(ColorRef colour) const { return CountPixels(state.Sheet.Image(), colour); }
    ColorRef At(int x, int y) const { return FromQColor(state.Sheet.Image().pixelColor(x, y)); }
};

// Progress that asks to stop after a number of columns.
class StopAfter : public Progress {
public:
    explicit StopAfter(int columns) : m_columns(columns) {}
    bool Advance(std::int64_t done, std::int64_t) override { return done < m_columns; }

private:
    int m_columns;
};

} // namespace

class FunctionPanelTest : public QObject {
    Q_OBJECT
private slots:
    void drawEraseDrawEvaluatesOnce();
    void evaluationTakesOverThePanelTexts();
    void editedExpressionLeavesTheOldCurveUntilAFullRedraw();
    void colourChangeOffersUpdateWhichPutsTheSlotOnTop();
    void erasedSlotTakesItsNewColourAtTheNextDraw();
    void erasingOneSlotKeepsTheOthers();
    void removingARowKeepsColourAndStyle();
    void unbalancedBracketsDrawNothing();
    void emptyExpressionOnlyAsksForFocus();
    void keyFilter_data();
    void keyFilter();
    void helpPromisesOnlyWhatTheBoxesTake();
    void helpOnExpressionsNamesWhatTheEngineKnows();
    void lineStyleGoesToTheLastFocusedSlot();
    void summaryTellsHowTheComputationWent();
    void cancelledDrawShowsThePartDoneAndComputesAgainNextTime();
    void resetPutsEveryRowBack();
    void emptyVariablesNote_data();
    void emptyVariablesNote();
    void drawTellsWhichNamesHadNoValue();
    void noValueAnywhereAsksForAMessage_data();
    void noValueAnywhereAsksForAMessage();
    void cancelledDrawAsksForNoMessage();
    void errorsInJapanese_data();
    void errorsInJapanese();
    void everyErrorNumberHasItsText();
    void helpsSyntaxMistakesNameTheirFix();
    void notationNotice();
};

void FunctionPanelTest::evaluationTakesOverThePanelTexts() {
    Rows r;
    r.panel.Of(Axis::X) = {QStringLiteral("deg"), QStringLiteral("  -3"), QStringLiteral("2.5abc")};
    r.panel.Of(Axis::Y).smallValue = QStringLiteral("abc");
    r.Click(1); // nothing to draw: nothing taken over
    QCOMPARE(r.state.Graph.XUnitName, PlainUnitName);
    r.Type(1, "x");
    r.Click(1);
    QCOMPARE(r.state.Graph.XUnitName, QStringLiteral("deg"));
    QCOMPARE(r.state.Graph.XSmallValue, 2.5);
    QCOMPARE(r.state.Graph.XOriginValue, -3.0);
    QCOMPARE(r.state.Graph.YSmallValue, 0.0);
    // Without texts the state's own values stand.
    r.state.Graph.XSmallValue = 1;
    r.Type(1, "x+1");
    DrawButtonClicked(r.state, r.state.scriptEvalFn, 1);
    QCOMPARE(r.state.Graph.XSmallValue, 1.0);
    QCOMPARE(r.state.Graph.XUnitName, QStringLiteral("deg"));
}

void FunctionPanelTest::drawEraseDrawEvaluatesOnce() {
    Rows r;
    r.Type(1, "sin(x)*20", Red);
    DrawOutcome outcome = r.Click(1);
    QVERIFY(outcome.evaluated);
    QCOMPARE(r.Slot(1).Button, DrawButtonState::Erase);
    QCOMPARE(ButtonCaption(r.Slot(1).Button), QStringLiteral("消去"));
    const int drawn = r.Count(Red);
    QVERIFY(drawn > 400);

    r.Click(1); // erase
    QCOMPARE(r.Count(Red), 0);
    QCOMPARE(ButtonCaption(r.Slot(1).Button), QStringLiteral("描画"));
    QVERIFY(r.Slot(1).Drawn);
    QVERIFY(r.Slot(1).Hidden);

    outcome = r.Click(1); // draw again from the kept rows
    QVERIFY(!outcome.evaluated);
    QCOMPARE(r.Slot(1).SampleCount, 1);
    QCOMPARE(r.Count(Red), drawn);
}

void FunctionPanelTest::editedExpressionLeavesTheOldCurveUntilAFullRedraw() {
    Rows r;
    r.Type(1, "x", Red);
    r.Click(1);
    QCOMPARE(r.At(240, 110), Red); // x = 10
    r.Type(1, "-x", Red);
    QCOMPARE(r.Slot(1).Button, DrawButtonState::Draw);
    QCOMPARE(r.At(240, 110), Red); // still on the sheet
    r.Click(1);
    QCOMPARE(r.Slot(1).SampleCount, 2);
    QCOMPARE(r.At(240, 190), Red);
    QCOMPARE(r.At(240, 110), Red); // the old curve too, until the sheet is redrawn
    RedrawAll(r.state);
    QCOMPARE(r.At(240, 190), Red);
    QVERIFY(r.At(240, 110) != Red);
}

void FunctionPanelTest::colourChangeOffersUpdateWhichPutsTheSlotOnTop() {
    Rows r;
    r.Type(1, "0", Red);
    r.Type(2, "0", Blue);
    r.Click(1);
    r.Click(2);
    QCOMPARE(r.At(100, 150), Blue);
    ColorChosen(r.state, 1, Green);
    QCOMPARE(r.Slot(1).Button, DrawButtonState::Update);
    QCOMPARE(ButtonCaption(r.Slot(1).Button), QStringLiteral("更新"));
    QCOMPARE(r.At(100, 150), Blue); // nothing redrawn yet
    const DrawOutcome outcome = r.Click(1);
    QVERIFY(!outcome.evaluated);
    QCOMPARE(r.At(100, 150), Green); // on top of slot 2
    QCOMPARE(r.Slot(1).Button, DrawButtonState::Erase);

    ColorChosen(r.state, 1, std::nullopt); // cancelled: the colour stays, the button still changes
    QCOMPARE(r.Slot(1).Color, Green);
    QCOMPARE(r.Slot(1).Button, DrawButtonState::Update);
    // A full redraw for another reason shows the restyled slot, its button still offering update.
    r.Slot(1).StyleCode = QStringLiteral("実3");
    r.Click(2); // erase slot 2
    QCOMPARE(r.At(100, 151), Green);
    QCOMPARE(r.Slot(1).Button, DrawButtonState::Update);
}

void FunctionPanelTest::erasedSlotTakesItsNewColourAtTheNextDraw() {
    Rows r;
    r.Type(1, "0", Red);
    r.Click(1);
    r.Click(1); // erased
    ColorChosen(r.state, 1, Blue);
    QCOMPARE(r.Slot(1).Button, DrawButtonState::Draw);
    r.Click(1);
    QCOMPARE(r.At(100, 150), Blue);
}

void FunctionPanelTest::erasingOneSlotKeepsTheOthers() {
    Rows r;
    r.Type(2, "10", Red);
    r.Type(3, "-10", Blue);
    r.Click(2);
    r.Click(3);
    const DrawOutcome outcome = r.Click(2);
    QVERIFY(outcome.focusTextBox); // rows 2 and 3 take the focus back
    QCOMPARE(r.Count(Red), 0);
    QVERIFY(r.Count(Blue) > 300);
    r.Click(3);
    QCOMPARE(r.Count(Blue), 0);
}

void FunctionPanelTest::removingARowKeepsColourAndStyle() {
    Rows r;
    AddRow(r.state, 3);
    QVERIFY(r.Slot(3).RowShown);
    QVERIFY(!r.Slot(2).RowShown); // row 3 without row 2
    r.Type(3, "5", Blue);
    r.Slot(3).StyleCode = QStringLiteral("点2");
    r.Click(3);
    QVERIFY(r.Count(Blue) > 0);
    RemoveRow(r.state, 3);
    QCOMPARE(r.Count(Blue), 0);
    QVERIFY(r.Slot(3).Expression.isEmpty());
    QVERIFY(!r.Slot(3).RowShown);
    QVERIFY(!r.Slot(3).Drawn);
    QCOMPARE(r.Slot(3).Button, DrawButtonState::Draw);
    AddRow(r.state, 3);
    QCOMPARE(r.Slot(3).Color, Blue);
    QCOMPARE(r.Slot(3).StyleCode, QStringLiteral("点2"));
    RemoveRow(r.state, 1); // the first row stays
    QVERIFY(r.Slot(1).RowShown);
}

void FunctionPanelTest::unbalancedBracketsDrawNothing() {
    Rows r;
    r.Type(1, "sin(x))", Red);
    const DrawOutcome outcome = r.Click(1);
    QVERIFY(outcome.bracketMessage);
    QVERIFY(outcome.focusTextBox);
    QVERIFY(!outcome.evaluated);
    QCOMPARE(r.Count(Red), 0);
    QCOMPARE(r.Slot(1).Button, DrawButtonState::Draw);
    QVERIFY(!r.Slot(1).Drawn);
}

void FunctionPanelTest::emptyExpressionOnlyAsksForFocus() {
    Rows r;
    const DrawOutcome outcome = r.Click(1);
    QVERIFY(outcome.focusTextBox);
    QVERIFY(!outcome.bracketMessage);
    QCOMPARE(r.Slot(1).Button, DrawButtonState::Draw);
}

void FunctionPanelTest::keyFilter_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("lower case and operators") << "sin(x)^2+3*x-1/2.5"
                                              << "sin(x)^2+3*x-1/2.5";
    QTest::newRow("comparisons") << "x<=1>0=x"
                                 << "x<=1>0=x";
    QTest::newRow("capitals dropped") << "Sin(X)"
                                      << "in()";
    QTest::newRow("space, comma, colon and quotes dropped") << "a, b; c:\"d\""
                                                            << "abcd";
    QTest::newRow("underscore, ampersand, backslash dropped") << "a_b&c\\d"
                                                              << "abcd";
    QTest::newRow("double-byte dropped") << "ｘ＋１π"
                                         << "";
    QTest::newRow("control codes dropped") << "x\n\t\r"
                                           << "x";
}

void FunctionPanelTest::keyFilter() {
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    QCOMPARE(FilterFunctionText(typed), kept);
    QCOMPARE(FilterFunctionKey(8), std::int16_t(8)); // backspace is a typing key
    QCOMPARE(FilterFunctionKey(13), std::int16_t(0));
    QCOMPARE(FilterFunctionKey(0x3042), std::int16_t(0));
}

void FunctionPanelTest::lineStyleGoesToTheLastFocusedSlot() {
    Rows r;
    QVERIFY(!StyleChosen(r.state, QStringLiteral("点3"))); // no box has had the focus
    for (const FunctionSlot& slot : r.state.Slots) {
        QCOMPARE(slot.StyleCode, QStringLiteral("実1"));
    }
    r.Type(2, "x");
    r.Click(2);
    r.state.StyleTarget = 2;
    QVERIFY(StyleChosen(r.state, QStringLiteral("鎖3")));
    QCOMPARE(r.Slot(2).StyleCode, QStringLiteral("鎖3"));
    QCOMPARE(r.Slot(2).Button, DrawButtonState::Update);
    QCOMPARE(LineStyleCodes().size(), 9);
    QCOMPARE(LineStyleCaptions().at(8), QStringLiteral("太い鎖線（鎖3）"));
}

void FunctionPanelTest::summaryTellsHowTheComputationWent() {
    Rows r;
    r.Type(1, "(x+)");
    r.Click(1);
    QCOMPARE(r.Slot(1).Button, DrawButtonState::Erase); // shown, with an empty curve
    QCOMPARE(SampleSummary(r.Slot(1).LastSample),
             QStringLiteral("401 列中 0 列を描画しました。最初のエラー: 構文エラー"));
    r.Type(2, "1/x");
    r.Click(2);
    QCOMPARE(SampleSummary(r.Slot(2).LastSample),
             QStringLiteral("401 列中 400 列を描画しました。最初のエラー: 0 で除算しました"));
    r.Type(3, "x");
    r.Click(3);
    QCOMPARE(SampleSummary(r.Slot(3).LastSample), QStringLiteral("401 列中 401 列を描画しました"));
    QVERIFY(SampleSummary(SampleReport{}).isEmpty());
}

void FunctionPanelTest::cancelledDrawShowsThePartDoneAndComputesAgainNextTime() {
    Rows r;
    r.Type(1, "10", Red); // a level line 40 pixels above the X axis
    StopAfter progress(120);
    DrawButtonClicked(r.state, r.state.scriptEvalFn, 1, &r.panel, &progress);
    // The part computed is on the sheet, nothing right of it.
    QCOMPARE(r.At(60, 110), Red);
    QCOMPARE(r.At(119, 110), Red);
    QVERIFY(r.At(125, 110) != Red);
    QCOMPARE(CountPixels(r.state.Sheet.Image(), Red, QRect(121, 0, 279, 300)), 0);
    QCOMPARE(r.Slot(1).Button, DrawButtonState::Erase);
    QVERIFY(r.Slot(1).Drawn);
    QVERIFY(r.Slot(1).LastSample.cancelled);
    QCOMPARE(SampleSummary(r.Slot(1).LastSample),
             QStringLiteral("401 列中 120 列を描画しました。キャンセルしたため、左端から 121 "
                            "列目から先は描いていません"));
    // A full redraw keeps the part, like any drawn curve.
    RedrawAll(r.state);
    QCOMPARE(r.At(60, 110), Red);
    QVERIFY(r.At(300, 110) != Red);
    // Erased and drawn again: computed again, this time to the end.
    r.Click(1);
    QCOMPARE(r.Slot(1).Button, DrawButtonState::Draw);
    r.Click(1);
    QCOMPARE(r.Slot(1).SampleCount, 2);
    QVERIFY(!r.Slot(1).LastSample.cancelled);
    QCOMPARE(r.At(300, 110), Red);
    QCOMPARE(SampleSummary(r.Slot(1).LastSample), QStringLiteral("401 列中 401 列を描画しました"));
    // A finished curve, erased and drawn again, is not computed again.
    r.Click(1);
    r.Click(1);
    QCOMPARE(r.Slot(1).SampleCount, 2);
}

void FunctionPanelTest::resetPutsEveryRowBack() {
    Rows r;
    AddRow(r.state, 2);
    r.Type(2, "x", Red);
    r.Slot(2).StyleCode = QStringLiteral("点1");
    r.Click(2);
    ResetFunctionPanel(r.state);
    for (int n = 1; n <= 3; ++n) {
        QVERIFY(r.Slot(n).Expression.isEmpty());
        QCOMPARE(r.Slot(n).Color, Rgb(0, 0, 0));
        QCOMPARE(r.Slot(n).StyleCode, QStringLiteral("実1"));
        QCOMPARE(r.Slot(n).Button, DrawButtonState::Draw);
        QVERIFY(!r.Slot(n).Drawn);
        QCOMPARE(r.Slot(n).RowShown, n == 1);
    }
}

namespace {

// The help document as shipped; empty when it cannot be read.
QString HelpDocument() {
    QFile file(QStringLiteral(CURVANE_SOURCE_DIR "/share/CURVANEHELP.hlp"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString HtmlText(QString html) {
    html.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    return html.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

bool Typeable(QChar c) {
    return c.unicode() != 8 && FilterFunctionKey(c.unicode()) != 0;
}

} // namespace

void FunctionPanelTest::helpPromisesOnlyWhatTheBoxesTake() {
    const QString help = HelpDocument();
    QVERIFY(!help.isEmpty());

    // The help lists exactly the printable characters the boxes' key filter lets through.
    const QRegularExpressionMatch keys =
        QRegularExpression(QStringLiteral("<code class=\"keys\">(.*?)</code>")).match(help);
    QVERIFY2(keys.hasMatch(), "the help does not say which characters the boxes take");
    QSet<QChar> listed;
    for (const QString& item :
         HtmlText(keys.captured(1)).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (item.size() == 3 && item[1] == QLatin1Char('-')) { // a range such as a-z
            for (char16_t c = item[0].unicode(); c <= item[2].unicode(); ++c) {
                listed.insert(QChar(c));
            }
        } else {
            QCOMPARE(item.size(), 1);
            listed.insert(item[0]);
        }
    }
    QSet<QChar> accepted;
    for (char16_t c = 32; c < 127; ++c) {
        if (Typeable(QChar(c))) {
            accepted.insert(QChar(c));
        }
    }
    QCOMPARE(listed, accepted);
    // 更新 (update) follows a change of colour or style, not of the expression.
    QVERIFY(HtmlText(help).contains(QStringLiteral("色や線種を変えるとボタンは 更新 になり")));
    QVERIFY(!HtmlText(help).contains(QStringLiteral("式を書き換えたあとの 更新")));

    // An example that holds a character the boxes drop (a comma, a space, a backslash) says, in
    // its table row, item or paragraph, that only a settings file can carry it.
    // Command lines are marked <code class="cmd"> and are no expressions.
    const QRegularExpression code(QStringLiteral("<code>(.*?)</code>"));
    for (auto it = code.globalMatch(help); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString example = HtmlText(m.captured(1));
        if (std::all_of(example.begin(), example.end(), Typeable)) {
            continue;
        }
        qsizetype from = -1;
        QString closing;
        for (const auto& [open, close] : {std::pair{"<tr", "</tr>"}, std::pair{"<li", "</li>"},
                                          std::pair{"<p>", "</p>"}, std::pair{"<p ", "</p>"}}) {
            const qsizetype at = help.lastIndexOf(QLatin1String(open), m.capturedStart());
            if (at > from) {
                from = at;
                closing = QLatin1String(close);
            }
        }
        QVERIFY(from >= 0);
        const QString block = help.mid(from, help.indexOf(closing, m.capturedEnd()) - from);
        QVERIFY2(block.contains(QStringLiteral("設定ファイル")), qPrintable(example));
    }
}

void FunctionPanelTest::emptyVariablesNote_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("note");
    QTest::newRow("none") << QStringList{} << QString();
    QTest::newRow("one") << QStringList{"k"} << "k には値がないので 0 として計算しました。";
    QTest::newRow("several, in one sentence")
        << QStringList{"b", "a", "speed"} << "b、a、speed には値がないので 0 として計算しました。";
    QTest::newRow("e") << QStringList{"e"}
                       << "e には値がないので 0 として計算しました。e^x のことなら exp(x) "
                          "と書きます。";
    QTest::newRow("e among others") << QStringList{"a", "e"}
                                    << "a、e には値がないので 0 として計算しました。e^x "
                                       "のことなら exp(x) と書きます。";
    QTest::newRow("only e itself")
        << QStringList{"ee", "exp1"} << "ee、exp1 には値がないので 0 として計算しました。";
}

void FunctionPanelTest::emptyVariablesNote() {
    QFETCH(QStringList, names);
    QFETCH(QString, note);
    std::vector<std::string> list;
    for (const QString& name : names) {
        list.push_back(name.toStdString());
    }
    QCOMPARE(EmptyVariablesNote(list), note);
}

// The tooltip names the parameters the last computation read (the names without a value of
// their own), and forgets them with the next computation that reads none.
void FunctionPanelTest::drawTellsWhichNamesHadNoValue() {
    Rows r;
    r.Type(1, "e^2+a*x+pi+e");
    r.Click(1);
    QCOMPARE(r.Slot(1).LastSample.parameters, (std::vector<std::string>{"e", "a"}));
    QCOMPARE(DrawButtonTip(r.Slot(1).LastSample),
             QStringLiteral("401 列中 401 列を描画しました\n"
                            "e、a はパラメータです。値は「パラメータ」の窓で変えられます。"
                            "e^x のことなら exp(x) と書きます。"));
    // x and pi are set by the computation itself.
    r.Type(2, "x*pi");
    r.Click(2);
    QVERIFY(r.Slot(2).LastSample.parameters.empty());
    QCOMPARE(DrawButtonTip(r.Slot(2).LastSample), QStringLiteral("401 列中 401 列を描画しました"));
    // The expression changed: the note goes with the next draw, not before.
    r.Click(1); // erase
    r.Type(1, "exp(x)");
    QVERIFY(DrawButtonTip(r.Slot(1).LastSample).contains(QStringLiteral("はパラメータです")));
    r.Click(1);
    QVERIFY(r.Slot(1).LastSample.parameters.empty());
    QVERIFY(!DrawButtonTip(r.Slot(1).LastSample).contains(QStringLiteral("パラメータ")));
    QVERIFY(DrawButtonTip(SampleReport{}).isEmpty());
}

void FunctionPanelTest::noValueAnywhereAsksForAMessage_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("message");
    QTest::newRow("syntax error") << "2**x"
                                  << "F2(x) はどの x でも値が求まりませんでした。\n"
                                     "最初のエラー: 構文エラー。2**x は 2^x と書きます";
    QTest::newRow("no real value") << "sqr(-1-x^2)"
                                   << "F2(x) はどの x でも値が求まりませんでした。\n"
                                      "最初のエラー: 関数の引数が不正です";
    QTest::newRow("text") << "x&\"a\""
                          << "F2(x) はどの x でも値が求まりませんでした。\n"
                             "最初のエラー: 型が一致しません";
    QTest::newRow("values for x >= 0") << "sqr(x)" << QString();
    QTest::newRow("one value") << "1/x-1/x" << QString();
    QTest::newRow("values everywhere") << "x^2" << QString();
}

// Shown either way, like any drawn curve; only the message is added.
void FunctionPanelTest::noValueAnywhereAsksForAMessage() {
    QFETCH(QString, expression);
    QFETCH(QString, message);
    Rows r;
    r.Slot(2).RowShown = true;
    r.Type(2, expression.toUtf8().constData());
    DrawOutcome outcome = r.Click(2);
    QCOMPARE(outcome.noValueMessage, message);
    QCOMPARE(r.Slot(2).Button, DrawButtonState::Erase);
    QVERIFY(!r.Slot(2).Hidden);
    r.Click(2); // erase: no message
    QCOMPARE(r.Slot(2).Button, DrawButtonState::Draw);
    // Drawn again from the kept rows: still nothing to show, so the same message.
    outcome = r.Click(2);
    QVERIFY(!outcome.evaluated);
    QCOMPARE(outcome.noValueMessage, message);
    QCOMPARE(NoValueTitle(), QStringLiteral("計算できません"));
}

void FunctionPanelTest::cancelledDrawAsksForNoMessage() {
    Rows r;
    r.Type(1, "2**x");
    StopAfter progress(30);
    DrawOutcome outcome = DrawButtonClicked(r.state, r.state.scriptEvalFn, 1, &r.panel, &progress);
    QVERIFY(r.Slot(1).LastSample.cancelled);
    QCOMPARE(r.Slot(1).LastSample.withValue, 0);
    QVERIFY(outcome.noValueMessage.isEmpty());
    QCOMPARE(r.Slot(1).Button, DrawButtonState::Erase);
    // Erased and drawn again, to the end this time.
    r.Click(1);
    outcome = r.Click(1);
    QVERIFY(outcome.evaluated);
    QVERIFY(!outcome.noValueMessage.isEmpty());
}

namespace {

// The names (lower case) that begin the <code> examples of html.
QStringList CodeNames(const QString& html) {
    QStringList names;
    const QRegularExpression code(QStringLiteral("<code>([a-z][a-z0-9]*)"));
    for (auto it = code.globalMatch(html); it.hasNext();) {
        names << it.next().captured(1);
    }
    return names;
}

QString Between(const QString& text, const QString& from, const QString& to) {
    const qsizetype start = text.indexOf(from);
    if (start < 0) {
        return {};
    }
    const qsizetype end = text.indexOf(to, start + from.size());
    return text.mid(start, end < 0 ? -1 : end - start);
}

} // namespace

// The section on expressions promises only functions and constants the engine has, lists every
// function it has, and what it calls mistakes really are: names that are no functions.
void FunctionPanelTest::helpOnExpressionsNamesWhatTheEngineKnows() {
    const QString help = HelpDocument();
    QVERIFY(!help.isEmpty());
    const QString section =
        Between(help, QStringLiteral("<a name=\"expr\">"), QStringLiteral("<h2"));
    QVERIFY(section.contains(QStringLiteral("式の書き方")));

    const QRegularExpression tables(QStringLiteral("<table class=\"functions\"(.*?)</table>"),
                                    QRegularExpression::DotMatchesEverythingOption);
    QStringList tableNames;
    QSet<QString> allListed; // the last table: the whole list
    for (auto it = tables.globalMatch(section); it.hasNext();) {
        const QStringList names = CodeNames(it.next().captured(1));
        tableNames << names;
        allListed = QSet<QString>(names.begin(), names.end());
    }
    QVERIFY(tableNames.size() > 90);
    for (const QString& name : tableNames) {
        QVERIFY2(script::FindBuiltin(name.toStdString()), qPrintable(name));
    }
    // Every built-in there is: the enumeration ends with FormatPercent.
    for (int id = 0; id <= static_cast<int>(script::Builtin::FormatPercent); ++id) {
        const QString name =
            QString::fromUtf8(script::BuiltinName(static_cast<script::Builtin>(id)));
        QVERIFY2(allListed.contains(name), qPrintable(name));
    }

    const QStringList constants = CodeNames(
        Between(section, QStringLiteral("<p class=\"constants\">"), QStringLiteral("</p>")));
    QVERIFY(constants.size() > 10);
    for (const QString& name : constants) {
        QVERIFY2(script::FindConstant(name.toStdString()) != nullptr, qPrintable(name));
    }

    // The first column of the mistakes: names that are neither functions nor constants (x**2
    // and sin(30) are mistakes of operator and unit, mod+1 of a reserved word).
    const QString mistakes =
        Between(section, QStringLiteral("よくある間違い"), QStringLiteral("</table>"));
    const QRegularExpression written(QStringLiteral("<tr><td><code>([a-z]+)"));
    QStringList wrong;
    for (auto it = written.globalMatch(mistakes); it.hasNext();) {
        const QString name = it.next().captured(1);
        if (name != QStringLiteral("x") && name != QStringLiteral("sin") &&
            name != QStringLiteral("mod")) {
            wrong << name;
            QVERIFY2(!script::FindBuiltin(name.toStdString()), qPrintable(name));
            QVERIFY2(!script::FindConstant(name.toStdString()), qPrintable(name));
        }
    }
    QCOMPARE(wrong, (QStringList{"e", "sqrt", "ln", "atan", "execute"}));

    // The nesting limit as the compiler has it.
    QVERIFY(section.contains(QStringLiteral("入れ子は %1 段まで").arg(script::MaxNestingDepth)));
}

void FunctionPanelTest::errorsInJapanese_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("japanese");
    const auto row = [](const char* expression, const char* japanese) {
        QTest::newRow(expression) << QString::fromUtf8(expression) << QString::fromUtf8(japanese);
    };
    row("sqrt(x)", "型が一致しません: 'sqrt'。sqrt という関数はありません。sqr のことですか？");
    row("ln(x)", "型が一致しません: 'ln'。ln という関数はありません。log のことですか？");
    row("pow(x,2)", "型が一致しません: 'pow'。pow という関数はありません。演算子 ^ のことですか？");
    row("foo(x)", "型が一致しません: 'foo'。foo という関数はありません。");
    row("1+if", "式が必要です。if は予約語なので名前には使えません");
    row("x/0", "0 で除算しました");
    row("\"a\"+1", "型が一致しません");
    row("x+", "構文エラー");
    // Syntax errors name the fix for the slip the text shows, and only for that.
    row("2x", "構文エラー。2x は 2*x と書きます");
    row("x**2", "構文エラー。x**2 は x^2 と書きます");
    row("x**", "構文エラー。** は ^ と書きます");
    row("3sin(x)+.5x", "構文エラー。3sin(x) は 3*sin(x) と書きます");
    row("(x+1)(x-1)", "構文エラー。(x+1)(x-1) は (x+1)*(x-1) と書きます");
    row("(x+1", "構文エラー。「)」が 1 つ足りません");
    row("(x)mod(3)+", "構文エラー");
    row("len(\"2x\")+", "構文エラー");
}

// What the value table, the readout and the tooltips show for an evaluation error: the
// language's message in Japanese, with the hint about a mistyped function after it.
void FunctionPanelTest::errorsInJapanese() {
    QFETCH(QString, expression);
    QFETCH(QString, japanese);
    ScriptEvaluator evaluator;
    ScriptError error;
    QVERIFY(!EvaluateExpression(evaluator, 3.14159, 1.5, expression.toStdString(), &error));
    QCOMPARE(JapaneseError(error, expression), japanese);
    PreparedExpression prepared(evaluator, expression.toStdString());
    QVERIFY(!prepared.Evaluate(3.14159, 2.5, &error));
    QCOMPARE(JapaneseError(error, expression), japanese);
}

// Each number the engine describes has its own text, followed by the name at fault and the hint;
// a number this program does not know is named by itself.
void FunctionPanelTest::everyErrorNumberHasItsText() {
    const auto text = [](int number, const char* name = "", ScriptHint hint = {}) {
        return JapaneseError({script::ErrorCode(number), {}, name, {}, std::move(hint)});
    };
    QStringList all;
    for (int number = 0; number <= 0xFFFF; ++number) {
        if (script::Describe(script::ErrorCode(number)) !=
            std::string_view("Unknown runtime error")) {
            all << QString::number(number) + QLatin1Char(' ') + text(number);
        }
    }
    QCOMPARE(all.join(QLatin1Char('|')),
             QStringLiteral(
                 "0 |5 関数の引数が不正です|6 オーバーフローしました|7 メモリが不足しています|"
                 "9 添字が範囲外です|11 0 で除算しました|13 型が一致しません|"
                 "14 文字列が長すぎます|16 式が複雑すぎます|18 計算を中断しました|"
                 "28 eval の入れ子が深すぎます|91 オブジェクトは使えません|"
                 "94 Null は数値になりません|450 引数の数が違います|501 代入できません|"
                 "1002 構文エラー|1010 名前が必要です|1023 式が必要です"));
    QCOMPARE(text(9999), QStringLiteral("エラー 9999"));
    QCOMPARE(text(450, "sin"), QStringLiteral("引数の数が違います: 'sin'"));
    QCOMPARE(text(13, "pow", {"pow", "^", true}),
             QStringLiteral(
                 "型が一致しません: 'pow'。pow という関数はありません。演算子 ^ のことですか？"));
    QCOMPARE(
        text(13, "ln", {"ln", "log", false}),
        QStringLiteral("型が一致しません: 'ln'。ln という関数はありません。log のことですか？"));
}

// Exactly the examples of the help's table of common mistakes that are syntax errors get the fix.
void FunctionPanelTest::helpsSyntaxMistakesNameTheirFix() {
    const QRegularExpression example(
        QStringLiteral("<tr><td><code>([^<]*)</code>(?:、<code>([^<]*))?"));
    QStringList told;
    auto it = example.globalMatch(
        Between(HelpDocument(), QStringLiteral("よくある間違い"), QStringLiteral("</table>")));
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        for (const QString& written : {m.captured(1), m.captured(2)}) {
            ScriptEvaluator evaluator;
            ScriptError error;
            if (!written.isEmpty() &&
                !EvaluateExpression(evaluator, 1, 1, written.toStdString(), &error) &&
                JapaneseError(error, written) != JapaneseError(error)) {
                told << written;
            }
        }
    }
    QCOMPARE(told.join(QLatin1Char(' ')), QStringLiteral("x**2 2x (x+1 mod+1 if+1"));
}

void FunctionPanelTest::notationNotice() {
    const auto notice = [](const char* text) {
        ScriptEvaluator evaluator;
        return NotationNotice(QString::fromUtf8(text),
                              PreparedExpression(evaluator, text).EmptyVariables());
    };
    QCOMPARE(notice("Y = lnx+sin2x+e"),
             QStringLiteral("lnx はひとつの名前として読みました。log(x) と書きます。\n"
                            "sin2x はひとつの名前として読みました。sin(2*x) と書きます。\n"
                            "y= は書きません。右辺だけを書きます。\ne^x は exp(x) と書きます。"));
    QVERIFY(notice("sinus+cosxy+x+(y<=x)").isEmpty()); // names only alike, y compared
    // One box per computation (none when the kept rows are drawn again), inside the no-value
    // message when there is one.
    Rows r;
    r.Type(1, "sinx");
    QCOMPARE(r.Click(1).notationMessage, NotationNotice(QStringLiteral("sinx"), {"sinx"}));
    r.Click(1); // erase
    QVERIFY(r.Click(1).notationMessage.isEmpty());
    r.Type(2, "log(e-1)");
    const DrawOutcome outcome = r.Click(2);
    QVERIFY(outcome.notationMessage.isEmpty());
    QVERIFY(outcome.noValueMessage.endsWith(QStringLiteral("\n\ne^x は exp(x) と書きます。")));
}

QTEST_MAIN(FunctionPanelTest)
#include "tst_functionpanel.moc"
