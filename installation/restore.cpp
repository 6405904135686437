#include "restore.h"

namespace ovra {

RestoreResult restoreFiles(const CdFolder& from, const HostFolder& to, const QStringList& names,
                           int count, const std::function<void(int)>& done) {
    RestoreResult result;
    for (int i = 0; i < count; ++i) {
        if (i >= names.size())
            return {false, result.restored,
                    QStringLiteral("the list holds only %1 names, not %2").arg(i).arg(count)};
        const std::optional<QString> target = to.file(names[i]);
        const CopyResult copied =
            target ? from.copyTo(names[i], *target)
                   : CopyResult{false, QStringLiteral("\"%1\" is no file name.").arg(names[i])};
        if (!copied)
            return {false, result.restored, copied.error};
        ++result.restored;
        if (done)
            done(i);
    }
    return result;
}

} // namespace ovra
