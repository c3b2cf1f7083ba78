#include "files/safefile.h"
#include "program/calculus.h"
#include "program/export.h"
#include "program/render.h"
#include "program/tablecommands.h"
#include "script/number_text.h"
#include "ui/frmcurvane.h"
#include "ui/qttranslations.h"

#include <QtCore/QCommandLineParser>
#include <QtCore/QStandardPaths>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QApplication>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <functional>
#include <optional>

namespace {

// What the command line asks for, read before any application object exists: the window and
// the command-line work need different ones.
struct Request {
    enum class Kind { Window, Render, Table, Integral, Derivative, Help, Version, Refused };
    Kind kind = Kind::Window;
    TableOptions range;           // --table's range; what is not given comes from the file
    CommandLineCalculus calculus; // --integral's and --derivative's file and numbers
    QString settingsFile;         // the window's file to open, or the file to render
    QString output;
    std::optional<int> dpi; // --dpi: a picture at print quality
    QStringList parameters; // --set NAME=VALUE, for --render and --table
    QString problem;        // why the command line was refused
};

// A number option; the problem when it is given and no number.
QString ReadNumber(const QCommandLineParser& parser, const char* name, double& value) {
    const QString option = QString::fromLatin1(name);
    const std::optional<double> number = ReadTableNumber(parser.value(option));
    if (!number) {
        return QStringLiteral("--%1 needs a number, not \"%2\"").arg(option, parser.value(option));
    }
    value = *number;
    return {};
}

// A slot option: 1, 2 or 3.
QString ReadSlot(const QCommandLineParser& parser, const char* name, int& slot) {
    const QString option = QString::fromLatin1(name);
    const QString text = parser.value(option).trimmed();
    if (text != QStringLiteral("1") && text != QStringLiteral("2") && text != QStringLiteral("3")) {
        return QStringLiteral("--%1 takes 1, 2 or 3, not \"%2\"").arg(option, parser.value(option));
    }
    slot = text.toInt();
    return {};
}

// What is wrong with --integral's or --derivative's options, in the order a reader meets them.
QString CheckCalculusRequest(const QCommandLineParser& parser, const QStringList& files,
                             Request& request) {
    const auto set = [&](const char* name) { return parser.isSet(QString::fromLatin1(name)); };
    const bool integral = request.kind == Request::Kind::Integral;
    if (set("integral") && set("derivative")) {
        return QStringLiteral("--integral and --derivative cannot be used together");
    }
    for (const char* other : {"table", "render", "out", "dpi", "step"}) {
        if (set(other)) {
            return QStringLiteral("--%1 cannot be used with --%2")
                .arg(QString::fromLatin1(other),
                     integral ? QStringLiteral("integral") : QStringLiteral("derivative"));
        }
    }
    if (!files.isEmpty()) {
        return QStringLiteral("unexpected argument %1").arg(files.first());
    }
    if (!set("fn")) {
        return QStringLiteral("--fn N names the function: 1, 2 or 3");
    }
    CommandLineCalculus& c = request.calculus;
    if (QString problem = ReadSlot(parser, "fn", c.fn); !problem.isEmpty()) {
        return problem;
    }
    if (!integral) {
        if (set("minus") || set("from") || set("to")) {
            return QStringLiteral("--minus, --from and --to belong to --integral");
        }
        if (!set("at")) {
            return QStringLiteral("--derivative needs --at X");
        }
        return ReadNumber(parser, "at", c.at);
    }
    if (set("at")) {
        return QStringLiteral("--at belongs to --derivative");
    }
    if (set("minus")) {
        if (QString problem = ReadSlot(parser, "minus", c.minus); !problem.isEmpty()) {
            return problem;
        }
        if (c.minus == c.fn) {
            return QStringLiteral("--minus names the same function as --fn");
        }
    }
    if (!set("from") || !set("to")) {
        return QStringLiteral("--integral needs --from A and --to B");
    }
    if (QString problem = ReadNumber(parser, "from", c.from); !problem.isEmpty()) {
        return problem;
    }
    return ReadNumber(parser, "to", c.to);
}

// --integral or --derivative with their options; false when the command line has none of them.
bool ReadCalculusRequest(const QCommandLineParser& parser, const QStringList& files,
                         Request& request) {
    const bool integral = parser.isSet(QStringLiteral("integral"));
    if (!integral && !parser.isSet(QStringLiteral("derivative"))) {
        for (const QString& own :
             {QStringLiteral("fn"), QStringLiteral("minus"), QStringLiteral("at")}) {
            if (parser.isSet(own)) {
                request.kind = Request::Kind::Refused;
                request.problem = QStringLiteral("--fn, --minus and --at belong to --integral or "
                                                 "--derivative");
                return true;
            }
        }
        return false;
    }
    request.kind = integral ? Request::Kind::Integral : Request::Kind::Derivative;
    request.calculus.settingsFile =
        parser.value(integral ? QStringLiteral("integral") : QStringLiteral("derivative"));
    request.problem = CheckCalculusRequest(parser, files, request);
    if (!request.problem.isEmpty()) {
        request.kind = Request::Kind::Refused;
    }
    return true;
}

// --table with its range options; false when the command line has neither.
bool ReadTableRequest(const QCommandLineParser& parser, const QStringList& files,
                      Request& request) {
    const bool table = parser.isSet(QStringLiteral("table"));
    if (!table && !parser.isSet(QStringLiteral("from")) && !parser.isSet(QStringLiteral("to")) &&
        !parser.isSet(QStringLiteral("step"))) {
        return false;
    }
    request.kind = Request::Kind::Table;
    request.settingsFile = parser.value(QStringLiteral("table"));
    if (!table) {
        request.problem = QStringLiteral("--from, --to and --step belong to --table");
    } else if (parser.isSet(QStringLiteral("render")) || parser.isSet(QStringLiteral("out"))) {
        request.problem = QStringLiteral("--table and --render cannot be used together");
    } else if (!files.isEmpty()) {
        request.problem = QStringLiteral("unexpected argument %1").arg(files.first());
    }
    for (const auto& [name, value] :
         {std::pair{"from", &request.range.from}, std::pair{"to", &request.range.to},
          std::pair{"step", &request.range.step}}) {
        double number = 0.0;
        if (request.problem.isEmpty() && parser.isSet(QString::fromLatin1(name))) {
            request.problem = ReadNumber(parser, name, number);
            *value = number;
        }
    }
    if (!request.problem.isEmpty()) {
        request.kind = Request::Kind::Refused;
    }
    return true;
}

void DescribeOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Curvane draws graphs of up to three functions of x.\n"
                       "Without options it opens its window, with FILE.cvf or FILE.cvw read if "
                       "one is given."));
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QStringLiteral("A settings file (.cvf) or a worksheet (.cvw) to open in the window."),
        QStringLiteral("[FILE.cvf|FILE.cvw]"));
    parser.addOption({QStringLiteral("table"),
                      QStringLiteral("Print the table of values of settings file FILE.cvf: a "
                                     "line x<TAB>F1<TAB>F2<TAB>F3 (the functions with text), "
                                     "then one line per x = A + k*S up to B, empty where a "
                                     "function has no value. Without --from, --to or --step the "
                                     "window's first table for the file is used: the sheet's "
                                     "small scale lines."),
                      QStringLiteral("FILE.cvf")});
    parser.addOption({QStringLiteral("from"),
                      QStringLiteral("The first x of --table, or where --integral starts."),
                      QStringLiteral("A")});
    parser.addOption({QStringLiteral("to"),
                      QStringLiteral("The last x of --table, or where --integral ends."),
                      QStringLiteral("B")});
    parser.addOption({QStringLiteral("step"),
                      QStringLiteral("The step of --table (negative when B < A)."),
                      QStringLiteral("S")});
    parser.addOption(
        {QStringLiteral("integral"),
         QStringLiteral(
             "Print the integral of function --fn of settings file FILE.cvf from --from A "
             "to --to B (x in the file's X axis unit), less function --minus when "
             "given: the integral of FN - FM. An integral that does not exist (no "
             "value in the range, or it does not converge) exits with 3."),
         QStringLiteral("FILE.cvf")});
    parser.addOption(
        {QStringLiteral("derivative"),
         QStringLiteral("Print the slope of function --fn of settings file FILE.cvf at --at X (x "
                        "in the file's X axis unit). A point without a slope exits with 3."),
         QStringLiteral("FILE.cvf")});
    parser.addOption({QStringLiteral("fn"),
                      QStringLiteral("The function of --integral or --derivative: 1, 2 or 3."),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("minus"),
                      QStringLiteral("The function --integral subtracts: 1, 2 or 3."),
                      QStringLiteral("M")});
    parser.addOption(
        {QStringLiteral("at"), QStringLiteral("The x of --derivative."), QStringLiteral("X")});
    parser.addOption({QStringLiteral("render"),
                      QStringLiteral("Draw the graph of settings file FILE.cvf, or worksheet "
                                     "FILE.cvw as it was kept, into the image named by --out, "
                                     "without a window."),
                      QStringLiteral("FILE")});
    parser.addOption(
        {QStringLiteral("out"),
         QStringLiteral("The image --render writes; its extension decides the format: .bmp, "
                        ".png, .jpg or .jpeg give the sheet's exact pixels, .pdf and .svg the "
                        "sheet as vectors at its true size. Any other name is refused."),
         QStringLiteral("IMAGE")});
    parser.addOption({QStringLiteral("dpi"),
                      QStringLiteral("Draw a .bmp, .png or .jpg image at print quality, smooth, "
                                     "at N dots per inch (96 to 1200) of the sheet's true size."),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("set"),
                      QStringLiteral("Give parameter NAME of the file's expressions the value "
                                     "VALUE for --render or --table; may be repeated."),
                      QStringLiteral("NAME=VALUE")});
    parser.addHelpOption();
    parser.addVersionOption();
}

// The output's format from its extension, and the resolution of a print-quality picture.
QString CheckRenderOutput(const QCommandLineParser& parser, Request& request) {
    const std::optional<RenderOutput> output = RenderOutputOfName(request.output);
    if (!output) {
        return UnknownOutputText(request.output);
    }
    if (!parser.isSet(QStringLiteral("dpi"))) {
        return {};
    }
    if (output->kind != RenderOutput::Kind::Picture) {
        return QStringLiteral("--dpi is for .bmp, .png and .jpg images; .pdf and .svg are "
                              "vectors");
    }
    bool ok = false;
    const int dpi = parser.value(QStringLiteral("dpi")).toInt(&ok);
    if (!ok || dpi < MinExportDpi || dpi > MaxExportDpi) {
        return QStringLiteral("--dpi takes a whole number from %1 to %2")
            .arg(MinExportDpi)
            .arg(MaxExportDpi);
    }
    request.dpi = dpi;
    return {};
}

// The first option given more than once: the parser would silently keep the last of them.
// --set is the one option meant to be repeated.
QString RepeatedOption(const QCommandLineParser& parser) {
    const QStringList names = parser.optionNames();
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (names[i] != QStringLiteral("set") && names.indexOf(names[i], i + 1) > i) {
            return (names[i].size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + names[i];
        }
    }
    return {};
}

Request Read(QCommandLineParser& parser, const QStringList& arguments) {
    Request request;
    if (!parser.parse(arguments)) {
        request.kind = Request::Kind::Refused;
        request.problem = parser.errorText();
        return request;
    }
    if (const QString repeated = RepeatedOption(parser); !repeated.isEmpty()) {
        request.kind = Request::Kind::Refused;
        request.problem = QStringLiteral("%1 is given more than once").arg(repeated);
        return request;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        request.kind = Request::Kind::Help;
        return request;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        request.kind = Request::Kind::Version;
        return request;
    }
    const QStringList files = parser.positionalArguments();
    if (ReadCalculusRequest(parser, files, request)) {
        if (parser.isSet(QStringLiteral("set")) && request.problem.isEmpty()) {
            request.problem = QStringLiteral("--set goes with --render or --table");
            request.kind = Request::Kind::Refused;
        }
        return request;
    }
    request.parameters = parser.values(QStringLiteral("set"));
    if (ReadTableRequest(parser, files, request)) {
        request.range.parameters = request.parameters;
        return request;
    }
    if (parser.isSet(QStringLiteral("render")) || parser.isSet(QStringLiteral("out"))) {
        request.kind = Request::Kind::Render;
        request.settingsFile = parser.value(QStringLiteral("render"));
        request.output = parser.value(QStringLiteral("out"));
        if (request.settingsFile.isEmpty() || request.output.isEmpty()) {
            request.problem =
                QStringLiteral("--render needs a settings file or a worksheet and --out an image");
        } else if (!files.isEmpty()) {
            request.problem = QStringLiteral("unexpected argument %1").arg(files.first());
        } else {
            request.problem = CheckRenderOutput(parser, request);
        }
    } else if (parser.isSet(QStringLiteral("dpi"))) {
        request.problem = QStringLiteral("--dpi goes with --render");
    } else if (!request.parameters.isEmpty()) {
        request.problem = QStringLiteral("--set goes with --render or --table");
    } else if (files.size() > 1) {
        request.problem = QStringLiteral("only one file can be opened");
    } else if (!files.isEmpty()) {
        request.settingsFile = files.first();
    }
    if (!request.problem.isEmpty()) {
        request.kind = Request::Kind::Refused;
    }
    return request;
}

// Qt's own notes (a missing runtime folder and the like) would break the promise of one line on
// standard error per failure; the command-line modes keep only their own messages.
void QuietQtNotes(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "curvane: %s\n", message.toLocal8Bit().constData());
        std::abort();
    }
}

// The command-line modes run without a window, with only their own messages.
int RunWithoutWindow(int argc, char* argv[], const std::function<int()>& work) {
    qInstallMessageHandler(QuietQtNotes);
    // No display is needed: the drawing happens in memory.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    return work();
}

// One line on standard error; file names in it come out in the bytes they were given in.
void Complain(const QString& line) {
    std::fprintf(stderr, "curvane: %s\n", FileNameBytes(line).constData());
}

int Render(const Request& request) {
    const QString problem =
        RenderSettingsFile(request.settingsFile, request.output, request.dpi, request.parameters);
    if (!problem.isEmpty()) {
        Complain(problem);
        return 1;
    }
    return 0;
}

int Table(const Request& request) {
    bool badRange = false;
    int writeError = 0; // the errno of the first write that failed
    const auto failed = [&](bool ok) {
        if (!ok && writeError == 0) {
            writeError = errno != 0 ? errno : EIO;
        }
    };
    const QString problem = WriteSettingsFileTable(
        request.settingsFile, request.range,
        [&](std::string_view text) {
            if (writeError == 0) {
                failed(std::fwrite(text.data(), 1, text.size(), stdout) == text.size());
            }
        },
        &badRange);
    if (!problem.isEmpty()) {
        Complain(problem + (badRange ? QStringLiteral(" (see curvane --help)") : QString()));
        return badRange ? 2 : 1;
    }
    failed(std::fflush(stdout) == 0);
    if (writeError != 0) {
        Complain(QStringLiteral("cannot write the table: ") + qt_error_string(writeError));
        return 1;
    }
    return 0;
}

// --integral and --derivative: the number on its own line, in the shortest text that reads back
// as the same double.
int Calculus(const Request& request) {
    double value = 0.0;
    int exitCode = 0;
    const QString problem = request.kind == Request::Kind::Integral
                                ? SettingsFileIntegral(request.calculus, value, exitCode)
                                : SettingsFileSlope(request.calculus, value, exitCode);
    if (!problem.isEmpty()) {
        Complain(problem);
        return exitCode;
    }
    const std::string line = FormatShortest(value) + "\n";
    if (std::fwrite(line.data(), 1, line.size(), stdout) != line.size() ||
        std::fflush(stdout) != 0) {
        Complain(QStringLiteral("cannot write the value: ") +
                 qt_error_string(errno != 0 ? errno : EIO));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    // A file that would grow past the process's size limit (ulimit -f) is then a write that
    // fails with "File too large", reported like a full disk, instead of the end of the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication::setApplicationName(QStringLiteral("curvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CURVANE_VERSION));
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        // Kept byte for byte where they are no valid UTF-8, so that such a file name still opens.
        arguments << FileNameOfBytes(QByteArray(argv[i]));
    }
    QCommandLineParser parser;
    DescribeOptions(parser);
    const Request request = Read(parser, arguments);
    switch (request.kind) {
    case Request::Kind::Help:
        std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
        return 0;
    case Request::Kind::Version:
        std::printf("curvane %s\n", CURVANE_VERSION);
        return 0;
    case Request::Kind::Refused:
        Complain(request.problem + QStringLiteral(" (see curvane --help)"));
        return 2;
    case Request::Kind::Render:
        return RunWithoutWindow(argc, argv, [&] { return Render(request); });
    case Request::Kind::Table:
        return RunWithoutWindow(argc, argv, [&] { return Table(request); });
    case Request::Kind::Integral:
    case Request::Kind::Derivative:
        return RunWithoutWindow(argc, argv, [&] { return Calculus(request); });
    case Request::Kind::Window:
        break;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Curvane"));
    QApplication::setOrganizationName(QStringLiteral("Curvane"));
    // Before any widget exists, so every standard dialog is Japanese from the first one on.
    InstallQtJapanese(app);
    auto* window = new frmCurvane();
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    // Work a window left behind when it did not end normally is offered back first.
    window->StartAutosave(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                          QStringLiteral("/autosave"));
    if (!request.settingsFile.isEmpty()) {
        window->OpenPath(request.settingsFile);
    }
    return QApplication::exec();
}
