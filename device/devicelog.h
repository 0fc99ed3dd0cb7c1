#pragma once

#include <QLoggingCategory>

// The debug output of the device, under its own category.
inline Q_LOGGING_CATEGORY(lcDevice, "dr58.device")
