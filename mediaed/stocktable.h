#pragma once

#include <QString>
#include <QVector>

namespace mediaed {

inline constexpr int kSlotCount = 19;

// One soundtrack slot of the game as shipped: the music file that holds its track and the
// caption "Artist - Title".
struct StockRow {
    QString fileName;
    QString caption;
};

// The 19 rows in slot order, read once from the compiled-in resource.
const QVector<StockRow>& stockTable();

// Slot whose stock file name equals `fileName` exactly (case and all, unless `cs` says
// otherwise); -1 when none does.
int slotOfStockFile(const QString& fileName, Qt::CaseSensitivity cs = Qt::CaseSensitive);

} // namespace mediaed
