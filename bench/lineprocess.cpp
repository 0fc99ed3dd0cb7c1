#include "lineprocess.h"

#include <QCoreApplication>

namespace {
constexpr int ReplyTimeout = 10000; // milliseconds for the line process to answer
}

LineProcess::LineProcess(int rate)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("line"), QString::number(rate)});
    const QByteArray first = readLine();
    if (!first.startsWith("port "))
        qFatal("line process did not start: %s", first.constData());
    m_port = QString::fromLocal8Bit(first.mid(5));
}

LineProcess::~LineProcess()
{
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(ReplyTimeout))
        m_process.kill();
}

void LineProcess::reset()
{
    ask("reset");
}

void LineProcess::babble()
{
    ask("babble");
}

LineProcess::Counts LineProcess::counts()
{
    const QList<QByteArray> fields = ask("counts").split(' ');
    if (fields.size() != 6)
        qFatal("line process answered badly");
    return {fields[1].toLongLong(), fields[2].toLongLong(), fields[3].toLongLong(),
            fields[4].toLongLong(), fields[5].toLongLong()};
}

QByteArray LineProcess::ask(const QByteArray &command)
{
    m_process.write(command + '\n');
    m_process.waitForBytesWritten(ReplyTimeout);
    return readLine();
}

QByteArray LineProcess::readLine()
{
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(ReplyTimeout))
            qFatal("line process is silent");
    }
    return m_process.readLine().trimmed();
}
