#include "portaddress.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {

const QString Rfc2217Scheme = QStringLiteral("rfc2217");
const QString TcpScheme = QStringLiteral("tcp");

QString addressText(const sockaddr *address)
{
    char text[INET6_ADDRSTRLEN] = {};
    if (address->sa_family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in *>(address)->sin_addr, text,
                  sizeof text);
        return QLatin1String(text);
    }
    const in6_addr &ip6 = reinterpret_cast<const sockaddr_in6 *>(address)->sin6_addr;
    if (IN6_IS_ADDR_V4MAPPED(&ip6))
        inet_ntop(AF_INET, ip6.s6_addr + 12, text, sizeof text);
    else
        inet_ntop(AF_INET6, &ip6, text, sizeof text);
    return QLatin1String(text);
}

} // namespace

PortAddress::PortAddress(const QString &name) : m_name(name)
{
    const bool rfc2217 = name.startsWith(Rfc2217Scheme + QStringLiteral("://"));
    if (!rfc2217 && !name.startsWith(TcpScheme + QStringLiteral("://"))) {
        m_path = name.startsWith(QLatin1Char('/')) ? name : QStringLiteral("/dev/") + name;
        return;
    }
    m_kind = rfc2217 ? Kind::Rfc2217 : Kind::Tcp;
    const QUrl url(name, QUrl::StrictMode);
    m_host = url.host();
    m_port = std::max(url.port(), 0);
    m_wellFormed = url.isValid() && !m_host.isEmpty() && m_port > 0 && url.path().isEmpty() &&
                   !url.hasQuery() && !url.hasFragment() && url.userInfo().isEmpty();
}

QString PortAddress::scheme() const
{
    switch (m_kind) {
    case Kind::Rfc2217:
        return Rfc2217Scheme;
    case Kind::Tcp:
        return TcpScheme;
    default:
        return {};
    }
}

QString PortAddress::problem() const
{
    return m_wellFormed ? QString()
                        : QStringLiteral("\"%1\" is not SCHEME://HOST:PORT").arg(m_name);
}

QString PortAddress::canonical() const
{
    if (isNetwork())
        return m_name;
    const QString path = QDir::cleanPath(m_path);
    const QString target = QFileInfo(path).canonicalFilePath();
    return target.isEmpty() ? path : target;
}

QStringList PortAddress::identities() const
{
    if (!isNetwork())
        return {canonical()};
    const QString port = QString::number(m_port);
    addrinfo hints = {};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    if (getaddrinfo(m_host.toUtf8().constData(), nullptr, &hints, &found) != 0)
        return {m_host.toLower() + QLatin1Char(' ') + port};
    QStringList result;
    for (const addrinfo *entry = found; entry; entry = entry->ai_next)
        result.append(addressText(entry->ai_addr) + QLatin1Char(' ') + port);
    freeaddrinfo(found);
    return result;
}
