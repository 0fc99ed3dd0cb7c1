#pragma once

#include <QProcess>
#include <QString>

// The tool's handle on the modem's end of the benchmarks (see linehost.h): starts it as a
// child process and asks it for byte counts.
class LineProcess
{
public:
    struct Counts
    {
        qint64 received = 0;       // bytes the modem received since reset
        qint64 sent = 0;           // bytes the modem sent since reset
        qint64 framesReceived = 0; // of those, from the first UPDATE_START on
        qint64 framesSent = 0;     // of those, after "UPDATE\r\n"
        qint64 startFrameNs = 0;   // when the first UPDATE_START left the tool
    };

    explicit LineProcess(int rate);
    ~LineProcess();

    QString port() const { return m_port; }
    void reset();
    void babble(); // the modem answers the next command with text that never ends
    Counts counts();

private:
    QByteArray ask(const QByteArray &command);
    QByteArray readLine();

    QProcess m_process;
    QString m_port;
};
