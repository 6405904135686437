#include "mediaed/stocktable.h"

#include <QFile>
#include <QStringList>

namespace mediaed {

static QVector<StockRow> readStockTable() {
    QVector<StockRow> rows;
    QFile file(QStringLiteral(":/mediaed/stocktable.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("stock soundtrack table missing from the resources");
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const QStringList cols = line.split(u'\t');
        if (cols.size() == 2)
            rows.push_back({cols[0], cols[1]});
    }
    if (rows.size() != kSlotCount)
        qFatal("stock soundtrack table must have 19 rows");
    return rows;
}

const QVector<StockRow>& stockTable() {
    static const QVector<StockRow> table = readStockTable();
    return table;
}

int slotOfStockFile(const QString& fileName, Qt::CaseSensitivity cs) {
    const auto& table = stockTable();
    for (int i = 0; i < table.size(); ++i)
        if (table[i].fileName.compare(fileName, cs) == 0)
            return i;
    return -1;
}

} // namespace mediaed
