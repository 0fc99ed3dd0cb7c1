#include "profilediff.h"

#include "labels.h"
#include "valuecheck.h"

namespace ProfileDiff {

QVector<Difference> differences(const Profile &profile, const QMap<QString, QString> &modem)
{
    QVector<Difference> result;
    for (const RegisterInfo &reg : RegisterCatalog::registers()) {
        const ProfileEntry *entry = profile.find(QLatin1String(reg.name));
        if (!entry)
            continue;
        const auto current = modem.constFind(entry->name);
        if (current == modem.constEnd())
            result.append({&reg, entry->value, std::nullopt});
        else if (!ValueCheck::same(reg, *current, entry->value))
            result.append({&reg, entry->value, *current});
    }
    return result;
}

QString describe(const Difference &difference, const QString &wantedBy)
{
    const RegisterInfo &reg = *difference.reg;
    const QString current = difference.current ? Labels::shownValue(reg, *difference.current)
                                               : QStringLiteral("unreadable");
    return QStringLiteral("%1: modem %2, %3 %4")
        .arg(Labels::title(reg), current, wantedBy, Labels::shownValue(reg, difference.wanted));
}

} // namespace ProfileDiff
