#pragma once

#include "scripts/demogen/demogen.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// An installation with `count` trick files and no music or movies (the trick editor never
// looks at them, and every file costs time to generate).
inline demogen::Options tricks(int count = 659, bool withCd = true) {
    demogen::Options o;
    o.trickFiles = count;
    o.withCd = withCd;
    o.musicFiles = 0;
    o.movieFiles = 0;
    return o;
}

// A generated installation, CD and program directory in a temporary folder, for one test.
// Windows mounts a disc image as a drive of its own, and the programs read no image there: a
// test that keeps the CD as an image skips on Windows.
#ifdef Q_OS_WIN
#define SKIP_WHERE_IMAGES_ARE_MOUNTED()                                                            \
    QSKIP("Windows mounts disc images as drives: the programs read none there")
#else
#define SKIP_WHERE_IMAGES_ARE_MOUNTED() static_cast<void>(0)
#endif
#ifdef Q_OS_WIN
inline constexpr bool kImagesRead = false;
#else
inline constexpr bool kImagesRead = true;
#endif

struct TempInstall {
    QTemporaryDir dir;
    demogen::Layout layout;
    QString programDir;

    // `where`: the folder to make it in (the system's temporary folder when empty).
    explicit TempInstall(const demogen::Options& options = {}, bool withSettings = true,
                         const QString& where = QString())
        : dir((where.isEmpty() ? QDir::tempPath() : where) + QStringLiteral("/ovra-XXXXXX")) {
        QString error;
        programDir = dir.filePath(QStringLiteral("program"));
        if (!dir.isValid() || !QDir().mkpath(programDir) ||
            !demogen::create(dir.path(), options, &layout, &error) ||
            (withSettings &&
             !demogen::writeSettings(programDir, layout.gameDirectory, layout.cdDrive, &error)))
            qFatal("cannot build the test installation: %s", qPrintable(error));
    }

    QString music(const QString& name) const {
        return layout.gameDirectory + "/data/music/" + name;
    }
    QString movie(const QString& name) const {
        return layout.gameDirectory + "/data/movies/" + name;
    }
    QString trick(const QString& name) const {
        return layout.gameDirectory + "/data/anims/skater_M/" + name;
    }
    QString cdMusic(const QString& name) const {
        return layout.cdRoot + "/setup/data/data/music/" + name;
    }
    QString cdMovie(const QString& name) const {
        return layout.cdRoot + "/setup/data/data/movies/" + name;
    }
    QString cdTrick(const QString& name) const {
        return layout.cdRoot + "/setup/data/data/anims/skater_m/" + name;
    }

    // Keeps the CD as a disc image instead of a folder, as players on Linux do: packs the CD
    // folder into root/ovra3.iso (ISO 9660 with Joliet names, as a Windows CD has them) and
    // points the CD drive setting at the image; the folder is moved aside, where only the test
    // reads it. `damaged`: the image is cut short inside its folders, as a broken download.
    bool packCdIntoImage(bool damaged = false) {
        const QString image = dir.filePath(QStringLiteral("ovra3.iso"));
        QProcess pack;
        pack.start(QStringLiteral("genisoimage"), {QStringLiteral("-quiet"), QStringLiteral("-J"),
                                                   QStringLiteral("-o"), image, layout.cdRoot});
        if (!pack.waitForFinished(60000) || pack.exitCode() != 0) {
            qWarning("genisoimage failed (run scripts/setup): %s",
                     pack.readAllStandardError().constData());
            return false;
        }
        if (damaged && !QFile::resize(image, 40 * 1024))
            return false;
        layout.cdDrive = image;
        const QString aside = layout.cdRoot + QStringLiteral("-packed");
        if (!QDir().rename(layout.cdRoot, aside))
            return false;
        layout.cdRoot = aside;
        return write(programDir + QStringLiteral("/drivedata.dat"), QFile::encodeName(image));
    }

    static QByteArray bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static bool write(const QString& path, const QByteArray& data) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
    }
};
