#include "registerformbinder.h"

#include "fieldmarks.h"
#include "registercatalog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

void RegisterFormBinder::add(const RegisterInfo &reg, QWidget *field, QPushButton *writeButton)
{
    const QString name = QLatin1String(reg.name);
    m_fields.insert(name, field);
    if (auto *box = qobject_cast<QComboBox *>(field)) {
        m_boxes.insert(name, box);
        m_boxOrder.append(box);
    } else if (auto *edit = qobject_cast<QLineEdit *>(field)) {
        m_edits.insert(name, edit);
        m_editOrder.append(edit);
    }
    if (writeButton)
        m_writeButtons.append(writeButton);
}

// Every new style sheet re-styles the field at once (a few hundred microseconds each), so only a
// change of state sets one.
void RegisterFormBinder::mark(const QString &name, FieldState state)
{
    QWidget *field = m_fields.value(name);
    if (field && m_states.set(name, state))
        field->setStyleSheet(FieldMarks::of(state));
}

void RegisterFormBinder::markAll(FieldState state)
{
    for (const QLineEdit *edit : m_editOrder)
        mark(edit->objectName(), state);
    for (const QComboBox *box : m_boxOrder)
        mark(box->objectName(), state);
}
