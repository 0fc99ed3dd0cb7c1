#pragma once

#include "atdialogue.h"
#include "faultstate.h"
#include "registerbank.h"
#include "updatemode.h"

#include <QVector>

// The whole behaviour of the simulated modem without any I/O: bytes in, replies out, with the
// modes (data, AT command, update) and the fault in force.
class ModemCore
{
public:
    enum class Mode { Data, Command, Update };

    ModemCore();

    // Takes received bytes (nowMs: a steady clock) and returns the replies they call for, each
    // marked with the fault it is subject to.
    QVector<SimReply> receive(const QByteArray &bytes, qint64 nowMs);

    Mode mode() const;
    void powerCycle(); // working registers reloaded from the stored ones, back to data mode

    void setFault(SimFault fault, int times = -1) { m_fault.set(fault, times); }
    SimFault fault() const { return m_fault.fault(); }

    RegisterBank &registers() { return m_registers; }
    const RegisterBank &registers() const { return m_registers; }
    const UpdateMode &update() const { return m_update; }

private:
    std::optional<SimReply> takeText(char byte, qint64 nowMs);
    std::optional<SimReply> takeFrameByte(char byte, qint64 nowMs);

    RegisterBank m_registers;
    AtDialogue m_dialogue;
    UpdateMode m_update;
    FaultState m_fault;
    bool m_updating = false;
};
