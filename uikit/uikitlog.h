#pragma once

#include <QLoggingCategory>

// The debug output of the UI kit, under its own category.
inline Q_LOGGING_CATEGORY(lcUikit, "dr58.uikit")
