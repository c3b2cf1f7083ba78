#include "program/bitmapcommands.h"

#include "files/safefile.h"
#include "platform/dialogs.h"
#include "program/curvanestate.h"
#include "program/redraw.h"
#include "program/stamping.h"

#include <QtCore/QFileInfo>
#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>
#include <QtGui/QImageReader>
#include <QtGui/QPainter>

namespace {

// A picture with transparent parts shows the sheet's background colour through them.
QImage Opaque(const QImage& picture, ColorRef background) {
    if (!picture.hasAlphaChannel()) {
        return picture;
    }
    QImage opaque(picture.size(), QImage::Format_RGB32);
    opaque.fill(ToQColor(background));
    QPainter painter(&opaque);
    painter.drawImage(QPoint(0, 0), picture);
    return opaque;
}

void ShowBackground(CurvaneState& state, const QImage& picture) {
    state.Sheet.SetPicture(Opaque(picture, state.Settings.BackgroundColor));
    DrawGridAndNumbers(state);
}

} // namespace

QString ReadPictureTitle() {
    return QStringLiteral("画像の読み込み");
}

QString ReadPictureFilter() {
    return QStringLiteral("画像ﾌｧｲﾙ|*.bmp;*.wmf;*.emf;*.jpg;*.gif;*.png;*.jpeg;");
}

QString SavePictureTitle() {
    return QStringLiteral("画像を名前を付けて保存");
}

QString SavePictureFilter() {
    return QStringLiteral("画像ﾌｧｲﾙ (*.bmp)|*.bmp|PNG (*.png)|*.png");
}

const char* PictureFormatOfName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QStringLiteral("png")) {
        return "png";
    }
    if (suffix == QStringLiteral("jpg") || suffix == QStringLiteral("jpeg")) {
        return "jpg";
    }
    return "bmp";
}

bool ReadPicture(CurvaneState& state, Dialogs& dialogs) {
    const QString path = dialogs.OpenFileName(ReadPictureTitle(), ReadPictureFilter());
    if (path.isEmpty()) {
        return false;
    }
    // A FIFO would block the window until something wrote into it.
    FileProblem failure = CheckReadable(path);
    QImage picture;
    if (!failure.Failed()) {
        // The content decides the format, not the name.
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        picture = reader.read();
        if (picture.isNull()) {
            // "画像として読み込めませんでした" = could not be read as a picture
            failure = {QStringLiteral("画像として読み込めませんでした"), reader.errorString()};
        }
    }
    if (failure.Failed()) {
        // "画像を読み込めませんでした" = the picture could not be read
        dialogs.Message(QStringLiteral("画像を読み込めませんでした。\n") +
                            failure.MessageText(path),
                        QStringLiteral("Curvane"), false);
        return false;
    }
    state.BitmapFileName = path;
    ShowBackground(state, picture);
    return true;
}

void SaveBitmap(CurvaneState& state, Dialogs& dialogs, bool askName) {
    if (!askName && state.BitmapFileName.isEmpty()) {
        return;
    }
    QString path = state.BitmapFileName;
    if (askName) {
        path = dialogs.SaveFileName(SavePictureTitle(), SavePictureFilter());
    }
    if (!path.isEmpty()) {
        if (const FileProblem failure =
                WriteImageSafely(path, SheetPicture(state), PictureFormatOfName(path));
            failure.Failed()) {
            // "画像を保存できませんでした" = the picture could not be saved
            dialogs.Message(QStringLiteral("画像を保存できませんでした。\n") +
                                failure.MessageText(path),
                            QStringLiteral("Curvane"), false);
        } else {
            state.BitmapFileName = path;
        }
    }
    RedrawAll(state);
}

void CopyToClipboard(CurvaneState& state) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(SheetPicture(state));
    RedrawAll(state);
}

bool PasteFromClipboard(CurvaneState& state) {
    const QImage picture = QGuiApplication::clipboard()->image();
    if (picture.isNull()) {
        return false;
    }
    ShowBackground(state, picture);
    return true;
}
