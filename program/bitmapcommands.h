#pragma once

#include <QtCore/QString>

class Dialogs;
struct CurvaneState;

// Pictures in and out of the sheet: a picture file or the clipboard's picture as the background,
// the sheet with its labels as a BMP file or on the clipboard.

QString ReadPictureTitle();  // "画像の読み込み" = read picture
QString ReadPictureFilter(); // "画像ﾌｧｲﾙ|*.bmp;*.wmf;*.emf;*.jpg;*.gif;*.png;*.jpeg;"
QString SavePictureTitle();  // "画像を名前を付けて保存" = save picture under a name
QString SavePictureFilter(); // "画像ﾌｧｲﾙ (*.bmp)|*.bmp|PNG (*.png)|*.png"

// What a saved picture is written as: PNG for ".png", JPEG for ".jpg" and ".jpeg" (so a picture
// read from such a file and saved over stays what its name says), BMP for every other name.
const char* PictureFormatOfName(const QString& path);

// Read: the chosen picture becomes the background, the grid and tick numbers are drawn over it,
// and its name is the one Save writes to. A file that cannot be read, or is no regular file, is
// reported and changes nothing, the remembered name included. True when the sheet changed.
bool ReadPicture(CurvaneState& state, Dialogs& dialogs);

// Save (askName false: only once a name exists) and Save as: the sheet with its labels, in the
// format its name asks for, through a temporary file that replaces the old one only once it is
// whole. A failure is reported with its reason and keeps the remembered name; a written file's
// name is the one the next Save writes to. The command ends with a full redraw, as every
// output of the picture does.
void SaveBitmap(CurvaneState& state, Dialogs& dialogs, bool askName);

// Copy: the sheet with its labels onto the clipboard as a bitmap.
void CopyToClipboard(CurvaneState& state);

// Paste: the clipboard's picture becomes the background; without a picture nothing changes.
// True when the sheet changed.
bool PasteFromClipboard(CurvaneState& state);
