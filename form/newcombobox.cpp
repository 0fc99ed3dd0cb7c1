#include "newcombobox.h"

#include "portlist.h"

newComboBox::newComboBox(QWidget *parent) : QComboBox(parent) {}

void newComboBox::showPopup()
{
    const QString current = currentText();
    clear();
    addItems(PortList::availablePorts());
    const int index = findText(current);
    if (index >= 0)
        setCurrentIndex(index);
    QComboBox::showPopup();
}
