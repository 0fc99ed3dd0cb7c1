#include "upgradeoperator.h"

#include "measure.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

UpgradeOperator::UpgradeOperator(const QString &file) : m_file(file)
{
    qApp->installEventFilter(this);
}

UpgradeOperator::~UpgradeOperator()
{
    qApp->removeEventFilter(this);
}

bool UpgradeOperator::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Show || !watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    if (auto *box = qobject_cast<QMessageBox *>(widget)) {
        if (m_boxShownNs == 0) {
            m_boxShownNs = Measure::nowNs();
            m_boxText = box->text();
        }
        QTimer::singleShot(0, box, [this, box] { closeBox(box); });
    } else if (widget->objectName() == QStringLiteral("upgrade") && !m_dialog) {
        m_dialog = widget;
        QTimer::singleShot(0, widget, [this, widget] { startUpgrade(widget); });
    }
    return false;
}

void UpgradeOperator::startUpgrade(QWidget *dialog)
{
    dialog->findChild<QPushButton *>(QStringLiteral("btnUpdatefile"))->setText(m_file);
    dialog->findChild<QPushButton *>(QStringLiteral("btnUplaod"))->click();
}

// Once the box is gone the dialog has finished its own handling: then it is closed too.
void UpgradeOperator::closeBox(QWidget *box)
{
    static_cast<QMessageBox *>(box)->button(QMessageBox::Ok)->click();
    QDialog *dialog = static_cast<QDialog *>(m_dialog);
    QTimer::singleShot(0, dialog, [dialog] { dialog->reject(); });
}
