#pragma once

#include "fieldstates.h"

#include <QString>

// Border colours that tell the operator where a register field stands.
namespace FieldMarks {

inline const QString Clean = QStringLiteral("border-color :black "); // blank, or the modem's value
inline const QString Edited = QStringLiteral("border-color :yellow ");   // changed since filled
inline const QString Written = QStringLiteral("border-color :#478CB6 "); // write acknowledged
inline const QString Failed = QStringLiteral("border-color :red ");      // write not acknowledged

// The style sheet that shows a field's state.
inline const QString &of(FieldState state)
{
    switch (state) {
    case FieldState::Edited:
        return Edited;
    case FieldState::Written:
        return Written;
    case FieldState::Failed:
        return Failed;
    case FieldState::Clean:
        break;
    }
    return Clean;
}

} // namespace FieldMarks
