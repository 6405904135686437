// One start of a program to its first shown window, for bench_startup:
//   bench_startup_child bare|label|media|trick PROGRAM_DIR
// Prints the peak resident memory (KiB) when the window has been shown, then exits.
#include "mediaed/frmovra3meded.h"
#include "mediaed/mediabackend.h"
#include "tricked/frmovra3tricked.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTextStream>
#include <QTimer>
#include <memory>

static qint64 peakKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

int main(int argc, char** argv) {
    mediaed::chooseMediaBackend();
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    std::unique_ptr<QWidget> window;
    if (args[1] == "media")
        window = std::make_unique<mediaed::FrmOvra3MedEd>(args[2]);
    else if (args[1] == "trick")
        window = std::make_unique<tricked::FrmOvra3TrickEd>(args[2]);
    else
        window = std::make_unique<QWidget>();
    if (args[1] == "label")
        (new QLabel(QStringLiteral("Ovra 3"), window.get()))->adjustSize();
    window->show();
    // The first turn of the event loop after show() is when the window is on screen.
    QTimer::singleShot(0, [] {
        QTextStream(stdout) << peakKiB() << Qt::endl;
        QCoreApplication::exit(0);
    });
    return app.exec();
}
