#pragma once

#include "replywait.h"

#include <QByteArray>
#include <QString>
#include <functional>

class ModemLine;

// A synchronous AT dialogue on an open port, one transaction at a time, with the window's
// command bytes and waits. Blocks the calling thread (which needs an event dispatcher: the
// first bytes of a reply are awaited in a local event loop). The short answers (the greeting,
// the check's, "ATA"'s) must arrive whole within the time their first bytes have, so a line
// that never falls silent costs no more than a silent one; any other reply is cut at
// DeviceConstants::TotalLimit or DeviceConstants::MaxReplySize.
class AtSession
{
public:
    explicit AtSession(ModemLine &port);

    bool enter(); // "+++": true when the modem greets
    // "\rATS102?\r": true when the modem answers it properly (echo, value, "OK"), as only a
    // modem in AT mode does.
    bool checkAtMode();
    bool listing();                  // "\rAT&V\r"
    bool query(const QString &name); // "AT<name>?\r"
    bool write(const QString &name, const QString &value);
    bool save();                // "\rAT&W\r"
    bool exit();                // "\rATA\r"
    bool reset(int presetCode); // "AT&F<code>\r"

    // These return true when the reply ends with "OK\r\n" as a line of its own, never as the
    // end of a value (enter: when it holds the greeting); the reply of the last transaction and
    // how its wait ended stay available.
    const QByteArray &reply() const { return m_reply; }
    ReplyWait::Outcome outcome() const { return m_outcome; }
    bool answered() const { return m_outcome != ReplyWait::Outcome::NoAnswer; }

    // Asked before every command but "\rATA\r" and during every wait but "\rATA\r"'s: once
    // it says stop, nothing more is sent, each transaction fails unanswered, and the reply under
    // way gets DeviceConstants::StopGrace more at most. None by default.
    void setStop(std::function<bool()> stop) { m_stop = std::move(stop); }
    bool stopped() const { return m_stop && m_stop(); }

    // Sends nothing for `ms` milliseconds, or until the stop; false when stopped.
    bool pause(int ms);

    // Whether bytes have arrived that nobody read yet.
    bool linePending();

    // Milliseconds the modem has to start each reply; ReplyWait's by default.
    void setFirstBytesTimeout(int ms) { m_firstBytes = ms; }

    // How one reply is awaited: the silent periods it may take after its first bytes, where its
    // closing "OK\r\n" may stand, whether it must be whole within the first bytes' time (a
    // short answer) rather than within DeviceConstants::TotalLimit, the bytes it may hold (0: no
    // cap) and whether the stop ends it. The named commands above use their own.
    struct Waits
    {
        int silentPeriods = 1;
        ReplyParser::Completion completion = ReplyParser::Completion::OwnLine;
        bool shortAnswer = false;
        int maxSize = DeviceConstants::MaxReplySize;
        bool stoppable = true;
    };

    // The two halves of a transaction, for a caller that shows each: the command written (what
    // is pending in both directions discarded first), then its reply collected into reply().
    void send(const QString &command, bool stoppable = true);
    ReplyWait::Outcome receive(const Waits &waits);

private:
    bool transact(const QString &command, const Waits &waits);
    bool exchange(const QString &command, const Waits &waits);

    ModemLine &m_port;
    QByteArray m_reply;
    ReplyWait::Outcome m_outcome = ReplyWait::Outcome::NoAnswer;
    std::function<bool()> m_stop;
    int m_firstBytes = DeviceConstants::FirstBytesTimeout;
};
