#pragma once

#include "cli/commands.h"

#include <QCommandLineOption>
#include <QList>
#include <QString>

// ovra3 pack create|show|apply FILE.o3pack: a whole setup (trick swaps, replaced music with its
// captions, replaced movies) written into a setup pack, told, or put onto this installation.
namespace cli {

QString refusesPackAction(const QString& action);
const QList<QCommandLineOption>& packOptions();
int pack(const ovra::Installation& installation, const Args& args, Console& console);

} // namespace cli
