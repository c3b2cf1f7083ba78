#pragma once

// A printed or exported PDF read back with poppler's tools: its pages as pixels, for checking
// where the ink went, its pictures and its text.

#include <QtCore/QByteArray>
#include <QtCore/QFile>
#include <QtCore/QList>
#include <QtCore/QProcess>
#include <QtCore/QRect>
#include <QtCore/QRegularExpression>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtGui/QColor>
#include <QtGui/QImage>
#include <algorithm>

// A poppler tool's standard output; empty when it fails or takes longer than a minute.
inline QByteArray Poppler(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        return {};
    }
    return process.readAllStandardOutput();
}

// Renders the first page of a PDF at 254 dots per inch: 10 pixels per millimetre. A null image
// when pdftoppm fails.
inline QImage RenderPage(const QString& pdf, const QString& stem) {
    Poppler(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QStringLiteral("254"), QStringLiteral("-png"),
             QStringLiteral("-singlefile"), pdf, stem});
    return QImage(stem + QStringLiteral(".png"));
}

// The smallest rectangle holding every pixel darker than paper white.
inline QRect Inked(const QImage& image) {
    QRect inked;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).lightness() < 250) {
                inked |= QRect(x, y, 1, 1);
            }
        }
    }
    return inked;
}

// A picture a PDF holds, as "pdfimages -list" tells it: its pixels and how they are encoded
// ("image" for a lossless Flate stream, "jpeg", "jpx", "jbig2", "ccitt").
struct PdfImage {
    int width = 0;
    int height = 0;
    QString encoding;
};

inline QList<PdfImage> PdfImages(const QString& pdf) {
    // Two lines of header, then one line per picture: page num type width height color comp
    // bpc enc ...
    QList<PdfImage> images;
    const QStringList lines =
        QString::fromUtf8(Poppler(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}))
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QStringList fields = lines[i].simplified().split(QLatin1Char(' '));
        images.push_back({fields.value(3).toInt(), fields.value(4).toInt(), fields.value(8)});
    }
    return images;
}

// The words of a PDF's text, in reading order.
inline QStringList PdfWords(const QString& pdf) {
    return QString::fromUtf8(Poppler(QStringLiteral("pdftotext"),
                                     {QStringLiteral("-raw"), pdf, QStringLiteral("-")}))
        .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

// The drawing operators of a PDF: every stream inflated (those that are compressed), joined.
inline QByteArray PdfOperators(const QString& pdf) {
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    QByteArray operators;
    qsizetype at = 0;
    while ((at = bytes.indexOf("stream", at)) >= 0) {
        qsizetype start = at + 6;
        start += bytes.mid(start, 2) == "\r\n" ? 2 : 1;
        const qsizetype end = bytes.indexOf("endstream", start);
        if (end < 0) {
            break;
        }
        const QByteArray data = bytes.mid(start, end - start);
        // qUncompress wants the size first; it grows its buffer when that is too small.
        QByteArray sized(4, '\0');
        const quint32 hint = static_cast<quint32>(data.size()) * 16;
        for (int i = 0; i < 4; ++i) {
            sized[i] = static_cast<char>((hint >> (24 - 8 * i)) & 0xFF);
        }
        const QByteArray inflated = qUncompress(sized + data);
        operators += inflated.isEmpty() ? data : inflated;
        operators += '\n';
        at = end + 9;
    }
    return operators;
}

// The number of line segments of the largest path that is filled (f or f*), not stroked.
inline int LargestFilledPath(const QByteArray& operators) {
    int largest = 0;
    int segments = 0;
    for (const QByteArray& line : operators.split('\n')) {
        const QByteArray op = line.trimmed().split(' ').last();
        if (op == "l") {
            ++segments;
        } else if (op == "f" || op == "f*") {
            largest = std::max(largest, segments);
            segments = 0;
        } else if (op == "S" || op == "s" || op == "n" || op == "B" || op == "b") {
            segments = 0;
        }
    }
    return largest;
}
