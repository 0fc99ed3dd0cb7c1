#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

class QIODevice;

namespace FirmwareImage {

// Appends everything the device yields until its end, however many reads that takes; false when
// a read fails.
bool readToEnd(QIODevice &device, QByteArray *bytes);

// The image in `path` when it can be sent as it is: a regular file, not empty, no larger than
// UpgradeConstants::MaxImageSize, read in full. Otherwise nothing, and `problem` tells why.
std::optional<QByteArray> load(const QString &path, QString *problem);

} // namespace FirmwareImage
