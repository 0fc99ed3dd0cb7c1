#pragma once

#include <QString>

// The texts of an upgrade's progress on the console.
namespace ProgressText {

// Whole percent done; an empty image is done at once.
int percent(qint64 done, qint64 total);

// "[#######-----------]  35% 1687/4820 bytes", the bar `width` characters inside its brackets.
QString bar(qint64 done, qint64 total, int width);

// "4820 bytes in 5.2 s (927 bytes/s)"
QString throughput(qint64 bytes, qint64 milliseconds);

} // namespace ProgressText
