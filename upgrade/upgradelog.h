#pragma once

#include <QLoggingCategory>

// The debug output of the upgrade, under its own category.
inline Q_LOGGING_CATEGORY(lcUpgrade, "dr58.upgrade")
