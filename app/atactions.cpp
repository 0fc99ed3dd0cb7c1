// The main window's jobs for power users, kept off the window's face: profiles (open, save,
// write every edited field) on the register form's context menu, the transcript of the serial
// port on the traffic log's, each with its keyboard shortcut, and profile files dropped on the
// window. A site plan opens as the profile of the radio whose serial number the form shows.
#include "at.h"

#include "atform.h"
#include "outputfile.h"
#include "portrecorder.h"
#include "problembox.h"
#include "profile.h"
#include "profilewriter.h"
#include "registercatalog.h"
#include "siteplan.h"
#include "valuecheck.h"

#include <QAction>
#include <QDropEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMimeData>

namespace {

const QString ProfileFilter = QStringLiteral("Profiles (*.ini *.json);;All files (*)");

QString unusable(const QStringList &problems)
{
    return AT::tr("配置文件无法使用：") + QLatin1Char('\n') + problems.join(QLatin1Char('\n'));
}

// The settings of the radio with the serial number the form shows, from a site plan: the
// network's and those of its section; none, with the message to show, otherwise.
std::optional<Profile> planProfile(const QString &path, const QString &serial, QString *message)
{
    QStringList problems;
    const auto plan = SitePlan::load(path, &problems);
    const PlanRadio *radio = plan ? plan->radio(serial) : nullptr;
    if (!plan)
        *message = unusable(problems);
    else if (serial.isEmpty())
        *message = AT::tr("表单中没有生产序号：请先查询参数，站点计划按生产序号选择本机的配置。");
    else if (!radio)
        *message = AT::tr("站点计划中没有生产序号为 %1 的电台。").arg(serial);
    return radio ? std::optional(plan->profileFor(*radio)) : std::nullopt;
}

// Hands the first local file of a drop to `open`; every other drop goes on to its target.
class FileDrop : public QObject
{
public:
    FileDrop(QObject *parent, std::function<void(const QString &)> open)
        : QObject(parent), m_open(std::move(open))
    {
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        const auto type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return false;
        auto *drop = static_cast<QDropEvent *>(event);
        const QList<QUrl> urls = drop->mimeData()->urls();
        if (urls.isEmpty() || !urls.first().isLocalFile())
            return false;
        drop->acceptProposedAction();
        if (type == QEvent::Drop)
            m_open(urls.first().toLocalFile());
        return true;
    }

private:
    std::function<void(const QString &)> m_open;
};

QAction *newAction(QWidget *window, QWidget *place, const char *name, const QString &text,
                   const QKeySequence &shortcut = {})
{
    auto *action = new QAction(text, window);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    place->addAction(action);
    return action;
}

} // namespace

void AT::initActions()
{
    recorder = new PortRecorder(uartLine);
    connect(ui->btnClear, &QPushButton::clicked, recorder, &PortRecorder::clear);
    addProfileActions();
    addTranscriptAction();
    acceptProfileDrops();
}

void AT::addProfileActions()
{
    QWidget *form = ui->widget;
    form->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(newAction(this, form, "actionOpenProfile", tr("打开配置文件..."), QKeySequence::Open),
            &QAction::triggered, this, [this] {
                const QString path = QFileDialog::getOpenFileName(this, tr("打开配置文件"),
                                                                  QString(), ProfileFilter);
                if (!path.isEmpty())
                    openProfile(path);
            });
    connect(newAction(this, form, "actionSaveProfile", tr("保存配置文件..."),
                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)),
            &QAction::triggered, this, [this] {
                const QString path = QFileDialog::getSaveFileName(this, tr("保存配置文件"),
                                                                  QString(), ProfileFilter);
                if (!path.isEmpty())
                    saveProfile(path);
            });
    connect(newAction(this, form, "actionWriteEdited", tr("写入已修改的参数"),
                      QKeySequence(Qt::CTRL | Qt::Key_Return)),
            &QAction::triggered, this, &AT::writeEdited);
}

// The traffic log's own context menu, with the transcript's action after its entries.
void AT::addTranscriptAction()
{
    QAction *transcript =
        newAction(this, ui->textBrowser, "actionSaveTranscript", tr("保存通信记录..."));
    connect(transcript, &QAction::triggered, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, tr("保存通信记录"), QString(),
                                                          QStringLiteral("Transcripts (*.txt)"));
        if (!path.isEmpty())
            saveTranscript(path);
    });
    ui->textBrowser->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->textBrowser, &QWidget::customContextMenuRequested, this,
            [this, transcript](const QPoint &at) {
                QMenu *menu = ui->textBrowser->createStandardContextMenu(at);
                menu->addSeparator();
                menu->addAction(transcript);
                menu->exec(ui->textBrowser->viewport()->mapToGlobal(at));
                delete menu;
            });
}

// Widgets that take drops of their own (the text fields) leave files to the window.
void AT::acceptProfileDrops()
{
    auto *drop = new FileDrop(this, [this](const QString &path) { openProfile(path); });
    setAcceptDrops(true);
    installEventFilter(drop);
    for (QWidget *child : findChildren<QWidget *>()) {
        if (child->acceptDrops())
            child->installEventFilter(drop);
    }
}

void AT::openProfile(const QString &path)
{
    QStringList problems;
    QString message;
    std::optional<Profile> profile;
    if (SitePlan::isPlanFile(path))
        profile = planProfile(path, ui->registers.edit(QStringLiteral("I4"))->text(), &message);
    else if (!(profile = Profile::load(path, &problems)))
        message = unusable(problems);
    if (!profile) {
        ProblemBox::show(this, message);
        return;
    }
    for (const ProfileEntry &entry : profile->entries())
        showProfileValue(*RegisterCatalog::find(entry.name), entry.value);
}

// A field whose value the profile changes gets the value and the edited mark; one that already
// says the same keeps its value and its mark.
void AT::showProfileValue(const RegisterInfo &reg, const QString &value)
{
    const QString name = QLatin1String(reg.name);
    if (QComboBox *box = ui->registers.box(name)) {
        const int index = box->currentIndex();
        if (index >= 0 &&
            ValueCheck::same(reg, QString::number(RegisterCatalog::wireValueForIndex(name, index)),
                             value))
            return;
        box->setCurrentIndex(RegisterCatalog::indexForWireValue(name, value.toInt()));
        ui->registers.mark(name, FieldState::Edited);
        return;
    }
    QLineEdit *edit = ui->registers.edit(name);
    if (ValueCheck::same(reg, edit->text(), value))
        return;
    edit->setText(value); // the changed text marks it edited
    edit->setCursorPosition(0);
}

// What the form shows, by register name: the wire value of each selected item, the text of each
// field that holds one; blank fields show nothing.
QMap<QString, QString> AT::shownValues() const
{
    QMap<QString, QString> values;
    for (const RegisterInfo &reg : RegisterCatalog::registers()) {
        const QString name = QLatin1String(reg.name);
        if (const QComboBox *box = ui->registers.box(name)) {
            if (box->currentIndex() >= 0)
                values.insert(name, QString::number(RegisterCatalog::wireValueForIndex(
                                        name, box->currentIndex())));
        } else if (const QLineEdit *edit = ui->registers.edit(name)) {
            if (!edit->text().isEmpty())
                values.insert(name, edit->text());
        }
    }
    return values;
}

// A profile that could not be opened again is not written: each field the modem would not
// take is named instead.
void AT::saveProfile(const QString &path)
{
    const QMap<QString, QString> values = shownValues();
    QStringList problems;
    for (auto it = values.begin(); it != values.end(); ++it) {
        const RegisterInfo &reg = *RegisterCatalog::find(it.key());
        const QString problem =
            reg.kind == FieldKind::Info ? QString() : ValueCheck::problem(reg, it.value());
        if (!problem.isEmpty())
            problems.append(it.key() + QStringLiteral(": ") + problem);
    }
    if (!problems.isEmpty()) {
        ProblemBox::show(this, tr("配置文件未保存，以下参数的值无效：") + QLatin1Char('\n') +
                                   problems.join(QLatin1Char('\n')));
        return;
    }
    const bool json = path.endsWith(QLatin1String(".json"), Qt::CaseInsensitive);
    saveFile(path, json ? ProfileWriter::json(uart.portName(), values)
                        : ProfileWriter::ini(uart.portName(), values));
}

void AT::saveTranscript(const QString &path)
{
    saveFile(path, recorder->text().toUtf8());
}

// Profiles and transcripts may hold the encryption key: readable by the owner only.
void AT::saveFile(const QString &path, const QByteArray &text)
{
    const QString error = OutputFile::save(path, text);
    if (!error.isEmpty())
        ProblemBox::show(this, tr("文件无法保存：") + QStringLiteral("\n%1: %2").arg(path, error));
}
