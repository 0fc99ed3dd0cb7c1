#pragma once

#include "modemreader.h"
#include "portjobs.h"
#include "presets.h"
#include "profile.h"

#include <variant>

class AtSession;

// The configuration commands as jobs on one port. Each enters AT mode with "+++", does its
// work, and returns the modem to data mode with "\rATA\r". After SIGINT, SIGTERM or SIGHUP a
// job sends nothing but that "\rATA\r" and reports what it had written.
namespace ConfigJobs {

enum class Format { Ini, Json };

// Reads the modem into a profile: printed, or written to `outputPattern` with "%p" standing for
// the port's name (see portFileName).
PortJob read(Format format, const QString &outputPattern);

// Compares the profile with the modem; "different" (exit 1) when any register differs.
PortJob diff(const Profile &profile);

// Writes, verifies and (with `store`) stores what differs; a dry run only reads and prints the
// plan: it sends "+++", "\rAT&V\r", the five single queries and "\rATA\r", nothing else.
PortJob apply(const Profile &profile, bool dryRun, bool store);

// A profile chosen for one modem from its identity as read (I1..I4 by name), with a line
// that says where it came from; or the result that ends the job with nothing written.
struct ChosenProfile
{
    Profile profile;
    QString origin;
};
using ProfileChoice = std::function<std::variant<ChosenProfile, JobResult>(
    const PortContext &, const QMap<QString, QString> &identity)>;

// apply, with the profile `choose` gives for each modem once it has been read.
PortJob applyChosen(const ProfileChoice &choose, bool store);

// Enters AT mode, reads the modem and hands what it read to `work`; the result carries the
// identity read, and the modem is returned to data mode.
JobResult withReading(const PortContext &context, ModemLine &line,
                      const std::function<JobResult(AtSession &, const Reading &)> &work);

// Restores a factory preset with "AT&F<code>\r", stored with "\rAT&W\r" when `store` is set.
PortJob reset(const Preset &preset, bool store);

// Enters AT mode and reads the listing: the rate and the modem's identity (I1..I4), one
// "name: value" a line, or (JSON) one object a line with the port.
PortJob probe(bool json);

// A port's name fit for a file name: "/dev/pts/3" gives "pts-3", "ttyUSB0" stays.
QString portFileName(const QString &port);

} // namespace ConfigJobs
