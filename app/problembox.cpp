#include "problembox.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>

namespace ProblemBox {

void show(QWidget *window, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, QCoreApplication::translate("AT", "错误"), text,
                    QMessageBox::Ok, window);
    box.button(QMessageBox::Ok)->setText(QCoreApplication::translate("AT", "确定"));
    box.exec();
}

} // namespace ProblemBox
