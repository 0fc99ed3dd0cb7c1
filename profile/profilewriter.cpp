#include "profilewriter.h"

#include "labels.h"
#include "printable.h"
#include "profilesyntax.h"
#include "registercatalog.h"
#include "valuecheck.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace ProfileWriter {

namespace {

// "Operating Mode: Slave  [0 Master, 1 Repeater, 2 Slave]"
QString comment(const RegisterInfo &reg, const QString &value)
{
    QString text = Labels::label(reg);
    if (reg.kind != FieldKind::Choice)
        return text + QStringLiteral("  [%1]").arg(ValueCheck::accepted(reg));
    const auto item = Labels::itemText(reg, value);
    text += QStringLiteral(": ") + (item ? *item : QStringLiteral("no such item"));
    QStringList choices;
    for (const ChoiceItem &choice : reg.items)
        choices.append(
            QString::number(choice.wireValue) + QLatin1Char(' ') +
            Labels::itemText(reg, QString::number(choice.wireValue)).value_or(QString()));
    return text + QStringLiteral("  [%1]").arg(choices.join(QStringLiteral(", ")));
}

} // namespace

QByteArray ini(const QString &port, const QMap<QString, QString> &values)
{
    QString text = QStringLiteral("# DR58 profile read from %1\n").arg(Console::printable(port));
    QString settings;
    for (const RegisterInfo &reg : RegisterCatalog::registers()) {
        const QString name = QLatin1String(reg.name);
        if (reg.kind == FieldKind::Info) {
            if (values.contains(name))
                text += QStringLiteral("# %1: %2\n")
                            .arg(Labels::label(reg), Console::printable(values.value(name)));
            continue;
        }
        if (!values.contains(name)) {
            settings +=
                QStringLiteral("\n# %1: not in the modem's listing\n").arg(Labels::title(reg));
            continue;
        }
        const QString value = values.value(name);
        settings += QStringLiteral("\n# %1\n%2=%3\n")
                        .arg(comment(reg, value), name, ProfileSyntax::iniValue(value));
    }
    return (text + settings).toUtf8();
}

QByteArray json(const QString &port, const QMap<QString, QString> &values)
{
    QJsonObject identity;
    QJsonObject registers;
    for (const RegisterInfo &reg : RegisterCatalog::registers()) {
        const QString name = QLatin1String(reg.name);
        if (!values.contains(name))
            continue;
        const QString value = values.value(name);
        if (reg.kind == FieldKind::Info) {
            identity.insert(Labels::label(reg), Console::printable(value));
            continue;
        }
        QJsonObject entry{{"label", Labels::label(reg)}};
        if (reg.kind == FieldKind::Choice) {
            entry.insert("value", value.toLongLong());
            entry.insert("item", Labels::itemText(reg, value).value_or(QString()));
        } else {
            entry.insert("value", value);
        }
        registers.insert(name, entry);
    }
    const QJsonObject root{{"port", port}, {"identity", identity}, {"registers", registers}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace ProfileWriter
