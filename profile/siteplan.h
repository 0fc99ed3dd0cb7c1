#pragma once

#include "networkrules.h"
#include "profile.h"

#include <QMap>
#include <optional>

// One radio of a site plan: its serial number (the I4 its modem reports), the line of its
// section, and its own settings.
struct PlanRadio
{
    QString serial;
    int line;
    QVector<ProfileEntry> entries;
};

// A whole network in one file: the settings every radio shares and each radio's own, found by
// its serial number. Every value is checked as a profile's is.
//
// INI: a "[network]" section and one "[radio SERIAL]" section per radio, each of NAME=VALUE lines
// as in a profile. JSON: {"network": {NAME: VALUE}, "radios": {SERIAL: {NAME: VALUE}}}.
// A register set in [network] and in a radio's section, a serial number given twice, a section
// of another name or a setting outside a section is a problem naming its line.
class SitePlan
{
public:
    static constexpr int MaxBytes = 8 << 20; // a plan of 1000 radios takes about 40 KiB

    // Whether the file holds a plan rather than a profile: INI with a section, JSON with
    // "network" or "radios". False for a file that cannot be read (the profile reader names why).
    static bool isPlanFile(const QString &path);

    // As Profile::load and Profile::parse.
    static std::optional<SitePlan> load(const QString &path, QStringList *problems);
    static std::optional<SitePlan> parse(const QString &fileName, const QByteArray &text,
                                         QStringList *problems);

    // The plan of radios read: values equal on all of them go into [network], the others into
    // each radio's section. Identity fields are left out.
    static SitePlan fromRadios(const QVector<NetworkRadio> &radios);

    const QVector<ProfileEntry> &network() const { return m_network; }
    const QVector<PlanRadio> &radios() const { return m_radios; }
    const PlanRadio *radio(const QString &serial) const;

    // "radio SN-0042"
    static QString sectionName(const QString &serial);

    // The network's settings and the radio's, as one profile.
    Profile profileFor(const PlanRadio &radio) const;

    // Each radio with its planned values, for the network rules.
    QVector<NetworkRadio> networkRadios() const;

    QByteArray ini() const;
    QByteArray json() const;

private:
    QVector<ProfileEntry> m_network;
    QVector<PlanRadio> m_radios;
};
