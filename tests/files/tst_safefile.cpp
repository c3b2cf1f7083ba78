#include "files/pdfcheck.h"
#include "files/safefile.h"

#include <QtCore/QBuffer>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QRandomGenerator>
#include <QtCore/QTemporaryDir>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QPdfWriter>
#include <QtTest/QtTest>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// What a write in a child process reported: the Japanese reason and the system's words.
struct ChildOutcome {
    bool exited = false;
    QString japanese;
    QString system;
};

// Runs write in a child process whose files may not grow past limit bytes, with SIGXFSZ
// ignored: every write beyond the limit then fails with EFBIG, as on a full disk.
ChildOutcome WriteWithFileSizeLimit(rlim_t limit, const std::function<FileProblem()>& write) {
    int channel[2];
    if (pipe(channel) != 0) {
        return {};
    }
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        const rlimit small{limit, limit};
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        const FileProblem problem = write();
        const QByteArray report = (problem.japanese + QChar('\n') + problem.system).toUtf8();
        [[maybe_unused]] const ssize_t sent = ::write(channel[1], report.data(), report.size());
        _exit(problem.Failed() ? 1 : 0);
    }
    close(channel[1]);
    QByteArray report;
    char buffer[512];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) {
        report.append(buffer, n);
    }
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    const QStringList parts = QString::fromUtf8(report).split(QChar('\n'));
    return {WIFEXITED(status) && WEXITSTATUS(status) == 1, parts.value(0), parts.value(1)};
}

} // namespace

class SafeFileTest : public QObject {
    Q_OBJECT
private slots:
    void writesAndReplacesWholeFiles();
    void fullDiskKeepsTheOldFile_data();
    void fullDiskKeepsTheOldFile();
    void imageOnAFullDiskKeepsTheOldFile();
    void targetsThatAreNoRegularFileAreRefused_data();
    void targetsThatAreNoRegularFileAreRefused();
    void replacedFilesKeepTheirPermissionBits_data();
    void replacedFilesKeepTheirPermissionBits();
    void fileNamesAreTheirBytes();
    void draftsWrittenByNameReplaceOnlyWhenWhole();
    void sourcesThatAreNoRegularFileAreRefusedWithoutBlocking();
    void readsAreBoundedAndReasoned();
    void systemTextsBecomeJapaneseReasons_data();
    void systemTextsBecomeJapaneseReasons();

private:
    QTemporaryDir m_dir;
    QString Path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
};

void SafeFileTest::writesAndReplacesWholeFiles() {
    const QString path = Path("whole.cvf");
    QVERIFY(!WriteBytesSafely(path, "first").Failed());
    QCOMPARE(Contents(path), QByteArray("first"));
    QVERIFY(!WriteBytesSafely(path, "second, longer").Failed());
    QCOMPARE(Contents(path), QByteArray("second, longer"));
    // No temporary file is left beside it.
    QCOMPARE(
        QDir(m_dir.path()).entryList({QStringLiteral("whole.cvf*")}, QDir::Files | QDir::Hidden),
        QStringList{QStringLiteral("whole.cvf")});
}

void SafeFileTest::fullDiskKeepsTheOldFile_data() {
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("size");
    // A settings line stays in Qt's write buffer until the flush; a large file fails on the way.
    QTest::newRow("tiny file, room for part of it") << 40 << 300;
    QTest::newRow("tiny file, no room at all") << 0 << 300;
    QTest::newRow("large file") << 64 * 1024 << 3 * 1024 * 1024;
}

void SafeFileTest::fullDiskKeepsTheOldFile() {
    QFETCH(int, limit);
    QFETCH(int, size);
    const QString path = Path("full.cvf");
    const QByteArray old = "the good old settings line\r\n";
    Put(path, old);
    const QByteArray fresh(size, 'n');
    const ChildOutcome outcome = WriteWithFileSizeLimit(
        static_cast<rlim_t>(limit), [&] { return WriteBytesSafely(path, fresh); });
    QVERIFY2(outcome.exited, "the write must report its failure");
    QCOMPARE(outcome.japanese, QStringLiteral("ファイルが大きすぎます"));
    QCOMPARE(outcome.system, QString::fromLocal8Bit(std::strerror(EFBIG)));
    QCOMPARE(Contents(path), old);
    // Nor is a temporary file left beside it.
    QCOMPARE(
        QDir(m_dir.path()).entryList({QStringLiteral("full.cvf*")}, QDir::Files | QDir::Hidden),
        QStringList{QStringLiteral("full.cvf")});
}

void SafeFileTest::imageOnAFullDiskKeepsTheOldFile() {
    const QString path = Path("sheet.png");
    const QByteArray old = "an older picture";
    Put(path, old);
    QImage image(331, 253, QImage::Format_RGB32);
    image.fill(Qt::white);
    const ChildOutcome outcome =
        WriteWithFileSizeLimit(100, [&] { return WriteImageSafely(path, image, "png"); });
    QVERIFY(outcome.exited);
    QCOMPARE(Contents(path), old);
    // With room, the same picture is written and reads back.
    QVERIFY(!WriteImageSafely(path, image, "png").Failed());
    QCOMPARE(QImage(path).size(), QSize(331, 253));
}

void SafeFileTest::targetsThatAreNoRegularFileAreRefused_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("fifo") << "fifo";
    QTest::newRow("link to a fifo") << "link";
    QTest::newRow("socket") << "socket";
    QTest::newRow("folder") << "folder";
}

// Made in a folder of the test's own: a writer that lost its refusal fails the test there and
// harms nothing else; the FIFO has a reader, so such a writer cannot block either.
void SafeFileTest::targetsThatAreNoRegularFileAreRefused() {
    QFETCH(QString, kind);
    const QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("target"));
    const QByteArray name = QFile::encodeName(target);
    int reader = -1;
    if (kind == QStringLiteral("folder")) {
        QVERIFY(QDir().mkpath(target));
    } else if (kind == QStringLiteral("socket")) {
        sockaddr_un address{AF_UNIX, {}};
        std::strncpy(address.sun_path, name.constData(), sizeof address.sun_path - 1);
        const int server = socket(AF_UNIX, SOCK_STREAM, 0);
        QCOMPARE(bind(server, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        close(server);
    } else {
        QCOMPARE(mkfifo(name.constData(), 0600), 0);
        reader = open(name.constData(), O_RDONLY | O_NONBLOCK);
    }
    const QString path =
        kind == QStringLiteral("link") ? dir.filePath(QStringLiteral("l")) : target;
    QVERIFY(path == target || QFile::link(target, path));
    const FileProblem problem = WriteBytesSafely(path, "never");
    QVERIFY(problem.japanese.contains(QStringLiteral("通常のファイルではない")));
    QVERIFY(problem.MessageText(path).startsWith(path));
    QVERIFY(WriteByNameSafely(path, [](const QString&) { return FileProblem{}; }).Failed());
    // The target is what it was, and nothing went into it.
    const QFileInfo info(target);
    QVERIFY(info.exists() && !info.isFile());
    char byte = 0;
    QVERIFY(reader < 0 || (read(reader, &byte, 1) == 0 && close(reader) == 0));
}

void SafeFileTest::replacedFilesKeepTheirPermissionBits_data() {
    QTest::addColumn<int>("mode"); // -1: no file before
    QTest::newRow("a new file") << -1;
    QTest::newRow("group reads") << 0640;
    QTest::newRow("others read, the group not") << 0604;
    QTest::newRow("read-only") << 0444;
}

void SafeFileTest::replacedFilesKeepTheirPermissionBits() {
    QFETCH(int, mode);
    const QString path = Path("kept.cvf");
    const mode_t mask = umask(022);
    umask(mask);
    // Only root may replace a file that is protected from writing.
    const bool replaced = mode < 0 || (mode & 0200) != 0 || geteuid() == 0;
    for (const bool byName : {false, true}) {
        QFile::remove(path);
        if (mode >= 0) {
            Put(path, "old");
            QCOMPARE(chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
        }
        const auto draft = [](const QString& name) {
            Put(name, "new");
            return FileProblem{};
        };
        const FileProblem problem =
            byName ? WriteByNameSafely(path, draft) : WriteBytesSafely(path, "new");
        QCOMPARE(problem.Failed(), !replaced);
        QCOMPARE(Contents(path), replaced ? QByteArray("new") : QByteArray("old"));
        struct stat info {};
        QCOMPARE(stat(QFile::encodeName(path).constData(), &info), 0);
        QCOMPARE(int(info.st_mode & 07777), mode < 0 ? int(0666 & ~mask) : mode);
    }
}

// Any bytes come back as they were, and valid UTF-8 reads as its characters: names pieced from
// characters, stray and cut sequences, an encoded surrogate, an overlong form, beyond U+10FFFF.
void SafeFileTest::fileNamesAreTheirBytes() {
    const QByteArray pieces[] = {"a",        "\xC3\xA9",        "\xE3\x81\x82", "\xF0\x9F\x98\x80",
                                 "\xFF",     "\xE3\x81",        "\x80",         "\xED\xB2\x80",
                                 "\xC0\xAF", "\xF4\x90\x80\x80"};
    QRandomGenerator random(24);
    for (int i = 0; i < 5000; ++i) {
        QByteArray bytes;
        for (int n = random.bounded(1, 6); n > 0; --n) {
            bytes += pieces[random.bounded(int(std::size(pieces)))];
        }
        const QString text = QString::fromUtf8(bytes);
        QCOMPARE(FileNameBytes(FileNameOfBytes(bytes)), bytes);
        QCOMPARE(FileNameOfBytes(bytes) == text, text.toUtf8() == bytes);
    }
}

void SafeFileTest::draftsWrittenByNameReplaceOnlyWhenWhole() {
    QByteArray pdf; // as Qt's writer makes one
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        QPainter(&writer).fillRect(100, 200, 3000, 2000, Qt::blue);
    }
    const QString path = Path("page.pdf");
    Put(path, "old");
    const auto print = [&](const QByteArray& bytes) {
        return WriteByNameSafely(path, [&](const QString& draft) {
            Put(draft, bytes);
            return CheckPdfComplete(draft);
        });
    };
    // Cut short anywhere (every length near the header and the trailer), or with a block lost
    // on the way: the old file stays, and no draft.
    const qsizetype whole = pdf.lastIndexOf("%%EOF") + 5;
    for (qsizetype size = 0; size < whole; size += size < 64 || size > whole - 256 ? 1 : 29) {
        QVERIFY2(print(pdf.left(size)).Failed(), qPrintable(QString::number(size)));
    }
    QVERIFY(print(QByteArray(pdf).remove(whole / 2, 64)).Failed());
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).filter("page"),
             QStringList{QStringLiteral("page.pdf")});
    QCOMPARE(Contents(path), QByteArray("old"));
    QVERIFY(!print(pdf).Failed());
    QCOMPARE(Contents(path), pdf);
}

void SafeFileTest::sourcesThatAreNoRegularFileAreRefusedWithoutBlocking() {
    const QString fifo = Path("fifo-source");
    QFile::remove(fifo);
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QElapsedTimer timer;
    timer.start();
    QByteArray bytes;
    QVERIFY(ReadFileWhole(fifo, 1024, bytes).Failed());
    QVERIFY(CheckReadable(fifo).Failed());
    QVERIFY(CheckReadable(m_dir.path()).Failed());
    QVERIFY(timer.elapsed() < 5000); // opening the FIFO would wait for a writer for ever
    const FileProblem missing = CheckReadable(Path("not-there.cvf"));
    QCOMPARE(missing.japanese, QStringLiteral("ファイルが見つかりません"));
}

void SafeFileTest::readsAreBoundedAndReasoned() {
    const QString path = Path("read.cvf");
    Put(path, QByteArray(100, 'r'));
    QByteArray bytes;
    QVERIFY(!ReadFileWhole(path, 100, bytes).Failed());
    QCOMPARE(bytes.size(), 100);
    bytes.clear();
    const FileProblem tooLarge = ReadFileWhole(path, 99, bytes);
    QCOMPARE(tooLarge.japanese, QStringLiteral("ファイルが大きすぎます"));
    QVERIFY(bytes.isEmpty());
    QFile::setPermissions(path, QFileDevice::WriteOwner);
    if (geteuid() != 0) { // root reads whatever the permissions say
        QCOMPARE(ReadFileWhole(path, 100, bytes).japanese,
                 QStringLiteral("アクセスが許可されていません"));
    }
}

void SafeFileTest::systemTextsBecomeJapaneseReasons_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("japanese");
    QTest::newRow("disk full") << ENOSPC << QStringLiteral("ディスクの空き領域が足りません");
    QTest::newRow("too large") << EFBIG << QStringLiteral("ファイルが大きすぎます");
    QTest::newRow("read-only") << EROFS << QStringLiteral("読み取り専用の場所です");
    QTest::newRow("no access") << EACCES << QStringLiteral("アクセスが許可されていません");
}

void SafeFileTest::systemTextsBecomeJapaneseReasons() {
    QFETCH(int, code);
    QFETCH(QString, japanese);
    const QString system = QString::fromLocal8Bit(std::strerror(code));
    // Qt wraps the C library's words in its own sentence.
    const FileProblem problem = ProblemFromSystemText(QStringLiteral("Cannot write: ") + system);
    QCOMPARE(problem.japanese, japanese);
    QCOMPARE(problem.system, system);
    const FileProblem unknown = ProblemFromSystemText(QStringLiteral("Something odd"));
    QCOMPARE(unknown.japanese, QStringLiteral("ファイルの読み書きに失敗しました"));
    QCOMPARE(unknown.system, QStringLiteral("Something odd"));
}

QTEST_GUILESS_MAIN(SafeFileTest)
#include "tst_safefile.moc"
