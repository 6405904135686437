#pragma once

#include "installation/fileread.h"
#include "installation/result.h"

#include <QString>

// The texts that the writer and the readers say a file's failures with, on every platform.
namespace ovra::detail {

QString native(const QString& path);
CopyResult failure(const QString& error, const QString& reason);
Failure readFailure(const QString& error);
QString sizeText(qint64 bytes);
QString tooLarge(const QString& shown, qint64 size, qint64 maxSize);
CopyResult isFolderFailure(const QString& shown);
CopyResult specialFileFailure(const QString& shown);
CopyResult readOnlyFailure(const QString& shown);
// An empty host path: a setting that leads nowhere. Taken as it is, it would be the folder the
// program was started in.
CopyResult nowhereFailure();
CopyResult writeFailure(const QString& shown, const QString& why);

} // namespace ovra::detail
