#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// Where a register field stands for the operator.
enum class FieldState {
    Clean,   // blank, or the modem's value
    Edited,  // changed since it was filled
    Written, // its write was acknowledged
    Failed   // its write was not acknowledged
};

// The state of each register field of the form, by register name. A field gets its first state
// when the form is first cleared; until then it has none.
class FieldStates
{
public:
    // True when the field's state changed (or it had none), so its look must follow.
    bool set(const QString &name, FieldState state);
    FieldState state(const QString &name) const { return m_states.value(name, FieldState::Clean); }
    // The writable registers whose fields are edited, in catalogue order.
    QStringList edited() const;

private:
    QHash<QString, FieldState> m_states;
};
