#include "networkrules.h"

#include "registercatalog.h"

namespace NetworkRules {

namespace {

using Groups = QVector<QPair<QString, QStringList>>; // a value and the radios showing it

// Numbers compare by value: "007" and "7" are one address.
QString normal(const QString &name, const QString &value)
{
    const RegisterInfo *reg = RegisterCatalog::find(name);
    if (!reg || (reg->kind != FieldKind::Choice && reg->validator == ValidatorKind::None))
        return value;
    bool isNumber = false;
    const qulonglong number = value.toULongLong(&isNumber);
    return isNumber ? QString::number(number) : value;
}

bool has(const NetworkRadio &radio, const QString &name, const QString &value)
{
    return radio.values.contains(name) && normal(name, radio.values.value(name)) == value;
}

// The radios that hold the register, grouped by value in the order first seen.
Groups grouped(const QVector<const NetworkRadio *> &radios, const QString &name)
{
    Groups groups;
    for (const NetworkRadio *radio : radios) {
        if (!radio->values.contains(name))
            continue;
        const QString value = normal(name, radio->values.value(name));
        auto it = std::find_if(groups.begin(), groups.end(),
                               [&](const auto &group) { return group.first == value; });
        if (it == groups.end())
            groups.append({value, {radio->name}});
        else
            it->second.append(radio->name);
    }
    return groups;
}

// The radios outside the largest group (the first of equals): those that stand out.
QStringList oddOnes(const Groups &groups)
{
    const auto largest = std::max_element(groups.begin(), groups.end(), [](auto &a, auto &b) {
        return a.second.size() < b.second.size();
    });
    QStringList names;
    for (auto it = groups.begin(); it != groups.end(); ++it)
        names += it == largest ? QStringList() : it->second;
    return names;
}

// "S104=1 on A and B, S104=5 on C"
QString seen(const QString &name, const Groups &groups)
{
    QStringList parts;
    for (const auto &group : groups)
        parts.append(QStringLiteral("%1=%2 on %3").arg(name, group.first, listed(group.second)));
    return parts.join(QStringLiteral(", "));
}

QStringList radiosOf(const Groups &groups)
{
    QStringList names;
    for (const auto &group : groups)
        names += group.second;
    return names;
}

QVector<const NetworkRadio *> where(const QVector<const NetworkRadio *> &radios,
                                    const std::function<bool(const NetworkRadio &)> &test)
{
    QVector<const NetworkRadio *> chosen;
    for (const NetworkRadio *radio : radios) {
        if (test(*radio))
            chosen.append(radio);
    }
    return chosen;
}

class Checker
{
public:
    explicit Checker(const QVector<NetworkRadio> &radios)
    {
        for (const NetworkRadio &radio : radios)
            m_all.append(&radio);
        m_masters = where(m_all, [](const auto &r) { return has(r, "S101", "0"); });
    }

    QVector<Breach> run()
    {
        shared();
        oneMaster();
        unitAddress();
        tdma();
        repeaters();
        return m_breaches;
    }

private:
    void add(const QString &rule, const QString &text, const QStringList &radios)
    {
        m_breaches.append({rule, radios, rule + QStringLiteral(": ") + text});
    }

    void differing(const QVector<const NetworkRadio *> &radios, const QString &name)
    {
        const Groups groups = grouped(radios, name);
        if (groups.size() > 1)
            add(QStringLiteral("shared"), seen(name, groups), oddOnes(groups));
    }

    void shared()
    {
        for (const char *name : {"S103", "S104", "S133", "S244", "S159"})
            differing(m_all, QLatin1String(name));
        const auto encrypted = where(m_all, [](const auto &r) { return has(r, "S159", "1"); });
        if (encrypted.size() == m_all.size())
            differing(encrypted, QStringLiteral("S160"));
    }

    void oneMaster()
    {
        const Groups masters = grouped(m_masters, QStringLiteral("S101"));
        if (m_masters.size() > 1)
            add(QStringLiteral("one-master"), seen(QStringLiteral("S101"), masters),
                radiosOf(masters));
        const auto known = where(m_all, [](const auto &r) { return r.values.contains("S101"); });
        if (m_masters.isEmpty() && !m_all.isEmpty() && known.size() == m_all.size()) {
            const Groups roles = grouped(m_all, QStringLiteral("S101"));
            add(QStringLiteral("one-master"),
                QStringLiteral("no master (S101=0): ") + seen(QStringLiteral("S101"), roles),
                radiosOf(roles));
        }
    }

    void unitAddress()
    {
        for (const auto &group : grouped(m_all, QStringLiteral("S105"))) {
            if (group.first != QLatin1String("0") && group.second.size() > 1)
                add(QStringLiteral("unit-address"), seen(QStringLiteral("S105"), {group}),
                    group.second);
        }
        const auto unaddressed =
            where(m_all, [](const auto &r) { return has(r, "S133", "0") && has(r, "S105", "0"); });
        const Groups zero = grouped(unaddressed, QStringLiteral("S105"));
        if (!zero.isEmpty())
            add(QStringLiteral("unit-address"),
                seen(QStringLiteral("S105"), zero) +
                    QStringLiteral(" in a point-to-multipoint network (S133=0)"),
                radiosOf(zero));
    }

    void tdma()
    {
        const auto timed =
            where(m_all, [](const auto &r) { return has(r, "S244", "1") || has(r, "S244", "2"); });
        if (timed.isEmpty())
            return;
        const Groups pointToPoint =
            grouped(where(timed, [](const auto &r) { return has(r, "S133", "1"); }), "S133");
        if (!pointToPoint.isEmpty())
            add(QStringLiteral("tdma"),
                seen(QStringLiteral("S133"), pointToPoint) +
                    QStringLiteral(" with TDMA (S244=1 or 2), which takes S133=0 or 2"),
                radiosOf(pointToPoint));
        if (m_masters.size() != 1)
            return;
        const NetworkRadio &master = *m_masters.first();
        bool hasAddress = false;
        bool hasTop = false;
        const qulonglong first = master.values.value("S105").toULongLong(&hasAddress) + 1;
        const qulonglong last = master.values.value("S221").toULongLong(&hasTop);
        if (!hasAddress || !hasTop)
            return;
        const auto outside = where(m_all, [&](const NetworkRadio &r) {
            bool isNumber = false;
            const qulonglong address = r.values.value("S105").toULongLong(&isNumber);
            return &r != &master && isNumber && (address < first || address > last);
        });
        const Groups wrong = grouped(outside, QStringLiteral("S105"));
        if (!wrong.isEmpty())
            add(QStringLiteral("tdma"),
                seen(QStringLiteral("S105"), wrong) +
                    QStringLiteral(" outside the master %1's S105+1..S221 (%2..%3)")
                        .arg(master.name)
                        .arg(first)
                        .arg(last),
                QStringList{master.name} + radiosOf(wrong));
    }

    void repeaters()
    {
        const auto relays = where(m_all, [](const auto &r) { return has(r, "S101", "1"); });
        if (relays.isEmpty())
            return;
        const QStringList relayNames = radiosOf(grouped(relays, QStringLiteral("S101")));
        const auto without = where(m_masters, [](const auto &r) {
            return r.values.contains("S141") && !has(r, "S141", "1");
        });
        const Groups noRelay = grouped(without, QStringLiteral("S141"));
        if (!noRelay.isEmpty())
            add(QStringLiteral("repeaters"),
                seen(QStringLiteral("S141"), noRelay) +
                    QStringLiteral(" (the master), with the repeater %1 (S101=1)")
                        .arg(listed(relayNames)),
                radiosOf(noRelay) + relayNames);
        for (const auto &group : grouped(relays, QStringLiteral("S114"))) {
            if (group.second.size() > 1)
                add(QStringLiteral("repeaters"), seen(QStringLiteral("S114"), {group}),
                    group.second);
        }
    }

    QVector<const NetworkRadio *> m_all;
    QVector<const NetworkRadio *> m_masters;
    QVector<Breach> m_breaches;
};

} // namespace

QVector<Breach> check(const QVector<NetworkRadio> &radios)
{
    return Checker(radios).run();
}

QString listed(const QStringList &names)
{
    if (names.size() < 2)
        return names.join(QString());
    return names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") +
           names.last();
}

} // namespace NetworkRules
