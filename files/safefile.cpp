#include "files/safefile.h"

#include <QtCore/QBuffer>
#include <QtCore/QFile>
#include <QtCore/QRandomGenerator>
#include <QtGui/QImage>
#include <QtGui/QImageWriter>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

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

QString SystemText(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

FileProblem NotRegularToWrite() {
    // "通常のファイルではないので書き込みません" = not a regular file, so nothing is written
    return Problem("通常のファイルではない（フォルダ、FIFO、デバイスなど）ので書き込みません",
                   QStringLiteral("not a regular file"));
}

FileProblem NotRegularToRead() {
    // "通常のファイルではないので読み込みません" = not a regular file, so nothing is read
    return Problem("通常のファイルではない（フォルダ、FIFO、デバイスなど）ので読み込みません",
                   QStringLiteral("not a regular file"));
}

// The length of the UTF-8 sequence at p that makes one character; 0 when none does (a stray
// byte, a cut or overlong sequence, a surrogate, a code point beyond U+10FFFF).
qsizetype CharacterLength(const uchar* p, qsizetype left) {
    if (p[0] < 0x80) {
        return 1;
    }
    const int length = p[0] >= 0xF0 ? 4 : p[0] >= 0xE0 ? 3 : p[0] >= 0xC0 ? 2 : 0;
    if (length == 0 || p[0] >= 0xF8 || left < length) {
        return 0;
    }
    char32_t code = p[0] & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        if ((p[k] & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (p[k] & 0x3F);
    }
    constexpr char32_t Least[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool valid =
        code >= Least[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    return valid ? length : 0;
}

// A lone low surrogate in the escapes' range stands for the byte it was made from; one that
// completes a pair is part of a character.
bool IsEscapedByte(const QString& name, qsizetype i) {
    const char16_t c = name[i].unicode();
    return c >= 0xDC80 && c <= 0xDCFF && (i == 0 || !name[i - 1].isHighSurrogate());
}

// The file a write replaces: the target after its symbolic links, and its permission bits when
// it exists.
struct Target {
    QByteArray path;
    bool exists = false;
    mode_t mode = 0;
};

FileProblem FindTarget(const QString& path, Target& target) {
    QByteArray name = FileNameBytes(path);
    if (name.isEmpty()) {
        return ProblemFromErrno(ENOENT);
    }
    // As many links as the system itself follows.
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info {};
        if (::lstat(name.constData(), &info) != 0) {
            if (errno != ENOENT) {
                return ProblemFromErrno(errno);
            }
            target = {name, false, 0};
            return {};
        }
        if (!S_ISLNK(info.st_mode)) {
            if (!S_ISREG(info.st_mode)) {
                return NotRegularToWrite();
            }
            // A file its owner protected from writing stays as it is.
            if (::access(name.constData(), W_OK) != 0) {
                return ProblemFromErrno(errno);
            }
            target = {name, true, info.st_mode & 0777};
            return {};
        }
        QByteArray link(PATH_MAX, '\0');
        const ssize_t length = ::readlink(name.constData(), link.data(), link.size());
        if (length < 0) {
            return ProblemFromErrno(errno);
        }
        link.truncate(length);
        if (!link.startsWith('/')) {
            link.prepend(name.left(name.lastIndexOf('/') + 1));
        }
        name = link;
    }
    return ProblemFromErrno(ELOOP);
}

// The new content's file beside the target, in the same folder so that putting it in place is
// one rename on one file system; removed again unless committed.
class Draft {
public:
    Draft() = default;
    Draft(const Draft&) = delete;
    Draft& operator=(const Draft&) = delete;
    ~Draft() {
        if (m_handle >= 0) {
            ::close(m_handle);
        }
        if (!m_path.isEmpty() && !m_committed) {
            ::unlink(m_path.constData());
        }
    }

    FileProblem Create(const Target& target) {
        const qsizetype slash = target.path.lastIndexOf('/');
        // The target's own name first, as long as the result stays a legal name.
        const QByteArray stem = target.path.size() - slash < NAME_MAX - 16
                                    ? target.path
                                    : target.path.left(slash + 1) + ".curvane";
        // Private until it is complete; a new file gets the permissions the user's mask gives.
        const mode_t mode = target.exists ? 0600 : 0666;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QByteArray path =
                stem + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
            m_handle = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (m_handle >= 0) {
                m_path = path;
                return {};
            }
            if (errno != EEXIST) {
                return ProblemFromErrno(errno);
            }
        }
        return ProblemFromErrno(EEXIST);
    }

    int Handle() const { return m_handle; }
    const QByteArray& Path() const { return m_path; }

    // A name for a writer that opens the draft itself: its own, unless Qt would spell that name
    // differently, then the name through which the system leads to the open draft.
    QString NameForQt() const {
        const QString name = FileNameOfBytes(m_path);
        return QFile::encodeName(name) == m_path ? name
                                                 : QStringLiteral("/proc/self/fd/%1").arg(m_handle);
    }

    // Why a writer that does not say why came out short: a disk without space, or a file at the
    // size limit of the process; nothing when neither is the case.
    FileProblem SpaceProblem() const {
        struct statvfs disk {};
        if (::fstatvfs(m_handle, &disk) == 0 &&
            (::geteuid() == 0 ? disk.f_bfree : disk.f_bavail) == 0) {
            return ProblemFromErrno(ENOSPC);
        }
        struct stat info {};
        rlimit limit{};
        if (::fstat(m_handle, &info) == 0 && ::getrlimit(RLIMIT_FSIZE, &limit) == 0 &&
            limit.rlim_cur != RLIM_INFINITY &&
            static_cast<rlim_t>(info.st_size) >= limit.rlim_cur) {
            return ProblemFromErrno(EFBIG);
        }
        return {};
    }

    // The data on the disk before the name changes (a disk that turns out full only now must not
    // cost the old file), the old file's permission bits, then the replacement.
    FileProblem Commit(const Target& target) {
        if (::fsync(m_handle) != 0 && errno != EINVAL) {
            return ProblemFromErrno(errno);
        }
        if (target.exists && ::fchmod(m_handle, target.mode) != 0) {
            return ProblemFromErrno(errno);
        }
        if (::rename(m_path.constData(), target.path.constData()) != 0) {
            return ProblemFromErrno(errno);
        }
        m_committed = true;
        return {};
    }

private:
    QByteArray m_path;
    int m_handle = -1;
    bool m_committed = false;
};

// The target found, a draft made beside it and filled, then put in its place unless fill
// failed; the draft goes in any case.
FileProblem WriteDraft(const QString& path, const std::function<FileProblem(Draft&)>& fill) {
    Target target;
    if (const FileProblem refused = FindTarget(path, target); refused.Failed()) {
        return refused;
    }
    Draft draft;
    if (const FileProblem failed = draft.Create(target); failed.Failed()) {
        return failed;
    }
    if (const FileProblem failed = fill(draft); failed.Failed()) {
        return failed;
    }
    return draft.Commit(target);
}

} // namespace

QString FileProblem::MessageText(const QString& path) const {
    QString text = path + QStringLiteral("\n") + japanese;
    if (!system.isEmpty()) {
        text += QStringLiteral("（") + system + QStringLiteral("）");
    }
    return text;
}

QString FileNameOfBytes(const QByteArray& bytes) {
    QString name;
    name.reserve(bytes.size());
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    qsizetype start = 0; // the first byte not yet in name
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype length = CharacterLength(p + i, bytes.size() - i);
        if (length > 0) {
            i += length;
            continue;
        }
        name += QString::fromUtf8(bytes.constData() + start, i - start);
        name += QChar(char16_t(0xDC00 + p[i]));
        start = ++i;
    }
    name += QString::fromUtf8(bytes.constData() + start, bytes.size() - start);
    return name;
}

QByteArray FileNameBytes(const QString& name) {
    QByteArray bytes;
    qsizetype start = 0; // the first character not yet in bytes
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (IsEscapedByte(name, i)) {
            bytes += QStringView(name).mid(start, i - start).toUtf8();
            bytes += static_cast<char>(name[i].unicode() - 0xDC00);
            start = i + 1;
        }
    }
    bytes += QStringView(name).mid(start).toUtf8();
    return bytes;
}

FileProblem ProblemFromErrno(int code) {
    for (const KnownCause& cause : KnownCauses) {
        if (cause.code == code) {
            return Problem(cause.japanese, SystemText(code));
        }
    }
    return Problem(UnknownCause, SystemText(code));
}

FileProblem ProblemFromSystemText(const QString& systemText) {
    for (const KnownCause& cause : KnownCauses) {
        // Qt's file classes report the C library's text for errno, in the same locale.
        const QString known = SystemText(cause.code);
        if (!known.isEmpty() && systemText.contains(known, Qt::CaseInsensitive)) {
            return Problem(cause.japanese, known);
        }
    }
    return Problem(UnknownCause, systemText);
}

FileProblem CheckWritable(const QString& path) {
    Target target;
    return FindTarget(path, target);
}

FileProblem CheckReadable(const QString& path) {
    struct stat info {};
    if (::stat(FileNameBytes(path).constData(), &info) != 0) {
        if (errno == ENOENT) {
            return Problem("ファイルが見つかりません", SystemText(ENOENT)); // cannot be found
        }
        return ProblemFromErrno(errno);
    }
    return S_ISREG(info.st_mode) ? FileProblem{} : NotRegularToRead();
}

bool SameFile(const QString& a, const QString& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(FileNameBytes(a).constData(), &first) == 0 &&
           ::stat(FileNameBytes(b).constData(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

FileProblem WriteFileSafely(const QString& path, const std::function<bool(QIODevice&)>& write) {
    return WriteDraft(path, [&](Draft& draft) {
        QFile file;
        if (!file.open(draft.Handle(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
            return ProblemFromSystemText(file.errorString());
        }
        // Qt reports a write that got only part of its bytes out as "Unknown error"; the C
        // library's errno still says why, so it is read right after each step that can fail.
        errno = 0;
        const bool written = write(file);
        int cause = errno;
        // A short file sits in Qt's buffer until the flush, and a failure there would otherwise
        // go unnoticed.
        bool flushed = false;
        if (written) {
            errno = 0;
            flushed = file.flush();
            cause = errno;
        }
        if (flushed && file.error() == QFileDevice::NoError) {
            return FileProblem{};
        }
        if (cause != 0) {
            return ProblemFromErrno(cause);
        }
        // A writer that stopped without a word from the system (an image encoder, say) ran into
        // a full disk or the file-size limit as often as not.
        if (const FileProblem space = draft.SpaceProblem(); space.Failed()) {
            return space;
        }
        return written || file.error() != QFileDevice::NoError
                   ? ProblemFromSystemText(file.errorString())
                   : Problem(UnknownCause, file.errorString());
    });
}

FileProblem WriteByNameSafely(const QString& path,
                              const std::function<FileProblem(const QString& draft)>& write) {
    return WriteDraft(path, [&](Draft& draft) {
        const FileProblem failed = write(draft.NameForQt());
        const FileProblem space = failed.Failed() ? draft.SpaceProblem() : FileProblem{};
        return space.Failed() ? space : failed;
    });
}

FileProblem WriteBytesSafely(const QString& path, const QByteArray& bytes) {
    return WriteFileSafely(path,
                           [&](QIODevice& device) { return device.write(bytes) == bytes.size(); });
}

FileProblem WriteImageSafely(const QString& path, const QImage& image, const char* format) {
    // Encoded straight into the draft: a large picture is not held a second time in memory. An
    // encoder's failure is told apart from the disk's by what the writer says of it.
    QString encoderProblem;
    const FileProblem failure = WriteFileSafely(path, [&](QIODevice& device) {
        QImageWriter writer(&device, format);
        if (writer.write(image)) {
            return true;
        }
        // An encoder that failed on a device error says so only at times; the file knows.
        const auto* file = qobject_cast<const QFileDevice*>(&device);
        const bool deviceFailed = writer.error() == QImageWriter::DeviceError ||
                                  (file != nullptr && file->error() != QFileDevice::NoError);
        if (!deviceFailed) {
            encoderProblem = writer.errorString();
        }
        return false;
    });
    if (failure.Failed() && !encoderProblem.isEmpty()) {
        // "画像を変換できませんでした" = the picture could not be encoded
        return Problem("画像を変換できませんでした", encoderProblem);
    }
    return failure;
}

FileProblem ReadFileWhole(const QString& path, qint64 maxBytes, QByteArray& bytes) {
    if (const FileProblem refused = CheckReadable(path); refused.Failed()) {
        return refused;
    }
    // Opened without waiting for a writer and looked at again once open: the name may lead
    // somewhere else by now.
    const int handle =
        ::open(FileNameBytes(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (handle < 0) {
        return ProblemFromErrno(errno);
    }
    QFile file;
    struct stat info {};
    if (!file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(handle);
        return ProblemFromSystemText(file.errorString());
    }
    if (::fstat(handle, &info) != 0 || !S_ISREG(info.st_mode)) {
        return NotRegularToRead();
    }
    if (info.st_size > maxBytes) {
        return Problem("ファイルが大きすぎます", SystemText(EFBIG)); // the file is too large
    }
    bytes = file.read(maxBytes);
    if (file.error() != QFileDevice::NoError) {
        return ProblemFromSystemText(file.errorString());
    }
    return {};
}
