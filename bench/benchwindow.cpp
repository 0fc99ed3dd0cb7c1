#include "benchwindow.h"

#include "appresources.h"
#include "at.h"
#include "portlist.h"
#include "replymarkers.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>

BenchWindow::BenchWindow(const QString &port, int rate)
{
    initAppResources();
    PortList::clearExtraPorts();
    PortList::addExtraPort(port);
    m_window = std::make_unique<AT>();
    m_window->show();
    m_window->findChild<QComboBox *>(QStringLiteral("UartCom"))->setCurrentText(port);
    m_window->findChild<QComboBox *>(QStringLiteral("UartComBaud"))
        ->setCurrentText(QString::number(rate));
}

BenchWindow::~BenchWindow() = default;

bool BenchWindow::openInAtMode()
{
    click("btnUart");
    return enterAtMode();
}

bool BenchWindow::enterAtMode()
{
    auto *log = m_window->findChild<QTextBrowser *>(QStringLiteral("textBrowser"));
    log->clear();
    click("btnEnterAT");
    return log->toPlainText().contains(QString::fromLatin1(ReplyMarkers::Greeting.trimmed()));
}

void BenchWindow::click(const char *name)
{
    button(name)->click();
}

QString BenchWindow::fieldText(const char *name) const
{
    return m_window->findChild<QLineEdit *>(QLatin1String(name))->text();
}

QPushButton *BenchWindow::button(const char *name) const
{
    auto *found = m_window->findChild<QPushButton *>(QLatin1String(name));
    if (!found)
        qFatal("no button %s", name);
    return found;
}
