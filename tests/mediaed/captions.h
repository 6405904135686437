#pragma once

#include "mediaed/stocktable.h"

#include <QStringList>

// Captions for the 19 slots: the stock ones, and ones of the test's own ("Song %1 - Artist %1").
inline QStringList stockCaptions() {
    QStringList captions;
    for (const auto& row : mediaed::stockTable())
        captions << row.caption;
    return captions;
}

inline QStringList numberedCaptions(const QString& pattern) {
    QStringList captions;
    for (int i = 0; i < mediaed::kSlotCount; ++i)
        captions << pattern.arg(i);
    return captions;
}
