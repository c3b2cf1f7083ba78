#pragma once

#include <QtGui/QCursor>

// The sheet's pointer while a zoom is armed: the cursor file beside the program ("MAGNIFY.CUR" to
// zoom in, "DOWN.CUR" to zoom out) when it can be read, else a magnifier drawn here with "+" or
// "−", its hot spot in the lens centre.
QCursor ZoomCursor(int direction);
