#include "networkline.h"

#include "gensiolink.h"
#include "linkconstants.h"

NetworkLine::NetworkLine(QObject *parent) : ModemLine(parent) {}

NetworkLine::~NetworkLine()
{
    close();
}

LineFailure NetworkLine::open(const PortAddress &address, int baud, std::function<bool()> stop)
{
    m_address = address;
    GensioLink::prepareThread();
    const std::string gensio =
        QStringLiteral("%1tcp,%2,%3")
            .arg(address.hasFixedRate() ? QString() : QStringLiteral("telnet(rfc2217),"),
                 address.host())
            .arg(address.port())
            .toStdString();
    m_link = std::make_unique<GensioLink>([this] { arrived(); }, stop);
    const int error = m_link->connect(gensio);
    if (stop && stop())
        return failed(LineFailure::Interrupted, QStringLiteral("interrupted while connecting"));
    if (GensioLink::isNameError(error))
        return failed(LineFailure::Missing,
                      QStringLiteral("no such host \"%1\"").arg(address.host()));
    if (error == GE_TIMEDOUT)
        return failed(
            LineFailure::Unreachable,
            QStringLiteral("no connection within %1 s").arg(LinkConstants::ConnectTimeout / 1000));
    if (error)
        return failed(error == GE_CONNREFUSE ? LineFailure::Refused : LineFailure::Failed,
                      QStringLiteral("cannot connect: ") + GensioLink::describe(error));
    QIODevice::open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    if (!address.hasFixedRate() && !setBaudRate(baud))
        return LineFailure::RateNotSet;
    return LineFailure::None;
}

LineFailure NetworkLine::failed(LineFailure failure, const QString &trouble)
{
    m_link.reset();
    m_trouble = trouble;
    return failure;
}

void NetworkLine::close()
{
    if (isOpen())
        QIODevice::close();
    m_link.reset();
}

bool NetworkLine::setBaudRate(int baud)
{
    if (m_address.hasFixedRate()) {
        m_trouble = QStringLiteral("a tcp:// port has the rate the server is set to");
        return false;
    }
    const long long reported = m_link ? m_link->setLine(baud) : -1;
    if (reported == baud) {
        m_baud = baud;
        m_trouble.clear();
        return true;
    }
    m_trouble =
        reported < 0
            ? QStringLiteral("the server did not set its line to %1 8N1 within %2 s")
                  .arg(baud)
                  .arg(LinkConstants::ServerAnswerTimeout / 1000)
            : QStringLiteral("the server set its line to %1 instead of %2").arg(reported).arg(baud);
    return false;
}

QString NetworkLine::trouble() const
{
    const int error = m_link ? m_link->state().error() : 0;
    return error ? GensioLink::describe(error) : m_trouble;
}

qint64 NetworkLine::bytesAvailable() const
{
    return (m_link ? m_link->state().available() : 0) + QIODevice::bytesAvailable();
}

bool NetworkLine::waitForReadyRead(int msecs)
{
    return m_link && m_link->state().awaitArrival(msecs);
}

qint64 NetworkLine::bytesToWrite() const
{
    return m_link ? m_link->state().unsent() : 0;
}

bool NetworkLine::waitForBytesWritten(int msecs)
{
    return m_link && m_link->state().awaitSent(msecs);
}

qint64 NetworkLine::readRaw(char *data, qint64 maxSize)
{
    return m_link ? m_link->state().take(data, maxSize) : -1;
}

qint64 NetworkLine::writeRaw(const char *data, qint64 size)
{
    return m_link ? m_link->put(data, size) : -1;
}

void NetworkLine::dropPending(bool)
{
    if (m_link)
        m_link->state().discard();
}

// On the network thread. One readyRead at a time waits in the line's event queue, emitted only
// when bytes are there to read: a reader may have taken them meanwhile.
void NetworkLine::arrived()
{
    if (m_notifying.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_notifying = false;
            if (bytesAvailable() > 0)
                emit readyRead();
        },
        Qt::QueuedConnection);
}

// Its meta-object here, so that a program using serial lines only links no network code.
#include "moc_networkline.cpp"
