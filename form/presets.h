#pragma once

#include <QVector>

// Factory presets of the modem, in the order the preset dialog lists them.
struct Preset
{
    const char *text;        // source text of the translation context "init"
    const char *englishName; // stable name for scripts
    int code;                // number sent after "AT&F"
};

namespace Presets {

const QVector<Preset> &all();

// Code sent for a dialog index; an index outside the list falls back to the first preset's.
int codeForIndex(int index);

} // namespace Presets
