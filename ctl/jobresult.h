#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

// A change of the modem's serial rate (bits per second) and whether it answered at the new one.
struct RateRecord
{
    int from;
    int to;
    bool confirmed;
};

// What a command did on one port.
struct JobResult
{
    // One word for the summary and the report.
    enum class Result {
        Read,
        Equal,
        Different,
        Applied,
        Planned,
        Reset,
        Probed,
        BackedUp,
        Upgraded,
        Refused,
        Vanished,
        Failed,
        Interrupted
    };

    // Success (exit 0) with what was done and the output for standard output.
    static JobResult done(Result result, QString detail, QString output = {});
    // "diff" found differences (exit 1).
    static JobResult different(QString detail, QString output);
    // A failure with its exit code.
    static JobResult failure(int code, QString detail);
    // A modem the command refuses for what it read from it (exit `code`).
    static JobResult refused(int code, QString detail);
    // Stopped on request; `code` is the stop's exit code (128 + the signal).
    static JobResult interrupted(int code, QString detail);

    // Turns this result into a failure with `code` (its detail and errors kept).
    void fail(int code);
    // Whether the job failed: anything but success and "different".
    bool isFailure() const;
    // The result's word: "read", "equal", "applied", "failed", ...
    QString word() const { return wordOf(result); }
    static QString wordOf(Result result);

    int code = 0; // an ExitCode, or 128 + the signal that interrupted the job
    Result result = Result::Failed;
    QString detail;     // one line: what was done, or what went wrong and where
    QString output;     // for standard output, printed in port order once every port is done
    QStringList errors; // further lines for standard error
    // For the report: the identity fields read (I1..I4 by name; none when the job read none),
    // the registers written and read back, the one that failed, those not written, and the
    // SHA-256 (hex) of the firmware sent, the site plan's section used, and (net audit) the
    // network's problems seen on this modem.
    QMap<QString, QString> identity;
    QStringList written;
    QStringList failed;
    QStringList notWritten;
    QString firmwareSha256;
    std::optional<RateRecord> rateChange;
    // An upgrade that kept the settings: the identity before it, and the registers written back
    // from the backup (none when the upgrade kept no settings).
    QMap<QString, QString> identityBefore;
    std::optional<QStringList> restored;
    QString section;
    std::optional<QStringList> problems;
};
