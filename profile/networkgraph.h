#pragma once

#include "networkrules.h"

#include <QByteArray>

// A picture of a network as a Graphviz DOT text (render it with "dot -Tsvg"): one node per radio
// with its role, name and unit address (S105); an edge to the radio whose unit address is its
// sync address (S118) and a dashed one to its destination (S140); the radios of a broken rule,
// and the edges between them, in red; a note for each sync or destination address that names no
// radio of the network. Address 0 (assigned by the modem), 65535 (every radio) and a radio's own
// address draw nothing.
namespace NetworkGraph {

QByteArray dot(const QVector<NetworkRadio> &radios, const QVector<Breach> &breaches);

} // namespace NetworkGraph
