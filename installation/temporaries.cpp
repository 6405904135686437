#include "installation/temporaries.h"

#include "installation/temporariesdetail.h"

#include <algorithm>

namespace ovra {

int removeStaleTemporaries(const QString& directory) {
    int removed = 0;
    for (const QString& name : detail::temporaryCandidates(directory))
        if (isTemporaryName(name))
            removed += detail::removeUnheld(directory + u'/' + name);
    return removed;
}

bool isTemporaryName(const QString& name) {
    const QLatin1String prefix(kTempPrefix);
    if (name.size() != prefix.size() + 6 || !name.startsWith(prefix))
        return false;
    return std::all_of(name.begin() + prefix.size(), name.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9');
    });
}

} // namespace ovra
