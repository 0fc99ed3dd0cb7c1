#pragma once

#include <QString>
#include <QStringList>

// What a port name stands for, parsed once: a local device ("ttyUSB0", "/dev/ttyUSB0", any
// path), or a port on a serial device server, "rfc2217://HOST:PORT" (telnet with the COM port
// control option: the client sets the server's line) or "tcp://HOST:PORT" (a plain byte stream
// at the rate the server is set to).
class PortAddress
{
public:
    enum class Kind { Device, Rfc2217, Tcp };

    explicit PortAddress(const QString &name = {});

    Kind kind() const { return m_kind; }
    bool isNetwork() const { return m_kind != Kind::Device; }
    // Whether the line's rate is fixed by the server ("tcp://").
    bool hasFixedRate() const { return m_kind == Kind::Tcp; }
    // "rfc2217" or "tcp"; empty for a device.
    QString scheme() const;
    // A network port's host and port; empty and 0 for a device.
    const QString &host() const { return m_host; }
    int port() const { return m_port; }
    // A device's path: "/dev/ttyUSB0" for "ttyUSB0", a path as it is; empty for a network port.
    const QString &path() const { return m_path; }
    // The name as the operator gave it, for messages.
    const QString &displayName() const { return m_name; }

    // What is wrong with a network port name; empty when it is "SCHEME://HOST:PORT" (and for
    // every device name).
    QString problem() const;

    // The device, one spelling for all: the path cleaned, with links followed when it exists
    // ("ttyUSB0", "/dev/./ttyUSB0" and a link to it give "/dev/ttyUSB0"); a network port's name
    // as it is.
    QString canonical() const;
    // What the port stands for: the canonical device, or each "ADDRESS PORT" a network port's
    // host resolves to (an IPv4 address mapped into IPv6 as IPv4; "HOST PORT" when it does not
    // resolve). Two names stand for the same port when they share one.
    QStringList identities() const;

private:
    QString m_name;
    Kind m_kind = Kind::Device;
    QString m_host;
    int m_port = 0;
    QString m_path;
    bool m_wellFormed = true;
};
