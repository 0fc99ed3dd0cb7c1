#pragma once

#include "profileentry.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

// The register settings to apply to a modem, read from an INI or JSON profile and checked
// against the register catalogue before anything is sent.
class Profile
{
public:
    static constexpr int MaxBytes = 65536; // a profile of every register with comments is ~3 KiB

    // Reads a profile file: a regular file of at most MaxBytes, UTF-8 with or without a
    // byte-order mark, LF or CRLF lines. On any problem there is no profile, and `problems` gets
    // one "<file>:<line>: <message>" text per problem.
    static std::optional<Profile> load(const QString &path, QStringList *problems);
    // The same for text already read; JSON when it starts with "{", INI otherwise.
    static std::optional<Profile> parse(const QString &fileName, const QByteArray &text,
                                        QStringList *problems);

    // Entries already checked against the catalogue (a site plan's for one radio).
    static Profile fromEntries(const QVector<ProfileEntry> &entries);

    const QVector<ProfileEntry> &entries() const { return m_entries; }
    const ProfileEntry *find(const QString &name) const;

private:
    QVector<ProfileEntry> m_entries;
};
