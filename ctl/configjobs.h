#pragma once

#include "modemreader.h"
#include "portjobs.h"
#include "presets.h"
#include "profile.h"

// The configuration commands as jobs on one port. Each enters AT mode with "+++", does its
// work, and returns the modem to data mode with "\rATA\r". Once the context's stop is requested
// (a signal, or a caller) a job sends nothing but that "\rATA\r" and reports what it had
// written.
namespace ConfigJobs {

enum class Format { Ini, Json };

// Reads the modem into a profile: printed, or, once the modem is back in data mode, written to
// `outputPattern` with "%p" standing for the port's name (see portFileName); a profile that
// cannot be written whole fails with ExitCode::WriteFailed.
PortJob read(Format format, const QString &outputPattern);

// The profile a modem gets, chosen by what was read from it (a site plan's section by its serial
// number); without one, `refusal` is the modem's result and nothing is written. `section` names
// the plan's section, empty for a profile; `origin`, a line shown first, where the profile came
// from (a backup's file), empty for none.
struct Choice
{
    std::optional<Profile> profile;
    JobResult refusal;
    QString section;
    QString origin = {};
};
using ProfileChoice = std::function<Choice(const Reading &)>;

// The one profile for every modem.
ProfileChoice everyModem(const Profile &profile);

// Reads the modem as `read` does and hands the reading to `work` (with the modem in AT mode);
// the report gets its identity.
PortJob withReading(const std::function<JobResult(const PortContext &, const Reading &)> &work);

// Compares the profile with the modem; "different" (exit 1) when any register differs. `json`
// prints one object a line instead of text: the port and its differences, each with the
// register, the modem's value (null when unreadable) and the profile's (a plan's section is
// named in the report only).
PortJob diff(const ProfileChoice &choose, bool json);

// Writes, verifies and (with `store`) stores what differs; a dry run only reads and prints the
// plan: it sends "+++", "\rAT&V\r", the five single queries and "\rATA\r", nothing else.
PortJob apply(const ProfileChoice &choose, bool dryRun, bool store);

// Restores a factory preset with "AT&F<code>\r", stored with "\rAT&W\r" when `store` is set.
PortJob reset(const Preset &preset, bool store);

// Enters AT mode and reads the listing: the rate and the modem's identity (I1..I4), one
// "name: value" a line, or (JSON) one object a line with the port.
PortJob probe(bool json);

// A port's name fit for a file name: "/dev/pts/3" gives "pts-3", "ttyUSB0" stays.
QString portFileName(const QString &port);

} // namespace ConfigJobs
