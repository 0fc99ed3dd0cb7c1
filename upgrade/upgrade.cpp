#include "upgrade.h"

#include "firmwareimage.h"
#include "serialline.h"
#include "upgradeengine.h"
#include "upgradeform.h"
#include "upgradelog.h"

#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSerialPort>
#include <QSettings>

namespace {

const char *const SettingsFile = "./Setting.ini";
const char *const LastPathKey = "LastFilePath";

} // namespace

upgrade::upgrade(QWidget *parent) : QDialog(parent), m_form(std::make_unique<UpgradeForm>())
{
    m_form->setupUi(this);
    QMetaObject::connectSlotsByName(this);
    initForm();
    system_init();
}

upgrade::~upgrade() = default;

void upgrade::SetSerialPort(QSerialPort *port)
{
    m_engine->SetSerialPort(&SerialLine::wrapping(*port));
}

void upgrade::initForm()
{
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(tr("升级"));
}

void upgrade::system_init()
{
    m_engine = new UpgradeEngine(this);
    connect(m_form->btnUplaod, &QPushButton::clicked, this, &upgrade::UpdateFile);
    connect(m_form->btnUpdatefile, &QPushButton::clicked, this, &upgrade::AddUpdateFile);
    connect(m_engine, &UpgradeEngine::promptChanged, this, &upgrade::showPrompt);
    connect(m_engine, &UpgradeEngine::progressChanged, m_form->progressUpdate,
            &QProgressBar::setValue);
    connect(m_engine, &UpgradeEngine::finished, this, &upgrade::reportOutcome);
}

void upgrade::UpdateFile()
{
    if (m_form->btnUplaod->text() == tr("升级"))
        startUpgrade();
    else
        cancelUpgrade();
}

void upgrade::AddUpdateFile()
{
    QSettings settings(QString::fromLatin1(SettingsFile), QSettings::IniFormat);
    const QString lastPath = settings.value(QString::fromLatin1(LastPathKey)).toString();
    qCDebug(lcUpgrade) << "lastpath" << lastPath;
    const QString fileName = QFileDialog::getOpenFileName(this, tr("选择升级文件！"), lastPath,
                                                          QStringLiteral("Files(*.stz)"));
    qCDebug(lcUpgrade) << "filename : " << fileName;
    if (fileName.isEmpty())
        return;
    m_form->btnUpdatefile->setText(fileName);
    settings.setValue(QString::fromLatin1(LastPathKey), fileName);
}

// The main window sets up and owns the port; the dialog only borrows it.
void upgrade::initUart() {}

void upgrade::startUpgrade()
{
    QFile file(m_form->btnUpdatefile->text());
    if (!file.open(QIODevice::ReadOnly)) {
        qCDebug(lcUpgrade) << "Can't open the file!";
        QMessageBox::information(this, QStringLiteral("文件错误"),
                                 QStringLiteral("文件错误，请检查！！"));
        return;
    }
    QByteArray image;
    FirmwareImage::readToEnd(file, &image); // what a failing file yields is sent as it is
    qCDebug(lcUpgrade) << "filesize=" << image.size();
    file.close();
    m_form->progressUpdate->setMaximum(image.size());
    m_form->progressUpdate->setValue(0);
    m_form->btnUplaod->setText(tr("取消"));
    m_form->btnUplaod->setStyleSheet(QStringLiteral("color: red"));
    m_engine->start(image);
}

void upgrade::cancelUpgrade()
{
    m_engine->cancel();
    m_form->btnUplaod->setText(tr("升级"));
    m_form->btnUplaod->setStyleSheet(QStringLiteral("color: white"));
    m_form->progressUpdate->setValue(0);
    m_form->labPromptUpdate->clear();
}

void upgrade::showPrompt(const char *sourceText)
{
    m_form->labPromptUpdate->setText(tr(sourceText));
}

// After a failure the button keeps "取消" and the bar its value, so the operator sees where it
// stopped; after a success the cancel branch returns the dialog to idle.
void upgrade::reportOutcome(bool success)
{
    if (!success) {
        QMessageBox::information(this, tr("升级失败"), tr("升级失败，请检查！！"));
        return;
    }
    QMessageBox::information(this, tr("升级成功"), tr("升级成功，请重启设置！！"));
    m_form->btnUplaod->click();
}
