#include "portdescription.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSerialPortInfo>

namespace PortDescription {

namespace {

QJsonValue text(const QString &value)
{
    return value.isEmpty() ? QJsonValue() : QJsonValue(value);
}

QJsonValue id(bool known, quint16 value)
{
    return known ? QJsonValue(QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')))
                 : QJsonValue();
}

// The entry of `dir` that leads to `device`; empty when none does.
QString byId(const QDir &dir, const QString &device)
{
    for (const QFileInfo &entry : dir.entryInfoList(QDir::System | QDir::Files, QDir::Name)) {
        if (entry.canonicalFilePath() == device)
            return entry.absoluteFilePath();
    }
    return {};
}

} // namespace

QByteArray json(const QString &byIdDir)
{
    QJsonArray ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        const QString device = info.systemLocation();
        ports.append(QJsonObject{
            {QStringLiteral("device"), device},
            {QStringLiteral("by_id"), text(byId(QDir(byIdDir), device))},
            {QStringLiteral("vendor_id"), id(info.hasVendorIdentifier(), info.vendorIdentifier())},
            {QStringLiteral("product_id"),
             id(info.hasProductIdentifier(), info.productIdentifier())},
            {QStringLiteral("serial_number"), text(info.serialNumber())},
            {QStringLiteral("description"), text(info.description())},
            {QStringLiteral("manufacturer"), text(info.manufacturer())},
        });
    }
    return QJsonDocument(ports).toJson(QJsonDocument::Indented);
}

} // namespace PortDescription
