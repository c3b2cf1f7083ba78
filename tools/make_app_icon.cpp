// Writes the program icon as a PNG for the desktop entry, so the installed icon is always the one
// the program draws for its own windows.
// Usage: make_app_icon OUTPUT.png [SIZE]

#include "ui/toolbaricons.h"

#include <QtCore/QString>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s OUTPUT.png [SIZE]\n", argv[0]);
        return 2;
    }
    int size = 64;
    if (argc == 3) {
        bool ok = false;
        size = QString::fromLocal8Bit(argv[2]).toInt(&ok);
        if (!ok || size < 1 || size > 1024) {
            std::fprintf(stderr, "%s: size must be a whole number from 1 to 1024\n", argv[0]);
            return 2;
        }
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    if (!AppIconImage(size).save(output, "PNG")) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
