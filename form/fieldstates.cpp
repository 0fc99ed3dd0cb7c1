#include "fieldstates.h"

#include "registercatalog.h"

bool FieldStates::set(const QString &name, FieldState state)
{
    const auto it = m_states.constFind(name);
    if (it != m_states.constEnd() && *it == state)
        return false;
    m_states.insert(name, state);
    return true;
}

QStringList FieldStates::edited() const
{
    QStringList names;
    for (const RegisterInfo &reg : RegisterCatalog::registers()) {
        const QString name = QLatin1String(reg.name);
        if (reg.kind != FieldKind::Info && state(name) == FieldState::Edited)
            names.append(name);
    }
    return names;
}
