#pragma once

#include "tests/support/scripteddialogs.h"
#include "tests/support/tempinstall.h"
#include "tricked/frmovra3tricked.h"

#include <QAction>
#include <QDirIterator>
#include <QMap>
#include <memory>

inline TempInstall& packed(TempInstall& install, bool cdImage) {
    if (cdImage && !install.packCdIntoImage())
        qFatal("cannot keep the test CD as a disc image");
    return install;
}

// A generated installation, scripted dialogs and a trick editor window started on them.
struct TrickFixture {
    TempInstall install;
    ScriptedDialogs dialogs; // before the window: start-up messages are recorded
    std::unique_ptr<tricked::FrmOvra3TrickEd> window;

    // `cdImage`: the CD is kept as a disc image (see TempInstall::packCdIntoImage).
    explicit TrickFixture(const demogen::Options& options = tricks(), bool withSettings = true,
                          bool cdImage = false)
        : install(options, withSettings),
          window(std::make_unique<tricked::FrmOvra3TrickEd>(packed(install, cdImage).programDir)) {}

    QString name(int position) const { return window->core().trickList().names().value(position); }
    QString installed(int position) const { return install.trick(name(position)); }
    QByteArray cdBytes(int position) const {
        return TempInstall::bytes(install.cdTrick(name(position)));
    }
    QByteArray installedBytes(int position) const {
        return TempInstall::bytes(installed(position));
    }

    // Every file below the installed trick directory, by name.
    QMap<QString, QByteArray> snapshot() const {
        QMap<QString, QByteArray> files;
        const QString dir = install.layout.gameDirectory + "/data/anims/skater_M";
        for (QDirIterator it(dir, QDir::Files | QDir::Hidden); it.hasNext();) {
            const QString path = it.next();
            files.insert(path.mid(dir.size() + 1), TempInstall::bytes(path));
        }
        return files;
    }

    void trigger(const char* action) {
        QAction* a = window->findChild<QAction*>(QLatin1String(action));
        QVERIFY2(a, action);
        a->trigger();
    }
};
