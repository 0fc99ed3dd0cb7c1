#include "networkgraph.h"

#include "labels.h"
#include "registercatalog.h"

#include <QSet>

namespace NetworkGraph {

namespace {

// A DOT string literal of the lines.
QString quoted(QStringList lines)
{
    for (QString &line : lines)
        line.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), "\\\"");
    return QLatin1Char('"') + lines.join(QLatin1String("\\n")) + QLatin1Char('"');
}

QString role(const NetworkRadio &radio)
{
    const QString mode = radio.values.value(QStringLiteral("S101"));
    const auto item = Labels::itemText(*RegisterCatalog::find(QStringLiteral("S101")), mode);
    return item ? *item : QStringLiteral("role unknown");
}

QString address(const NetworkRadio &radio, const char *name)
{
    bool isNumber = false;
    const uint value = radio.values.value(QLatin1String(name)).toUInt(&isNumber);
    return isNumber ? QString::number(value) : QString();
}

} // namespace

QByteArray dot(const QVector<NetworkRadio> &radios, const QVector<Breach> &breaches)
{
    QSet<QString> broken;
    for (const Breach &breach : breaches)
        broken.unite(QSet<QString>(breach.radios.begin(), breach.radios.end()));
    QMultiHash<QString, int> byAddress;
    for (int i = 0; i < radios.size(); ++i)
        byAddress.insert(address(radios.at(i), "S105"), i);
    const auto red = [](bool isRed) { return isRed ? QStringLiteral(", color=red") : QString(); };

    QString text = QStringLiteral("digraph network {\n  node [shape=box];\n");
    for (int i = 0; i < radios.size(); ++i) {
        const NetworkRadio &radio = radios.at(i);
        const QStringList label = {role(radio), radio.name,
                                   QStringLiteral("S105=") + address(radio, "S105")};
        text += QStringLiteral("  r%1 [label=%2%3];\n")
                    .arg(i)
                    .arg(quoted(label), red(broken.contains(radio.name)));
    }
    int notes = 0;
    for (int i = 0; i < radios.size(); ++i) {
        const NetworkRadio &radio = radios.at(i);
        for (const char *name : {"S118", "S140"}) {
            const QString target = address(radio, name);
            const QString style =
                qstrcmp(name, "S140") == 0 ? QStringLiteral(", style=dashed") : QString();
            if (target.isEmpty() || target == QLatin1String("0") ||
                target == QLatin1String("65535") || target == address(radio, "S105"))
                continue;
            const QList<int> peers = byAddress.values(target);
            for (int peer : peers)
                text += QStringLiteral("  r%1 -> r%2 [label=%3%4%5];\n")
                            .arg(i)
                            .arg(peer)
                            .arg(QLatin1String(name), style,
                                 red(broken.contains(radio.name) &&
                                     broken.contains(radios.at(peer).name)));
            if (!peers.isEmpty())
                continue;
            const QString note = QStringLiteral("%1=%2 on %3 names no radio")
                                     .arg(QLatin1String(name), target, radio.name);
            text += QStringLiteral("  n%1 [shape=note, label=%2, color=red];\n  r%3 -> n%1 "
                                   "[color=red%4];\n")
                        .arg(notes++)
                        .arg(quoted({note}))
                        .arg(i)
                        .arg(style);
        }
    }
    return (text + QStringLiteral("}\n")).toUtf8();
}

} // namespace NetworkGraph
