#include "mediaed/catalogue.h"

#include "installation/filecopy.h"
#include "installation/paths.h"
#include "installation/temporaries.h"
#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"

#include <QDir>
#include <QFileInfo>

namespace mediaed {

Catalogue::Catalogue(const QString& programDir) : folder_(programDir) {
    for (int i = 0; i < kSlotCount; ++i)
        slots_.append(QString());
}

Catalogue::LoadResult Catalogue::load() {
    // A save that was killed before its rename leaves its temporary file: clear it.
    ovra::removeStaleTemporaries(dataFolder());
    LoadResult result;
    const auto& stock = stockTable();
    for (int i = 0; i < kSlotCount; ++i) {
        // A slot file shipped beside an installed program is read from there until it is saved.
        const QString& folder = folder_.holding(QStringLiteral("data/%1.dat").arg(i));
        const ovra::Result<QByteArray> file = ovra::readRegularFile(
            ovra::paths::hostPath(ovra::paths::slotFile(folder, i)), rtf::kMaxDocumentSize);
        const rtf::ReadResult read = file.ok ? rtf::read(file.value) : rtf::ReadResult{};
        if (read.ok) {
            slots_[i] = read.text;
        } else {
            // Only this slot goes back to stock: the names the user gave the others stay.
            slots_[i] = stock[i].caption;
            result.resetSlots.append(i);
        }
    }
    return result;
}

void Catalogue::resetToStock() {
    const auto& stock = stockTable();
    for (int i = 0; i < kSlotCount; ++i)
        slots_[i] = stock[i].caption;
}

Catalogue::SaveResult Catalogue::save() const {
    SaveResult result;
    result.folder = dataFolder();
    const auto fail = [&result](int slot, const QString& reason) {
        if (result.ok)
            result.reason = reason;
        result.ok = false;
        result.failedSlots.append(slot);
    };

    if (!QFileInfo(result.folder).isDir() && !QDir().mkpath(result.folder)) {
        for (int i = 0; i < kSlotCount; ++i)
            fail(i, QStringLiteral("the folder cannot be created"));
        return result;
    }
    for (int i = 0; i < kSlotCount; ++i) {
        // A temporary file renamed over the old one: a crash or a full disk never leaves a
        // half-written slot file behind.
        const QString path = slotFilePath(i);
        const ovra::CopyResult written = ovra::writeFileAtomically(path, slotFileBytes(i));
        if (!written)
            fail(i, QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), written.reason));
    }
    return result;
}

QByteArray Catalogue::slotFileBytes(int i) const {
    return rtf::write(slots_.at(i));
}

void Catalogue::setSlot(int i, const QString& caption) {
    slots_[i] = caption;
}

QString Catalogue::dataFolder() const {
    return ovra::paths::hostPath(ovra::paths::GamePath(folder_.own() + QStringLiteral("\\data")));
}

QString Catalogue::slotFilePath(int i) const {
    return ovra::paths::hostPath(ovra::paths::slotFile(folder_.own(), i));
}

QString songCaption(const QString& song, const QString& artist) {
    return song + QStringLiteral(" - ") + artist;
}

QString saveFailureMessage(const Catalogue::SaveResult& result) {
    return QStringLiteral("The soundtrack list could not be saved in the folder \"%1\" (%2). "
                          "The song names stay in the Current Soundtrack window until "
                          "Ovra3MediaEd is closed; make that folder writable to keep them.")
        .arg(QDir::toNativeSeparators(result.folder), result.reason);
}

} // namespace mediaed
