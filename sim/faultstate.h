#pragma once

#include "simfault.h"
#include "simreply.h"

#include <QString>
#include <QStringList>
#include <optional>

// The fault in force and how many more replies it affects.
class FaultState
{
public:
    void set(SimFault fault, int times = -1); // -1: until cleared
    SimFault fault() const { return m_fault; }

    // The fault that a reply of this kind is subject to; counts the reply when affected.
    SimFault take(SimReply::Kind kind);

    static bool affects(SimFault fault, SimReply::Kind kind);
    // Whether a firmware chunk received while the fault is in force is kept.
    static bool keepsChunk(SimFault fault);

private:
    SimFault m_fault = SimFault::None;
    int m_times = -1;
};

// Names as the command line takes them, in the order of SimFault: "NoGreeting"; case is
// ignored when reading one.
QStringList faultNames();
std::optional<SimFault> faultFromName(const QString &name);
