#include "frmovra3meded.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    mediaed::FrmOvra3MedEd window(QCoreApplication::applicationDirPath());
    window.show();
    return app.exec();
}
