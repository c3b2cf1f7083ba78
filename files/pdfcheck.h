#pragma once

#include "files/safefile.h"

#include <QtCore/QString>

// Whether a PDF file was written to its end: it starts as a PDF, ends with its trailer, the
// cross-reference table the trailer points to lies within the file, and every object that table
// lists starts where it says. A writer that lost bytes on a full disk without telling leaves a
// file that fails one of these.
FileProblem CheckPdfComplete(const QString& path);
