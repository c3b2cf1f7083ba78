#pragma once

#include <QtCore/QString>
#include <QtGui/QIcon>
#include <QtGui/QImage>

// Toolbar pictures are drawn here rather than shipped as image files, so the program needs no
// picture resources next to it and the pictures stay sharp at every size the style asks for.

// The toolbar picture for a button, keyed by the button's caption (for example "新規作成", new).
// A caption without a picture gives a null icon, so the button simply shows its text.
QIcon ToolbarIcon(const QString& key);

// The same picture as a size × size image on a transparent background; a null image for an unknown
// key or a size below 1.
QImage ToolbarIconImage(const QString& key, int size);

// The program's own icon: a small graph sheet with a curve, at 16, 24, 32, 48 and 64 pixels.
QIcon AppIcon();

// The program icon as a size × size image; usable without a running application, which is how the
// build writes the desktop icon.
QImage AppIconImage(int size);
