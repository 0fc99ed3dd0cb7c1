#include "uihelper.h"

#include <QMessageBox>

void UiHelper::showInfoBox(const QString &text)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("提示"), text);
    box.setStandardButtons(QMessageBox::Yes);
    box.setButtonText(QMessageBox::Yes, QStringLiteral("确 定"));
    box.exec();
}
