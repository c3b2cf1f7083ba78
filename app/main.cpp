#include "mainwindow/frmcurvane.h"

#include <QtWidgets/QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Curvane"));
    QApplication::setOrganizationName(QStringLiteral("Curvane"));

    auto* window = new frmCurvane();
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return QApplication::exec();
}
