#pragma once

#include "simreply.h"

#include <QByteArray>
#include <optional>

class RegisterBank;

// The modem's text side: data mode, where only "+++" alone is heard, and AT command mode,
// where each command ends at a carriage return and is answered with its echo and a result.
// Whether "AT&UP" really switches to update mode is the caller's decision.
class AtDialogue
{
public:
    explicit AtDialogue(RegisterBank &registers);

    // Takes one received byte (nowMs: a steady clock); returns the reply it completes, if any.
    std::optional<SimReply> take(char byte, qint64 nowMs);

    bool inCommandMode() const { return m_commandMode; }
    void enterDataMode();
    // Undoes the "+++" just taken as the escape: back to the mode before it; in AT mode the
    // three characters stay on the command line.
    void ignoreEscape();

    static QByteArray greeting();

private:
    std::optional<SimReply> takeData(char byte, qint64 nowMs);
    std::optional<SimReply> takeCommandByte(char byte);
    SimReply execute(const QByteArray &command);
    QByteArray result(const QByteArray &command);
    QByteArray query(const QByteArray &command);
    QByteArray assign(const QByteArray &command);
    QByteArray preset(const QByteArray &command);

    RegisterBank &m_registers;
    bool m_commandMode = false;
    bool m_escapedFromCommandMode = false; // the mode the last escape was taken in
    QByteArray m_escape; // data-mode bytes since the last quiet spell, at most four
    qint64 m_lastDataMs = 0;
    QByteArray m_line;
    bool m_lineTooLong = false;
};
