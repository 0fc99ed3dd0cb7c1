#pragma once

#include "profile.h"
#include "registercatalog.h"

#include <QMap>
#include <QString>
#include <QVector>
#include <optional>

// A register whose value in the modem is not the one the profile asks for.
struct Difference
{
    const RegisterInfo *reg;        // in the catalogue
    QString wanted;                 // the profile's value
    std::optional<QString> current; // the modem's, none when it could not be read

    QString name() const { return QLatin1String(reg->name); }
};

namespace ProfileDiff {

// The profile's registers that differ from the modem's values, in register order; a register
// missing from `modem` (unreadable) differs. Numbers compare by value.
QVector<Difference> differences(const Profile &profile, const QMap<QString, QString> &modem);

// "S102 Serial Baud Rate: modem 7 (9600), profile 15 (460800)"; `wantedBy` names the source of
// the wanted value ("plan").
QString describe(const Difference &difference, const QString &wantedBy = QStringLiteral("profile"));

} // namespace ProfileDiff
