#include "firmwareimage.h"

#include "upgradeconstants.h"

#include <QFile>
#include <QFileInfo>

namespace FirmwareImage {

namespace {

std::optional<QByteArray> refuse(QString *problem, const QString &reason)
{
    *problem = reason;
    return std::nullopt;
}

} // namespace

bool readToEnd(QIODevice &device, QByteArray *bytes)
{
    QByteArray buffer(UpgradeConstants::FileReadSize, Qt::Uninitialized);
    for (;;) {
        const qint64 got = device.read(buffer.data(), UpgradeConstants::FileReadSize);
        if (got <= 0)
            return got == 0;
        bytes->append(buffer.constData(), int(got));
    }
}

// The file is looked at before it is opened: opening a pipe would wait for a writer.
std::optional<QByteArray> load(const QString &path, QString *problem)
{
    const QFileInfo info(path);
    if (!info.exists())
        return refuse(problem, QStringLiteral("No such file or directory"));
    if (!info.isFile())
        return refuse(problem, QStringLiteral("not a regular file"));
    if (info.size() == 0)
        return refuse(problem, QStringLiteral("empty"));
    if (info.size() > UpgradeConstants::MaxImageSize)
        return refuse(problem, QStringLiteral("%1 bytes, larger than the largest image (%2 bytes)")
                                   .arg(info.size())
                                   .arg(UpgradeConstants::MaxImageSize));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(problem, file.errorString());
    QByteArray image;
    if (!readToEnd(file, &image))
        return refuse(problem, file.errorString());
    if (image.size() != info.size())
        return refuse(problem, QStringLiteral("read %1 bytes where the file has %2")
                                   .arg(image.size())
                                   .arg(info.size()));
    return image;
}

} // namespace FirmwareImage
