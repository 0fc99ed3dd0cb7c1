#pragma once

#include "portjobs.h"
#include "presets.h"
#include "profile.h"

// The configuration commands as jobs on one port. Each enters AT mode with "+++", does its
// work, and returns the modem to data mode with "\rATA\r". After SIGINT, SIGTERM or SIGHUP a
// job sends nothing but that "\rATA\r" and reports what it had written.
namespace ConfigJobs {

enum class Format { Ini, Json };

// Reads the modem into a profile: printed, or, once the modem is back in data mode, written to
// `outputPattern` with "%p" standing for the port's name (see portFileName); a profile that
// cannot be written whole fails with ExitCode::WriteFailed.
PortJob read(Format format, const QString &outputPattern);

// Compares the profile with the modem; "different" (exit 1) when any register differs.
PortJob diff(const Profile &profile);

// Writes, verifies and (with `store`) stores what differs; a dry run only reads and prints the
// plan: it sends "+++", "\rAT&V\r", the five single queries and "\rATA\r", nothing else.
PortJob apply(const Profile &profile, bool dryRun, bool store);

// Restores a factory preset with "AT&F<code>\r", stored with "\rAT&W\r" when `store` is set.
PortJob reset(const Preset &preset, bool store);

// Enters AT mode and reads the listing: the rate and the modem's identity (I1..I4), one
// "name: value" a line, or (JSON) one object a line with the port.
PortJob probe(bool json);

// A port's name fit for a file name: "/dev/pts/3" gives "pts-3", "ttyUSB0" stays.
QString portFileName(const QString &port);

} // namespace ConfigJobs
