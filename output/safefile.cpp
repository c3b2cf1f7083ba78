#include "output/safefile.h"

#include <QtCore/QBuffer>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QSaveFile>
#include <QtGui/QImage>
#include <QtGui/QImageWriter>
#include <cerrno>
#include <cstring>

namespace {

// The causes a user can do something about, in the words of the rest of the interface.
struct KnownCause {
    int code;
    const char* japanese;
};
constexpr KnownCause KnownCauses[] = {
    {ENOSPC, "ディスクの空き領域が足りません"},            // no space left on the disk
    {EDQUOT, "ディスクの使用量の上限を超えます"},          // disk quota exceeded
    {EFBIG, "ファイルが大きすぎます"},                     // file too large
    {EACCES, "アクセスが許可されていません"},              // permission denied
    {EPERM, "アクセスが許可されていません"},               // operation not permitted
    {EROFS, "読み取り専用の場所です"},                     // read-only file system
    {ENOENT, "ファイルまたはフォルダが見つかりません"},    // no such file or folder
    {ENOTDIR, "パスの途中にフォルダでないものがあります"}, // not a directory
    {EISDIR, "フォルダです"},                              // is a directory
    {ENAMETOOLONG, "ファイル名が長すぎます"},              // file name too long
    {EIO, "入出力エラーが起きました"},                     // input/output error
    {ETXTBSY, "使用中のファイルです"},                     // text file busy
    {EMFILE, "開いているファイルが多すぎます"},            // too many open files
};

// "ファイルの読み書きに失敗しました" = reading or writing the file failed
const char* const UnknownCause = "ファイルの読み書きに失敗しました";

FileProblem Problem(const char* japanese, const QString& system) {
    return {QString::fromUtf8(japanese), system};
}

} // namespace

QString FileProblem::MessageText(const QString& path) const {
    QString text = path + QStringLiteral("\n") + japanese;
    if (!system.isEmpty()) {
        text += QStringLiteral("（") + system + QStringLiteral("）");
    }
    return text;
}

FileProblem ProblemFromSystemText(const QString& systemText) {
    for (const KnownCause& cause : KnownCauses) {
        // Qt's file classes report the C library's text for errno, in the same locale.
        const QString known = QString::fromLocal8Bit(std::strerror(cause.code));
        if (!known.isEmpty() && systemText.contains(known, Qt::CaseInsensitive)) {
            return Problem(cause.japanese, known);
        }
    }
    return Problem(UnknownCause, systemText);
}

FileProblem CheckWritable(const QString& path) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        // "通常のファイルではないので書き込みません" = not a regular file, so nothing is written
        return Problem("通常のファイルではない（フォルダ、FIFO、デバイスなど）ので書き込みません",
                       QStringLiteral("not a regular file"));
    }
    return {};
}

FileProblem CheckReadable(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return Problem("ファイルが見つかりません", // the file cannot be found
                       QString::fromLocal8Bit(std::strerror(ENOENT)));
    }
    if (!info.isFile()) {
        // "通常のファイルではないので読み込みません" = not a regular file, so nothing is read
        return Problem("通常のファイルではない（フォルダ、FIFO、デバイスなど）ので読み込みません",
                       QStringLiteral("not a regular file"));
    }
    return {};
}

FileProblem WriteFileSafely(const QString& path, const std::function<bool(QIODevice&)>& write) {
    if (const FileProblem refused = CheckWritable(path); refused.Failed()) {
        return refused;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return ProblemFromSystemText(file.errorString());
    }
    // Qt reports a write that got only part of its bytes out as "Unknown error"; the C
    // library's errno still says why, so it is read right after each step that can fail.
    errno = 0;
    const bool written = write(file);
    int cause = errno;
    // A short file sits in Qt's buffer until the flush; commit() would flush it itself but
    // not notice a failure there and put an empty file in place of the old one.
    bool flushed = false;
    if (written) {
        errno = 0;
        flushed = file.flush();
        cause = errno;
    }
    if (!flushed || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        if (cause != 0) {
            return ProblemFromSystemText(QString::fromLocal8Bit(std::strerror(cause)));
        }
        return written || file.error() != QFileDevice::NoError ? ProblemFromSystemText(reason)
                                                               : Problem(UnknownCause, reason);
    }
    if (!file.commit()) {
        return ProblemFromSystemText(file.errorString());
    }
    return {};
}

FileProblem WriteBytesSafely(const QString& path, const QByteArray& bytes) {
    return WriteFileSafely(path,
                           [&](QIODevice& device) { return device.write(bytes) == bytes.size(); });
}

FileProblem WriteImageSafely(const QString& path, const QImage& image, const char* format) {
    // Encoded in memory first: an encoder's failure is then told apart from the disk's.
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image)) {
        // "画像を変換できませんでした" = the picture could not be encoded
        return Problem("画像を変換できませんでした", writer.errorString());
    }
    return WriteBytesSafely(path, encoded);
}

FileProblem ReadFileWhole(const QString& path, qint64 maxBytes, QByteArray& bytes) {
    if (const FileProblem refused = CheckReadable(path); refused.Failed()) {
        return refused;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return ProblemFromSystemText(file.errorString());
    }
    if (file.size() > maxBytes) {
        return Problem("ファイルが大きすぎます", // the file is too large
                       QString::fromLocal8Bit(std::strerror(EFBIG)));
    }
    bytes = file.read(maxBytes);
    if (file.error() != QFileDevice::NoError) {
        return ProblemFromSystemText(file.errorString());
    }
    return {};
}
