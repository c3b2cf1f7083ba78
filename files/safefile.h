#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>
#include <functional>

class QIODevice;
class QImage;

// Every file the program writes goes through WriteFileSafely (or WriteByNameSafely, for a writer
// that wants a file name), and every file it reads is looked at with CheckReadable first: a save
// never leaves a half-written or emptied file behind, and neither a save nor a read touches what
// is not a regular file (a FIFO would block the window, a device or a folder would be replaced).

// Why a file could not be read or written: a Japanese sentence for the message box, and the
// system's own words (English, as the C library gives them) for the command line. Empty when
// nothing went wrong.
struct FileProblem {
    QString japanese;
    QString system;

    bool Failed() const { return !japanese.isEmpty(); }
    // The path and the reason, for a message box under the caller's headline.
    QString MessageText(const QString& path) const;
};

// File names are bytes to the system and QStrings to the program. A name that is no valid UTF-8
// (a command-line argument, say) keeps each byte that is not part of a character as a lone
// surrogate, U+DC80 to U+DCFF, so that it reaches the system unchanged; every function here opens
// a file by the bytes FileNameBytes gives.
QString FileNameOfBytes(const QByteArray& bytes);
QByteArray FileNameBytes(const QString& name);

// Refuses a write target that exists (after following links) and is not a regular file or may
// not be written, and a read source that is missing or not a regular file. Nothing is opened.
FileProblem CheckWritable(const QString& path);
FileProblem CheckReadable(const QString& path);

// Whether two names lead to one existing file, through symbolic or hard links.
bool SameFile(const QString& a, const QString& b);

// Writes the whole file into a draft beside it, which replaces the target only once every byte is
// flushed and on the disk and no error is left on the device; the target keeps its permission
// bits. On any failure the draft goes and the old file stays byte for byte. write puts the
// content into the device and returns false when it could not.
FileProblem WriteFileSafely(const QString& path, const std::function<bool(QIODevice&)>& write);
FileProblem WriteBytesSafely(const QString& path, const QByteArray& bytes);
// The image encoded as format ("bmp", "png", "jpg") by Qt's image writers.
FileProblem WriteImageSafely(const QString& path, const QImage& image, const char* format);
// The same for a writer that opens the file itself by its name (a printer's PDF output): write
// gets the name of an empty draft beside the target, fills it and checks it; the draft replaces
// the target only when write found nothing wrong. A failure on a disk that is full, or at the
// file-size limit, is reported as that.
FileProblem WriteByNameSafely(const QString& path,
                              const std::function<FileProblem(const QString& draft)>& write);

// Reads a whole regular file of at most maxBytes; a larger one is refused before it is read.
FileProblem ReadFileWhole(const QString& path, qint64 maxBytes, QByteArray& bytes);

// The reason for an error text as Qt's file classes give it (the C library's words for the
// errno behind it): Japanese for the causes a user can act on, with the system's words kept.
FileProblem ProblemFromSystemText(const QString& systemText);
// The same for an errno value.
FileProblem ProblemFromErrno(int code);
