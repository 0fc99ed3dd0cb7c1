#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

// One radio of a network: its name (serial number, or port when the serial is unknown) and its
// register values by name. A register it lacks is not judged.
struct NetworkRadio
{
    QString name;
    QMap<QString, QString> values;
};

// A broken network rule: the rule's short name, the radios at fault, and one line naming the
// registers and every radio with the values seen ("unit-address: S105=2 on SN-0043 and SN-0051").
// For a value that differs (shared), the radios at fault are those outside the largest group.
struct Breach
{
    QString rule;
    QStringList radios;
    QString text;
};

// The rules every radio of one network must keep together, from the modem's own help texts
// (the tooltips of S104, S105, S114, S141, S220, S221 and S244):
//   shared        S103, S104, S133, S244 and S159 equal on every radio; S160 too with encryption
//   one-master    exactly one master (S101=0)
//   unit-address  no two radios share a non-zero S105; every S105 non-zero in PMP (S133=0)
//   tdma          with TDMA (S244=1 or 2): S133=0 or 2, and every non-master S105 from the
//                 master's S105+1 up to the master's S221
//   repeaters     with a repeater (S101=1): the master's S141=1, no two repeaters share an S114
namespace NetworkRules {

// Every broken rule, in the order above; none for a sound network.
QVector<Breach> check(const QVector<NetworkRadio> &radios);

// "A", "A and B", "A, B and C"
QString listed(const QStringList &names);

} // namespace NetworkRules
