#include "init.h"

#include "presets.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

init::init(QWidget *parent) : QDialog(parent)
{
    setupUi();
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(tr("设备恢复出厂设置"));
}

std::optional<int> init::choose(QWidget *parent)
{
    init dialog(parent);
    dialog.exec();
    return dialog.m_chosen;
}

void init::accept()
{
    m_chosen = m_presets->currentIndex();
    done(QDialog::Accepted);
}

void init::reject()
{
    m_chosen.reset();
    done(QDialog::Rejected);
}

void init::setupUi()
{
    setObjectName(QStringLiteral("init"));
    resize(366, 153);
    setWindowTitle(tr("Dialog"));
    auto *grid = new QGridLayout(this);
    grid->setObjectName(QStringLiteral("gridLayout"));

    auto *label = new QLabel(tr("恢复出厂设置"), this);
    label->setObjectName(QStringLiteral("label"));
    grid->addWidget(label, 0, 0);

    m_presets = new QComboBox(this);
    m_presets->setObjectName(QStringLiteral("ATF"));
    for (const Preset &preset : Presets::all())
        m_presets->addItem(tr(preset.text));
    m_presets->setCurrentIndex(0);
    grid->addWidget(m_presets, 0, 1);

    auto *buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this);
    buttons->setObjectName(QStringLiteral("buttonBox"));
    grid->addWidget(buttons, 1, 1);
    connect(buttons, &QDialogButtonBox::accepted, this, &init::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &init::reject);
}
