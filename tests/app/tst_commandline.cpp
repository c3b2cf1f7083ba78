#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QStringEncoder>
#include <QtCore/QTemporaryDir>
#include <QtGui/QImage>
#include <QtTest/QtTest>
#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace {

// A settings line of the program's own making: the default graph with sin(x) in F1.
const char* const SineSettings =
    "6915,5955,331,253,165.5,126.5,0,0,#TRUE#,#TRUE#,#TRUE#,#TRUE#,#TRUE#,#TRUE#,#TRUE#,#TRUE#,4,4,"
    "5,5,2,2,16777152,16777152,16777072,16777072,16776992,16776992,16740464,16740464,16777215,4,"
    "4,16711680,16711680,9,9,1,1,\"単位 1\",\"単位 1\",0,0,\"sin(x)*20\",\"\",\"\",0,0,0,\"実1\","
    "\"実1\",\"実1\"\r\n";

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs the program with the arguments. fileBytes > 0 caps the size of every file it writes, as
// `ulimit -f` does (a write past it must fail with EFBIG as on a full disk, not end the
// program); unprivileged runs it as nobody when the test runs as root.
Run Program(const QStringList& arguments, rlim_t fileBytes = 0, bool unprivileged = false,
            const QString& standardOutput = {}) {
    QProcess process;
    process.setChildProcessModifier([fileBytes, unprivileged] {
        std::signal(SIGXFSZ, SIG_DFL);
        if (fileBytes > 0) {
            const rlimit limit{fileBytes, fileBytes};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (unprivileged && geteuid() == 0) {
            setgroups(0, nullptr);
            [[maybe_unused]] const int group = setgid(65534);
            [[maybe_unused]] const int user = setuid(65534);
        }
    });
    if (!standardOutput.isEmpty()) {
        process.setStandardOutputFile(standardOutput);
    }
    process.start(QStringLiteral(CURVANE_PROGRAM), arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void theProgramSitsWithItsDataAtTheBuildTreesTop();
    void tablePrintsTheValuesOfAFile();
    void tableWithARange_data();
    void tableWithARange();
    void tableRefusals_data();
    void tableRefusals();
    void renderOnAFullDiskKeepsTheOldPicture_data();
    void renderOnAFullDiskKeepsTheOldPicture();
    void tableBeyondTheFileSizeLimitFails();
    void renderNeverReplacesItsInput();
    void tableAndRenderGiveTheSameReasons();
    void namesThatAreNoUtf8AreUsedByTheirBytes();
    void renderRefusesTargetsAndSourcesThatAreNoRegularFile();
    void renderSaysWhyAFileIsNoSettingsFile();
    void helpVersionAndRefusals();
    void renderWritesWhatTheExtensionSays_data();
    void renderWritesWhatTheExtensionSays();
    void renderRefusesWhatItCannotWrite_data();
    void renderRefusesWhatItCannotWrite();
    void setDrawsAsTheNumberWrittenInPlace();
    void integralAndDerivative_data();
    void integralAndDerivative();

private:
    QTemporaryDir m_dir;
    QString Path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
};

void CommandLineTest::initTestCase() {
    QStringEncoder cp932("windows-31j");
    const QString sine = QString::fromUtf8(SineSettings);
    for (const auto& [name, line] :
         {std::pair{"sine.cvf", sine},
          // F1 1/x and F3 sqr(x), F2 empty.
          std::pair{"gaps.cvf", QString(sine).replace(QStringLiteral("\"sin(x)*20\",\"\",\"\""),
                                                      QStringLiteral("\"1/x\",\"\",\"sqr(x)\""))},
          // The X axis in degrees, 15 per small step.
          std::pair{"degrees.cvf", QString(sine).replace(QStringLiteral("1,1,\"単位 1\""),
                                                         QStringLiteral("15,1,\"deg\""))}}) {
        QFile file(Path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(cp932(line));
    }
}

namespace {

QList<QByteArray> Lines(const QByteArray& out) {
    QList<QByteArray> lines = out.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

} // namespace

// ./run starts build/<kind>/curvane, and the program finds its help and cursors beside itself.
void CommandLineTest::theProgramSitsWithItsDataAtTheBuildTreesTop() {
    const QFileInfo program(QStringLiteral(CURVANE_PROGRAM));
    QCOMPARE(program.absolutePath(),
             QFileInfo(QStringLiteral(CURVANE_BINARY_DIR)).absoluteFilePath());
    for (const char* data : {"CURVANEHELP.hlp", "MAGNIFY.CUR", "DOWN.CUR"}) {
        QVERIFY2(QFileInfo(program.dir().filePath(QString::fromLatin1(data))).isFile(), data);
    }
}

void CommandLineTest::tablePrintsTheValuesOfAFile() {
    // Without a range: the window's first table, the small scale lines of the file's sheet (331
    // pixels with the origin at 165.5 and 4 pixels per unit: x from -41 to 41).
    Run run = Program({QStringLiteral("--help")});
    for (const char* option : {"--table <FILE.cvf>", "--from <A>", "--to <B>", "--step <S>"}) {
        QVERIFY2(run.out.contains(option), option);
    }

    run = Program({QStringLiteral("--table"), Path("sine.cvf")});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.err.isEmpty());
    QList<QByteArray> lines = Lines(run.out);
    QCOMPARE(lines.size(), 1 + 83);
    QCOMPARE(lines[0], QByteArray("x\tF1"));
    QCOMPARE(lines[1].split('\t')[0], QByteArray("-41"));
    QCOMPARE(lines[83].split('\t')[0], QByteArray("41"));
    for (int i = 1; i <= 83; ++i) {
        const QList<QByteArray> cells = lines[i].split('\t');
        const double x = -42 + i;
        QCOMPARE(cells[0].toDouble(), x);
        // The shortest text that reads back as the very double sin(x)*20.
        QCOMPARE(cells[1].toDouble(), std::sin(x) * 20);
    }

    // Only the slots with text, and empty cells where there is no value.
    run = Program({QStringLiteral("--table"), Path("gaps.cvf"), QStringLiteral("--from"),
                   QStringLiteral("-1"), QStringLiteral("--to"), QStringLiteral("1"),
                   QStringLiteral("--step"), QStringLiteral("0.5")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(Lines(run.out), (QList<QByteArray>{"x\tF1\tF3", "-1\t-1\t", "-0.5\t-2\t", "0\t\t0",
                                                "0.5\t2\t0.7071067811865476", "1\t1\t1"}));

    // An X axis in degrees, 15 per small step: x in degrees, fed to the expression as radians.
    run = Program({QStringLiteral("--table"), Path("degrees.cvf"), QStringLiteral("--to"),
                   QStringLiteral("-570")});
    QCOMPARE(run.exitCode, 0);
    lines = Lines(run.out);
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[1].split('\t')[0], QByteArray("-615"));
    QCOMPARE(lines[4].split('\t')[0], QByteArray("-570"));
    run = Program({QStringLiteral("--table"), Path("degrees.cvf"), QStringLiteral("--from"),
                   QStringLiteral("-90"), QStringLiteral("--to"), QStringLiteral("90"),
                   QStringLiteral("--step"), QStringLiteral("180")});
    QCOMPARE(Lines(run.out), (QList<QByteArray>{"x\tF1", "-90\t-20", "90\t20"}));
}

void CommandLineTest::tableWithARange_data() {
    QTest::addColumn<QStringList>("range");
    QTest::addColumn<QList<QByteArray>>("xs");
    QTest::newRow("tenths end on the last")
        << QStringList{"--from", "0", "--to", "0.3", "--step", "0.1"}
        << QList<QByteArray>{"0", "0.1", "0.2", "0.3"};
    QTest::newRow("downwards") << QStringList{"--from=2", "--to=-1", "--step=-1.5"}
                               << QList<QByteArray>{"2", "0.5", "-1"};
    QTest::newRow("only the step")
        << QStringList{"--step", "41"} << QList<QByteArray>{"-41", "0", "41"};
    QTest::newRow("one row") << QStringList{"--from", "7", "--to", "7"} << QList<QByteArray>{"7"};
    QTest::newRow("one row, the finest step")
        << QStringList{"--from", "1", "--to", "1", "--step", "1e-320"} << QList<QByteArray>{"1"};
}

void CommandLineTest::tableWithARange() {
    QFETCH(QStringList, range);
    QFETCH(QList<QByteArray>, xs);
    const Run run = Program(QStringList{QStringLiteral("--table"), Path("sine.cvf")} + range);
    QCOMPARE(run.exitCode, 0);
    const QList<QByteArray> lines = Lines(run.out);
    QCOMPARE(lines.size(), xs.size() + 1);
    for (int i = 0; i < xs.size(); ++i) {
        QCOMPARE(lines[i + 1].split('\t')[0], xs[i]);
    }
}

void CommandLineTest::tableRefusals_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("step 0") << QStringList{"--table", "sine.cvf", "--step", "0"} << 2;
    QTest::newRow("a step of the wrong sign")
        << QStringList{"--table", "sine.cvf", "--from", "1", "--to", "0"} << 2;
    QTest::newRow("too many rows")
        << QStringList{"--table", "sine.cvf", "--to", "1e9", "--step", "1"} << 2;
    QTest::newRow("no number") << QStringList{"--table", "sine.cvf", "--from", "abc"} << 2;
    QTest::newRow("a number with more") << QStringList{"--table", "sine.cvf", "--to", "3x"} << 2;
    QTest::newRow("a range without a table") << QStringList{"--from", "1"} << 2;
    QTest::newRow("with --render")
        << QStringList{"--table", "sine.cvf", "--render", "sine.cvf", "--out", "x.png"} << 2;
    QTest::newRow("an extra file") << QStringList{"--table", "sine.cvf", "gaps.cvf"} << 2;
    QTest::newRow("no such file") << QStringList{"--table", "missing.cvf"} << 1;
    QTest::newRow("no settings file") << QStringList{"--table", "notes.txt"} << 1;
    QTest::newRow("a FIFO") << QStringList{"--table", "pipe.cvf"} << 1;
    QTest::newRow("--set of a name no expression reads")
        << QStringList{"--table", "sine.cvf", "--set", "a=1"} << 1;
    QTest::newRow("--set of x") << QStringList{"--table", "sine.cvf", "--set", "x=1"} << 1;
    QTest::newRow("--set without a window's work") << QStringList{"--set", "a=1"} << 2;
}

void CommandLineTest::tableRefusals() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    if (!QFile::exists(Path("notes.txt"))) {
        QFile notes(Path("notes.txt"));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("not a settings line\n");
        QCOMPARE(mkfifo(QFile::encodeName(Path("pipe.cvf")).constData(), 0600), 0);
    }
    for (QString& argument : arguments) {
        if (argument.endsWith(QStringLiteral(".cvf")) ||
            argument.endsWith(QStringLiteral(".txt"))) {
            argument = m_dir.filePath(argument);
        }
    }
    const Run run = Program(arguments);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY(run.err.startsWith("curvane: "));
    QVERIFY(run.out.isEmpty());
}

void CommandLineTest::renderOnAFullDiskKeepsTheOldPicture_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("limit");
    // A small PNG leaves Qt's write buffer only at the flush; a BMP of the sheet fails on the way.
    QTest::newRow("png, nothing fits") << "old.png" << 1;
    QTest::newRow("png, part fits") << "old.png" << 300;
    QTest::newRow("bmp, part fits") << "old.bmp" << 100000;
}

void CommandLineTest::renderOnAFullDiskKeepsTheOldPicture() {
    QFETCH(QString, name);
    QFETCH(int, limit);
    const QString target = m_dir.filePath(name);
    const QByteArray old = "an older picture";
    {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(old);
    }
    const Run run =
        Program({QStringLiteral("--render"), Path("sine.cvf"), QStringLiteral("--out"), target},
                static_cast<rlim_t>(limit));
    QCOMPARE(run.exitCode, 1);
    // One line, with the system's reason rather than "Unknown error".
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY2(run.err.contains(QFile::encodeName(target)), run.err.constData());
    QVERIFY2(run.err.contains(std::strerror(EFBIG)), run.err.constData());
    QCOMPARE(Contents(target), old);
    QCOMPARE(QDir(m_dir.path()).entryList({name + QStringLiteral("*")}, QDir::Files | QDir::Hidden),
             QStringList{name});
}

void CommandLineTest::tableBeyondTheFileSizeLimitFails() {
    const Run run =
        Program({QStringLiteral("--table"), Path("sine.cvf"), QStringLiteral("--to"),
                 QStringLiteral("100000"), QStringLiteral("--step"), QStringLiteral("1")},
                4096, false, Path("table.txt"));
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY2(run.err.contains(std::strerror(EFBIG)), run.err.constData());
}

// The settings file under another name, through a symbolic or a hard link: refused, untouched.
void CommandLineTest::renderNeverReplacesItsInput() {
    const QString input = Path("input.png");
    QVERIFY(QFile::copy(Path("sine.cvf"), input));
    QVERIFY(QFile::link(input, Path("symbolic.png")));
    QCOMPARE(link(QFile::encodeName(input).constData(), QFile::encodeName(Path("hard.png"))), 0);
    const QByteArray settings = Contents(input);
    for (const char* name : {"input.png", "symbolic.png", "hard.png"}) {
        const Run run =
            Program({QStringLiteral("--render"), input, QStringLiteral("--out"), Path(name)});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("it is the settings file being read"), run.err.constData());
        QCOMPARE(Contents(input), settings);
    }
}

// One reason from both for a file they cannot use, also for one they may not read.
void CommandLineTest::tableAndRenderGiveTheSameReasons() {
    QStringEncoder cp932("windows-31j");
    const QByteArray line = cp932(QString::fromUtf8(SineSettings));
    const QString path = Path("reasons.cvf");
    // Run as nobody where the test runs as root, who may read whatever the permissions say.
    QVERIFY(QFile::setPermissions(m_dir.path(),
                                  QFile::permissions(m_dir.path()) | QFileDevice::ExeOther));
    for (const auto& [bytes, permissions, reason] :
         {std::tuple{line.left(line.lastIndexOf(',')) + "\r\n",
                     QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther,
                     QByteArray("too few fields (51 of 52)")},
          std::tuple{line, QFileDevice::Permissions(), QByteArray(std::strerror(EACCES))}}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        QVERIFY(file.setPermissions(permissions));
        const Run table = Program({QStringLiteral("--table"), path}, 0, true);
        const Run render = Program(
            {QStringLiteral("--render"), path, QStringLiteral("--out"), Path("reasons.png")}, 0,
            true);
        QVERIFY2(table.exitCode == 1 && table.err.contains(reason), table.err.constData());
        QCOMPARE(table.err, render.err);
    }
}

// Names in bytes that are no UTF-8 are opened, written and reported by those bytes. The shell
// spells them, as Qt would not pass them on; $1 is the program.
void CommandLineTest::namesThatAreNoUtf8AreUsedByTheirBytes() {
    QProcess shell;
    shell.setWorkingDirectory(m_dir.path());
    shell.start(QStringLiteral("/bin/sh"),
                {QStringLiteral("-c"),
                 QStringLiteral("in=$(printf 'f\\377.cvf') && out=$(printf 'p\\376.png') && "
                                "cp sine.cvf \"$in\" && \"$1\" --table \"$in\" --from 1 --to 2 && "
                                "\"$1\" --render \"$in\" --out \"$out\" && rm \"$in\" && "
                                "\"$1\" --render \"$(printf 'gone\\377.cvf')\" --out x.png"),
                 QStringLiteral("sh"), QStringLiteral(CURVANE_PROGRAM)});
    QVERIFY(shell.waitForFinished(60000));
    QCOMPARE(Lines(shell.readAllStandardOutput()).size(), 3);
    QCOMPARE(shell.readAllStandardError(),
             QByteArray("curvane: no such settings file: gone\xFF.cvf\n"));
    QCOMPARE(shell.exitCode(), 1);
    const QByteArray picture = QFile::encodeName(m_dir.path()) + "/p\xFE.png";
    QFile file;
    QVERIFY(file.open(open(picture.constData(), O_RDONLY), QIODevice::ReadOnly,
                      QFileDevice::AutoCloseHandle));
    QCOMPARE(file.read(4), QByteArray("\x89PNG"));
    QCOMPARE(unlink(picture.constData()), 0); // Qt could not name it to remove the folder
}

void CommandLineTest::renderRefusesTargetsAndSourcesThatAreNoRegularFile() {
    const QString fifo = Path("fifo.png");
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    Run run =
        Program({QStringLiteral("--render"), Path("sine.cvf"), QStringLiteral("--out"), fifo});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());

    // A FIFO as the settings file: refused at once instead of waiting for a writer.
    run = Program({QStringLiteral("--render"), fifo, QStringLiteral("--out"), Path("out.png")});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY(!QFile::exists(Path("out.png")));

    // A folder named like a picture or a PDF is no file to replace.
    for (const char* name : {"folder.png", "folder.pdf"}) {
        QVERIFY(QDir(m_dir.path()).mkdir(QString::fromLatin1(name)));
        run = Program(
            {QStringLiteral("--render"), Path("sine.cvf"), QStringLiteral("--out"), Path(name)});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY(QFileInfo(Path(name)).isDir());
    }
}

void CommandLineTest::renderSaysWhyAFileIsNoSettingsFile() {
    QStringEncoder cp932("windows-31j");
    QByteArray line = cp932(QString::fromUtf8(SineSettings));
    const QByteArray short51 = line.left(line.lastIndexOf(',')) + "\r\n";
    QByteArray binary = line;
    binary.insert(10, QByteArray(3, '\0'));
    const QList<std::pair<QByteArray, QByteArray>> cases = {
        {short51, "too few fields (51 of 52)"},
        {binary, "NUL bytes"},
        {QByteArray(line).replace("\"sin(x)*20\"", "\"sin(x)\n*20\""), "before field 45"},
    };
    for (const auto& [bytes, reason] : cases) {
        QFile file(Path("bad.cvf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        const Run run = Program({QStringLiteral("--render"), Path("bad.cvf"),
                                 QStringLiteral("--out"), Path("bad.png")});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY2(run.err.contains(QFile::encodeName(Path("bad.cvf"))), run.err.constData());
        QVERIFY2(run.err.contains(reason), run.err.constData());
        QVERIFY(!QFile::exists(Path("bad.png")));
    }
}

void CommandLineTest::helpVersionAndRefusals() {
    Run run = Program({QStringLiteral("--help")});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains("--render <FILE>"));
    QVERIFY(run.out.contains("--out <IMAGE>"));
    QVERIFY(run.out.contains("[FILE.cvf|FILE.cvw]"));
    QVERIFY(run.out.contains("--dpi <N>"));
    for (const char* extension : {".bmp", ".png", ".jpg", ".jpeg", ".pdf", ".svg"}) {
        QVERIFY2(run.out.contains(extension), extension);
    }
    run = Program({QStringLiteral("--version")});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.startsWith("curvane 1."));
    // Refusals: one line on standard error, exit code 2, nothing written.
    for (const QStringList& arguments :
         {QStringList{QStringLiteral("--frobnicate")},
          QStringList{QStringLiteral("--render"), Path("sine.cvf")},
          QStringList{QStringLiteral("--out"), Path("x.png")},
          QStringList{QStringLiteral("--render"), Path("sine.cvf"), QStringLiteral("--out"),
                      Path("x.png"), QStringLiteral("extra.cvf")},
          QStringList{QStringLiteral("a.cvf"), QStringLiteral("b.cvf")}}) {
        run = Program(arguments);
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY(run.out.isEmpty());
    }
    // An option given twice is named, not half obeyed.
    run = Program({"--render", Path("sine.cvf"), "--out", Path("x.png"), "--out=" + Path("y.png")});
    QVERIFY2(run.exitCode == 2 && run.err.contains("--out is given more than once"),
             run.err.constData());
    run = Program({"--table", Path("sine.cvf"), "--step", "1", "--from", "0", "--step", "2"});
    QVERIFY2(run.exitCode == 2 && run.err.contains("--step is given more than once"),
             run.err.constData());
    QVERIFY(!QFile::exists(Path("x.png")) && !QFile::exists(Path("y.png")));
}

void CommandLineTest::renderWritesWhatTheExtensionSays_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<QByteArray>("magic");
    QTest::addColumn<QSize>("size"); // for pictures
    const QSize sheet(331, 253);     // the designed sheet
    const QByteArray jpeg("\xFF\xD8\xFF");
    QTest::newRow("bmp") << "out.bmp" << QStringList() << QByteArray("BM") << sheet;
    QTest::newRow("png") << "out.png" << QStringList() << QByteArray("\x89PNG") << sheet;
    QTest::newRow("PNG in capitals")
        << "OUT.PNG" << QStringList() << QByteArray("\x89PNG") << sheet;
    QTest::newRow("jpg") << "out.jpg" << QStringList() << jpeg << sheet;
    QTest::newRow("jpeg") << "out.jpeg" << QStringList() << jpeg << sheet;
    // 331 × 253 pixels at 300 dpi: 1034.4 × 790.6.
    QTest::newRow("png at 300 dpi")
        << "fine.png" << QStringList{"--dpi", "300"} << QByteArray("\x89PNG") << QSize(1034, 791);
    QTest::newRow("bmp at 192 dpi")
        << "fine.bmp" << QStringList{"--dpi", "192"} << QByteArray("BM") << QSize(662, 506);
    QTest::newRow("pdf") << "out.pdf" << QStringList() << QByteArray("%PDF-") << QSize();
    QTest::newRow("svg") << "out.svg" << QStringList() << QByteArray("<?xml") << QSize();
}

void CommandLineTest::renderWritesWhatTheExtensionSays() {
    QFETCH(QString, name);
    QFETCH(QStringList, extra);
    QFETCH(QByteArray, magic);
    QFETCH(QSize, size);
    const QString target = m_dir.filePath(name);
    const Run run = Program(
        QStringList{QStringLiteral("--render"), Path("sine.cvf"), QStringLiteral("--out"), target} +
        extra);
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.err.isEmpty());
    const QByteArray bytes = Contents(target);
    QCOMPARE(bytes.left(magic.size()), magic);
    if (size.isValid()) {
        QCOMPARE(QImage::fromData(bytes).size(), size);
    } else if (name.endsWith(QStringLiteral(".svg"))) {
        // 331 × 253 pixels at 96 per inch.
        QVERIFY(bytes.contains("width=\"87.5771mm\" height=\"66.9396mm\""));
        QVERIFY(bytes.contains(">20</text>")); // a tick number as text
    }
}

void CommandLineTest::renderRefusesWhatItCannotWrite_data() {
    QTest::addColumn<QStringList>("arguments"); // after --render FILE --out
    QTest::newRow("gif") << QStringList{"out.gif"};
    QTest::newRow("compressed svg") << QStringList{"out.svgz"};
    QTest::newRow("no extension") << QStringList{"out"};
    QTest::newRow("dpi below 96") << QStringList{"out.png", "--dpi", "50"};
    QTest::newRow("dpi above 1200") << QStringList{"out.png", "--dpi", "2400"};
    QTest::newRow("dpi not a number") << QStringList{"out.png", "--dpi", "many"};
    QTest::newRow("dpi for a vector") << QStringList{"out.pdf", "--dpi", "300"};
}

// Refused before anything is drawn: one line on standard error, a non-zero exit, no file.
void CommandLineTest::renderRefusesWhatItCannotWrite() {
    QFETCH(QStringList, arguments);
    QTemporaryDir dir;
    const QString target = dir.filePath(arguments.takeFirst());
    const Run run = Program(
        QStringList{QStringLiteral("--render"), Path("sine.cvf"), QStringLiteral("--out"), target} +
        arguments);
    QVERIFY(run.exitCode != 0);
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY(!QFile::exists(target));
    QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// --set gives the parameters values: the picture and the table are those of the same file with
// the numbers written in place of the names; a name that is no parameter of the file, a value
// that is no number and a text without = are refused, naming what is wrong.
void CommandLineTest::setDrawsAsTheNumberWrittenInPlace() {
    const QString sine = QString::fromUtf8(SineSettings);
    QStringEncoder cp932("windows-31j");
    for (const auto& [name, expression] : {std::pair{"family.cvf", "a*sin(x)*20+c"},
                                           std::pair{"written.cvf", "(-1.5)*sin(x)*20+(2.25)"}}) {
        QFile file(Path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(cp932(
            QString(sine).replace(QStringLiteral("sin(x)*20"), QString::fromUtf8(expression))));
    }
    const QStringList set{"--set", "a=-1.5", "--set", "c = 2.25"};
    for (const char* out : {"set.png", "written.png"}) {
        const bool withSet = QByteArray(out) == "set.png";
        const Run run =
            Program(QStringList{"--render", Path(withSet ? "family.cvf" : "written.cvf"), "--out",
                                Path(out)} +
                    (withSet ? set : QStringList()));
        QCOMPARE(run.exitCode, 0);
    }
    const QImage withSet(Path("set.png"));
    QVERIFY(!withSet.isNull());
    QCOMPARE(withSet, QImage(Path("written.png")));
    const Run table = Program(QStringList{"--table", Path("family.cvf")} + set);
    QCOMPARE(table.exitCode, 0);
    QCOMPARE(table.out, Program({"--table", Path("written.cvf")}).out);
    QVERIFY(table.out != Program({"--table", Path("family.cvf")}).out); // both at 0
    for (const auto& [argument, named] :
         {std::pair{"b=1", "b"}, std::pair{"a=one", "one"}, std::pair{"a", "a"}}) {
        const Run refused = Program({"--render", Path("family.cvf"), "--out", Path("no.png"),
                                     "--set", "c=1", "--set", argument});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains(named), refused.err.constData());
        QVERIFY(!QFile::exists(Path("no.png")));
    }
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"

void CommandLineTest::integralAndDerivative_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<double>("value");   // what is printed, when the exit code is 0
    QTest::addColumn<QString>("reason"); // a part of the line on standard error otherwise
    const double none = 0.0;
    QTest::newRow("integral") << QStringList{"--integral", "sine.cvf", "--fn", "1",
                                             "--from",     "0",        "--to", "3.14159265358979"}
                              << 0 << 40.0 << "";
    QTest::newRow("in degrees") << QStringList{"--integral", "degrees.cvf", "--fn", "1",
                                               "--from",     "0",           "--to", "180"}
                                << 0 << 40.0 << "";
    QTest::newRow("a difference") << QStringList{"--integral", "gaps.cvf", "--fn",   "3",
                                                 "--minus",    "1",        "--from", "1",
                                                 "--to",       "4"}
                                  << 0 << 14.0 / 3.0 - std::log(4.0) << "";
    QTest::newRow("slope") << QStringList{"--derivative", "sine.cvf", "--fn", "1", "--at", "0"} << 0
                           << 20.0 << "";
    QTest::newRow("slope in degrees")
        << QStringList{"--derivative", "degrees.cvf", "--fn", "1", "--at", "60"} << 0 << 10.0 << "";
    QTest::newRow("over a pole") << QStringList{"--integral", "gaps.cvf", "--fn", "1",
                                                "--from",     "-1",       "--to", "1"}
                                 << 3 << none << "no integral: no value at x = 0";
    QTest::newRow("up to a pole") << QStringList{"--integral", "gaps.cvf", "--fn", "1",
                                                 "--from",     "0",        "--to", "1"}
                                  << 3 << none << "no integral: it does not converge near x = 0";
    QTest::newRow("slope at a pole")
        << QStringList{"--derivative", "gaps.cvf", "--fn", "1", "--at", "0"} << 3 << none
        << "no slope at x = 0: the function has no value there";
    QTest::newRow("slope at an edge")
        << QStringList{"--derivative", "gaps.cvf", "--fn", "3", "--at", "0"} << 3 << none
        << "no slope at x = 0: the function has no value right beside it";
    QTest::newRow("an empty function")
        << QStringList{"--derivative", "gaps.cvf", "--fn", "2", "--at", "0"} << 1 << none
        << "F2 has no expression";
    for (const auto& [name, arguments] :
         {std::pair{"--fn alone", QStringList{"--fn", "1"}},
          std::pair{"no --fn", QStringList{"--integral", "sine.cvf", "--from", "0", "--to", "1"}},
          std::pair{"--fn 4", QStringList{"--derivative", "sine.cvf", "--fn", "4", "--at", "0"}},
          std::pair{"--at for an integral", QStringList{"--integral", "sine.cvf", "--fn", "1",
                                                        "--from", "0", "--to", "1", "--at", "0"}},
          std::pair{"--minus the same", QStringList{"--integral", "sine.cvf", "--fn", "1",
                                                    "--minus", "1", "--from", "0", "--to", "1"}},
          std::pair{"no --to", QStringList{"--integral", "sine.cvf", "--fn", "1", "--from", "0"}},
          std::pair{"with --table", QStringList{"--integral", "sine.cvf", "--fn", "1", "--from",
                                                "0", "--to", "1", "--table", "sine.cvf"}},
          std::pair{"both", QStringList{"--integral", "sine.cvf", "--derivative", "sine.cvf",
                                        "--fn", "1", "--at", "0"}}}) {
        QTest::newRow(name) << arguments << 2 << none << "(see curvane --help)";
    }
}

void CommandLineTest::integralAndDerivative() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(double, value);
    QFETCH(QString, reason);
    for (QString& argument : arguments) {
        if (argument.endsWith(QStringLiteral(".cvf"))) {
            argument = m_dir.filePath(argument);
        }
    }
    const Run run = Program(arguments);
    QCOMPARE(run.exitCode, exitCode);
    if (exitCode != 0) {
        QVERIFY(run.out.isEmpty());
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY2(run.err.startsWith("curvane: ") && run.err.contains(reason.toUtf8()),
                 run.err.constData());
        return;
    }
    QVERIFY(run.err.isEmpty());
    QVERIFY(run.out.endsWith('\n') && run.out.count('\n') == 1);
    bool ok = false;
    const double printed = run.out.trimmed().toDouble(&ok);
    QVERIFY(ok);
    QVERIFY2(std::fabs(printed - value) <= 1e-9 * std::fabs(value), run.out.constData());
    // The shortest text that reads back as that double.
    QCOMPARE(run.out.trimmed(), QByteArray::number(printed, 'g', QLocale::FloatingPointShortest));
}
