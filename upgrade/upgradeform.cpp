#include "upgradeform.h"

#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace {

constexpr int DialogWidth = 460;  // pixels
constexpr int DialogHeight = 126; // pixels
constexpr int FormFontSize = 12;  // points
constexpr int PathFontSize = 9;   // points

void setPointSize(QWidget *widget, int points)
{
    QFont font = widget->font();
    font.setPointSize(points);
    widget->setFont(font);
}

QPushButton *makeButton(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setEnabled(true);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

} // namespace

void UpgradeForm::setupUi(QDialog *dialog)
{
    dialog->setObjectName(QStringLiteral("upgrade"));
    dialog->resize(DialogWidth, DialogHeight);

    widget = new QWidget(dialog);
    widget->setObjectName(QStringLiteral("widget"));
    widget->setGeometry(0, 10, 451, 101);
    setPointSize(widget, FormFontSize);

    btnUplaod = makeButton(widget, "btnUplaod", QRect(350, 30, 101, 28));

    progressUpdate = new QProgressBar(widget);
    progressUpdate->setObjectName(QStringLiteral("progressUpdate"));
    progressUpdate->setGeometry(5, 30, 321, 23);
    progressUpdate->setValue(0);

    btnUpdatefile = makeButton(widget, "btnUpdatefile", QRect(5, 0, 451, 28));
    setPointSize(btnUpdatefile, PathFontSize);

    labPromptUpdate = new QLabel(widget);
    labPromptUpdate->setObjectName(QStringLiteral("labPromptUpdate"));
    labPromptUpdate->setGeometry(5, 60, 321, 20);

    retranslateUi();
}

void UpgradeForm::retranslateUi()
{
    btnUplaod->setText(QCoreApplication::translate("upgrade", "升级"));
    btnUpdatefile->setText(QCoreApplication::translate("upgrade", "选择升级文件"));
    labPromptUpdate->clear();
}
