// Generates a demo game installation and CD folder, points the programs at them and gives the
// media editor the soundtrack list a first start would have written.
// Usage: ovra3-demo ROOT PROGRAM_DIR [--trick-size BYTES] [--music-size BYTES] [--movie-size BYTES]
#include "scripts/demogen/demogen.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QTextStream err(stderr);
    if (args.size() < 2) {
        err << "usage: ovra3-demo ROOT PROGRAM_DIR [--trick-size N] [--music-size N] "
               "[--movie-size N]\n";
        return 2;
    }
    demogen::Options options;
    options.fileSize = 4096;
    for (int i = 2; i + 1 < args.size(); i += 2) {
        bool ok = false;
        const qint64 n = args[i + 1].toLongLong(&ok);
        if (!ok || n < 0) {
            err << "not a size: " << args[i + 1] << "\n";
            return 2;
        }
        if (args[i] == "--trick-size")
            options.trickSize = n;
        else if (args[i] == "--music-size")
            options.musicSize = n;
        else if (args[i] == "--movie-size")
            options.movieSize = n;
        else {
            err << "unknown option " << args[i] << "\n";
            return 2;
        }
    }
    demogen::Layout layout;
    QString error;
    if (!demogen::create(args[0], options, &layout, &error) ||
        !demogen::writeSettings(args[1], layout.gameDirectory, layout.cdDrive, &error) ||
        !demogen::writeCatalogue(args[1], &error)) {
        err << "ovra3-demo: " << error << "\n";
        return 1;
    }
    QTextStream(stdout) << "game directory: " << layout.gameDirectory << "\n"
                        << "CD drive:       " << layout.cdDrive << "\n";
    return 0;
}
