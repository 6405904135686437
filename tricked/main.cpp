#include "frmovra3tricked.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tricked::frmOvra3TrickEd window(QCoreApplication::applicationDirPath());
    window.show();
    return app.exec();
}
