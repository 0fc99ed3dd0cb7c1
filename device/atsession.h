#pragma once

#include "replywait.h"

#include <QByteArray>
#include <QString>
#include <functional>

class QIODevice;

// A synchronous AT dialogue on an open port, one transaction at a time, with the window's
// command bytes and waits. Blocks the calling thread (which needs an event dispatcher: the
// first bytes of a reply are awaited in a local event loop). The short answers (the greeting,
// the check's, "ATA"'s) must arrive whole within the time their first bytes have, so a line
// that never falls silent costs no more than a silent one; any other reply is cut at
// DeviceConstants::TotalLimit or DeviceConstants::MaxReplySize.
class AtSession
{
public:
    explicit AtSession(QIODevice &port);

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

private:
    // A short answer must be whole within the first bytes' time; a long one within TotalLimit.
    enum class Length { Short, Long };

    bool transact(const QString &command, int silentPeriods, Length length = Length::Long);
    bool exchange(const QString &command, int silentPeriods, Length length, bool stoppable);

    QIODevice &m_port;
    QByteArray m_reply;
    ReplyWait::Outcome m_outcome = ReplyWait::Outcome::NoAnswer;
    std::function<bool()> m_stop;
    int m_firstBytes = DeviceConstants::FirstBytesTimeout;
};
