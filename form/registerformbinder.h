#pragma once

#include "fieldstates.h"

#include <QHash>
#include <QString>
#include <QVector>

class QComboBox;
class QLineEdit;
class QPushButton;
class QWidget;
struct RegisterInfo;

// The register fields of the form by register name, and the state of each, which its border
// shows: the look follows the state, never the other way round.
class RegisterFormBinder
{
public:
    // A register's field (a text field or a drop-down) and its write button, if it has one.
    void add(const RegisterInfo &reg, QWidget *field, QPushButton *writeButton);

    // The register's field of that kind; none when it has another kind or is no register.
    QLineEdit *edit(const QString &name) const { return m_edits.value(name); }
    QComboBox *box(const QString &name) const { return m_boxes.value(name); }

    // In grid order.
    const QVector<QLineEdit *> &edits() const { return m_editOrder; }
    const QVector<QComboBox *> &boxes() const { return m_boxOrder; }
    const QVector<QPushButton *> &writeButtons() const { return m_writeButtons; }

    void mark(const QString &name, FieldState state);
    void markAll(FieldState state); // the text fields first, then the drop-downs

    QStringList edited() const { return m_states.edited(); }

private:
    QHash<QString, QWidget *> m_fields;
    QHash<QString, QLineEdit *> m_edits;
    QHash<QString, QComboBox *> m_boxes;
    QVector<QLineEdit *> m_editOrder;
    QVector<QComboBox *> m_boxOrder;
    QVector<QPushButton *> m_writeButtons;
    FieldStates m_states;
};
