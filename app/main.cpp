#include "program/render.h"
#include "ui/frmcurvane.h"

#include <QtGui/QGuiApplication>
#include <QtWidgets/QApplication>
#include <cstdio>
#include <cstring>

namespace {

const char* const Usage =
    "Usage: curvane                                   start the program\n"
    "       curvane --render FILE.cvf --out IMAGE     draw a settings file's graph into an\n"
    "                                                 image (BMP, or PNG for *.png) without\n"
    "                                                 a window\n"
    "       curvane --help                            show this text\n";

// The command line: nothing (the window), --help, or --render FILE --out IMAGE.
int RenderFromCommandLine(int argc, char* argv[]) {
    QString settings;
    QString image;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--render") == 0 && i + 1 < argc) {
            settings = QString::fromLocal8Bit(argv[++i]);
        } else if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
            image = QString::fromLocal8Bit(argv[++i]);
        } else {
            std::fprintf(stderr, "curvane: unknown argument %s\n%s", argv[i], Usage);
            return 2;
        }
    }
    if (settings.isEmpty() || image.isEmpty()) {
        std::fprintf(stderr, "curvane: --render needs a settings file and --out an image\n%s",
                     Usage);
        return 2;
    }
    // No display is needed: the drawing happens in memory.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const QString problem = RenderSettingsFile(settings, image);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "curvane: %s\n", problem.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc > 1) {
        if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
            std::fputs(Usage, stdout);
            return 0;
        }
        return RenderFromCommandLine(argc, argv);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Curvane"));
    QApplication::setOrganizationName(QStringLiteral("Curvane"));

    auto* window = new frmCurvane();
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return QApplication::exec();
}
