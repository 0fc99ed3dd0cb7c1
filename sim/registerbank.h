#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <array>

// The modem's S-registers: working values, the values kept by AT&W, range checks, factory
// presets and the text of the AT&V listing.
class RegisterBank
{
public:
    enum class Identity { HardwareVersion, FirmwareVersion, SoftwareVersion, SerialNumber };

    RegisterBank();

    QStringList names() const; // in listing order
    bool contains(const QString &name) const;
    QString value(const QString &name) const;
    QString storedValue(const QString &name) const;

    // Range-checked write of a working value; false (nothing changes) when refused.
    bool write(const QString &name, const QString &value);
    // Unchecked write of a working value, for setting up a test; unknown names are ignored.
    void setValue(const QString &name, const QString &value);
    void setStoredValue(const QString &name, const QString &value); // the same for the kept value
    static bool accepts(const QString &name, const QString &value);

    void store();
    void reload();
    // What a firmware update that does not keep the settings does: every register but the
    // serial rate back to its factory value, working and stored.
    void resetKeepingRate();
    // What new firmware brings: new firmware and software versions.
    void takeNewVersion();
    // Factory defaults with the role's settings on top; false for an unknown preset code.
    bool applyPreset(int code);

    // One of the identity lines the listing starts with; false (nothing changes) for text that
    // would break the listing.
    bool setIdentity(Identity line, const QString &text);
    static bool acceptsIdentity(const QString &text);

    // Identity lines and every register, each entry "<name> <label>=<value>" ending in a blank,
    // a tab or "\r\n"; without the echo and the final "OK".
    QByteArray listing() const;

private:
    void loadFactoryValues();

    QHash<QString, QString> m_working;
    QHash<QString, QString> m_stored;
    std::array<QByteArray, 4> m_identity;
};
