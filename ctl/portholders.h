#pragma once

#include <QString>
#include <QVector>
#include <optional>

// Who holds a local serial device, read from /proc, and how to keep a modem manager away from
// the adapter (its USB vendor and product IDs as the system reports them).
namespace PortHolders {

struct Holder
{
    qint64 pid;
    QString name;        // the process name (/proc/PID/comm)
    QString commandLine; // its arguments joined by blanks; the name in brackets when it has none
};

// The name of the program that probes every new serial device with AT commands.
inline const QString ModemManager = QStringLiteral("ModemManager");

// Every process, this one aside, with the device open (any name of it: links are followed).
QVector<Holder> of(const QString &device);

// The adapter's USB vendor and product IDs ("0403", "6001"); empty optional for a device that
// is no USB adapter.
struct UsbIds
{
    QString vendor;
    QString product;
};
std::optional<UsbIds> usbIds(const QString &device);

// "in use by another program: pid 41 (dr58at), pid 7 (/usr/sbin/ModemManager)", and when one of
// them is the modem manager, the udev rule that makes it leave the adapter alone.
QString busyMessage(const QString &device, const QVector<Holder> &holders,
                    const std::optional<UsbIds> &ids);

// How to make the modem manager leave the adapter alone: a udev rule that sets
// ID_MM_DEVICE_IGNORE=1 for it, matched by its USB IDs, or by the device's kernel name when it is
// no USB adapter.
QString advice(const QString &device, const std::optional<UsbIds> &ids);

// The modem manager among the holders; empty optional when it is not one of them.
std::optional<Holder> modemManager(const QVector<Holder> &holders);

} // namespace PortHolders
