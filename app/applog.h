#pragma once

#include <QLoggingCategory>

// The debug output of the window, under its own category.
inline Q_LOGGING_CATEGORY(lcApp, "dr58.app")
