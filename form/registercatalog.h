#pragma once

#include <QStringList>
#include <QVector>

// The fixed set of modem parameters the tool shows and changes. Every text is a source text of
// the translation context "AT"; the form translates it when it builds the widgets.
enum class FieldKind { Text, Choice, Info };

enum class ValidatorKind {
    None,
    Integer,    // QIntValidator(bottom, top)
    WholeNumber // QDoubleValidator(0, WholeNumberTop, 0 decimals)
};
constexpr quint64 WholeNumberTop = 4294967295ULL;

struct ChoiceItem
{
    const char *text;
    int wireValue;
};

struct RegisterInfo
{
    const char *name;  // object name of the field, name in AT commands and in the listing
    const char *label; // label source text
    FieldKind kind;
    QVector<ChoiceItem> items; // choice registers only, in display order
    ValidatorKind validator;
    int bottom; // Integer validator range
    int top;
    QVector<const char *> tooltip; // pieces, joined by "\r\n"
    bool indentThirdPiece;         // twelve blanks in front of the third tooltip piece
    int row;                       // grid row
    bool rightGroup;               // right column group of the grid
};

namespace RegisterCatalog {

const QVector<RegisterInfo> &registers();
const RegisterInfo *find(const QString &name);

// Port baud rates of the port panel, in display order.
QStringList portBaudRates();

// Names of the identity fields I1..I4, in catalogue order.
const QStringList &identityNames();

// Listing prefixes of the info fields I1..I4 (with their trailing blank), empty for others.
QByteArray identityKey(const QString &name);

// Translated tooltip text of a register, empty when it has none.
QString tooltipText(const RegisterInfo &reg);

// Wire value written for the selected index of a choice register (-1 for no selection).
int wireValueForIndex(const QString &name, int index);

// Index selected for a value read from the modem for a choice register.
int indexForWireValue(const QString &name, int value);

} // namespace RegisterCatalog
