#pragma once

#include "cli/inventory.h"

#include <QByteArray>
#include <QString>

// The inventory as people read it and as other tools read it.
namespace cli {

// The words of the states, as text and JSON show them.
QString stateName(TrickState state); // stock, holds, changed, missing
QString stateName(MediaState state); // stock, replaced, missing

bool allStock(const Inventory& inventory);

// One line per entry (with `differencesOnly`, only the entries that are not stock), under a
// heading per kind, then the summary line.
QString textReport(const Inventory& inventory, bool differencesOnly);
// The counts of every state, on one line.
QString summaryLine(const Inventory& inventory);

// One JSON document, in the shape the README documents.
QByteArray jsonReport(const Inventory& inventory);

} // namespace cli
