#include "portholders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace PortHolders {

namespace {

QByteArray procFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

Holder holder(qint64 pid)
{
    const QString dir = QStringLiteral("/proc/%1/").arg(pid);
    const QString name = QString::fromUtf8(procFile(dir + QStringLiteral("comm"))).trimmed();
    QByteArray arguments = procFile(dir + QStringLiteral("cmdline"));
    arguments.replace('\0', ' ');
    const QString commandLine = QString::fromUtf8(arguments).trimmed();
    return {pid, name, commandLine.isEmpty() ? QStringLiteral("[%1]").arg(name) : commandLine};
}

// Whether one of the process's open files is the character device `rdev`.
bool holds(const QString &fdDir, dev_t rdev)
{
    const QStringList fds =
        QDir(fdDir).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &fd : fds) {
        struct stat status = {};
        const QByteArray path = QFile::encodeName(fdDir + fd);
        if (::stat(path.constData(), &status) == 0 && S_ISCHR(status.st_mode) &&
            status.st_rdev == rdev)
            return true;
    }
    return false;
}

} // namespace

QVector<Holder> of(const QString &device)
{
    struct stat target = {};
    if (::stat(QFile::encodeName(device).constData(), &target) != 0 || !S_ISCHR(target.st_mode))
        return {};
    QVector<Holder> found;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (isPid && pid != ::getpid() &&
            holds(QStringLiteral("/proc/%1/fd/").arg(pid), target.st_rdev))
            found.append(holder(pid));
    }
    std::sort(found.begin(), found.end(),
              [](const Holder &a, const Holder &b) { return a.pid < b.pid; });
    return found;
}

std::optional<UsbIds> usbIds(const QString &device)
{
    const QSerialPortInfo info(QFileInfo(device).canonicalFilePath());
    if (!info.hasVendorIdentifier() || !info.hasProductIdentifier())
        return std::nullopt;
    const auto hex = [](quint16 id) {
        return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
    };
    return UsbIds{hex(info.vendorIdentifier()), hex(info.productIdentifier())};
}

std::optional<Holder> modemManager(const QVector<Holder> &holders)
{
    for (const Holder &holder : holders) {
        if (holder.name == ModemManager)
            return holder;
    }
    return std::nullopt;
}

QString advice(const QString &device, const std::optional<UsbIds> &ids)
{
    const QString match =
        ids ? QStringLiteral("ATTRS{idVendor}==\"%1\", ATTRS{idProduct}==\"%2\"")
                  .arg(ids->vendor, ids->product)
            : QStringLiteral("KERNEL==\"%1\"").arg(QFileInfo(device).canonicalFilePath().mid(5));
    return QStringLiteral("to make %1 leave this adapter alone, put the udev rule '%2, "
                          "ENV{ID_MM_DEVICE_IGNORE}=\"1\"' into a file in /etc/udev/rules.d/, "
                          "run \"udevadm control --reload\" and plug the adapter in again")
        .arg(ModemManager, match);
}

QString busyMessage(const QString &device, const QVector<Holder> &holders,
                    const std::optional<UsbIds> &ids)
{
    if (holders.isEmpty())
        return QStringLiteral("the port is in use by another program (none that could be "
                              "looked at in /proc has it open)");
    QStringList names;
    for (const Holder &holder : holders)
        names.append(QStringLiteral("pid %1 (%2)").arg(holder.pid).arg(holder.commandLine));
    QString text = QStringLiteral("the port is in use by another program: ") +
                   names.join(QStringLiteral(", "));
    if (modemManager(holders))
        text += QStringLiteral("; %1 probes every new serial device: ").arg(ModemManager) +
                advice(device, ids);
    return text;
}

} // namespace PortHolders
