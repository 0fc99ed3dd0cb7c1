#pragma once

// Why a line did not open, or stopped working, in terms any program can map to its own answers.
enum class LineFailure {
    None,        // the line is open
    Missing,     // no such device, or no such host
    Denied,      // no permission to open the device
    Busy,        // another program holds the device
    Unreachable, // no connection within the connect bound
    Refused,     // the server refused the connection
    RateNotSet,  // the server did not set its line as asked
    Interrupted, // the stop ended the opening
    Gone,        // an open line failed while in use: unplugged, closed or flooded by its server
    Failed       // anything else
};
