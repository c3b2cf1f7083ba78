#include "files/pdfcheck.h"

#include <QtCore/QFile>
#include <algorithm>

namespace {

FileProblem Incomplete() {
    // "PDF が最後まで書かれていません" = the PDF was not written to its end
    return {QStringLiteral("PDF が最後まで書かれていません"), QStringLiteral("incomplete PDF")};
}

// The bytes at offset, up to length of them.
QByteArray ReadAt(QFile& file, qint64 offset, qint64 length) {
    return file.seek(offset) ? file.read(length) : QByteArray();
}

// The cross-reference table at offset: "xref", then sections of a line "first count" and count
// entries of 20 bytes, "oooooooooo ggggg n" for an object in use, up to "trailer". True when it
// is whole and every object in use starts at its offset with "number generation obj".
bool ObjectsAreWhere(QFile& file, qint64 offset) {
    if (!file.seek(offset) || file.readLine(16).trimmed() != "xref") {
        return false;
    }
    for (;;) {
        const QByteArray line = file.readLine(64).trimmed();
        if (line == "trailer") {
            return true;
        }
        const QList<QByteArray> numbers = line.split(' ');
        bool firstOk = false;
        bool countOk = false;
        const qint64 first = numbers.value(0).toLongLong(&firstOk);
        const qint64 count = numbers.value(1).toLongLong(&countOk);
        if (numbers.size() != 2 || !firstOk || !countOk || first < 0 || count < 0 ||
            count > (file.size() - file.pos()) / 20) {
            return false;
        }
        const QByteArray entries = file.read(count * 20);
        if (entries.size() != count * 20) {
            return false;
        }
        const qint64 afterTable = file.pos();
        for (qint64 k = 0; k < count; ++k) {
            const QByteArray entry = entries.mid(k * 20, 20);
            if (entry[17] != 'n') {
                continue; // a free entry
            }
            bool ok = false;
            const qint64 at = entry.left(10).toLongLong(&ok);
            const QByteArray header = QByteArray::number(first + k) + ' ' +
                                      QByteArray::number(entry.mid(11, 5).toInt()) + " obj";
            if (!ok || at >= offset || !ReadAt(file, at, header.size()).startsWith(header)) {
                return false;
            }
        }
        if (!file.seek(afterTable)) {
            return false;
        }
    }
}

} // namespace

FileProblem CheckPdfComplete(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return ProblemFromSystemText(file.errorString());
    }
    const qint64 size = file.size();
    if (!ReadAt(file, 0, 5).startsWith("%PDF-")) {
        return Incomplete();
    }
    // The trailer: "startxref", the table's offset, "%%EOF", at the very end.
    const qint64 tailStart = std::max<qint64>(0, size - 1024);
    const QByteArray tail = ReadAt(file, tailStart, size - tailStart).trimmed();
    const qsizetype startxref = tail.lastIndexOf("startxref");
    if (!tail.endsWith("%%EOF") || startxref < 0) {
        return Incomplete();
    }
    bool ok = false;
    const qint64 table =
        tail.mid(startxref + 9, tail.size() - 5 - startxref - 9).trimmed().toLongLong(&ok);
    if (!ok || table <= 0 || table >= tailStart + startxref || !ObjectsAreWhere(file, table)) {
        return Incomplete();
    }
    return {};
}
