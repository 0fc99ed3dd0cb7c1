#include "atform.h"

#include "newcombobox.h"
#include "registercatalog.h"

namespace {

QString tr(const char *source)
{
    return QCoreApplication::translate("AT", source);
}

QString numberOf(const RegisterInfo &reg)
{
    // "S104" -> "104"; the info fields keep their whole name ("I1").
    const QString name = QLatin1String(reg.name);
    return reg.kind == FieldKind::Info ? name : name.mid(1);
}

// The validator of a register's kind and range, owned by the window; none for free text.
QValidator *validatorFor(const RegisterInfo &reg, QObject *owner)
{
    switch (reg.validator) {
    case ValidatorKind::Integer:
        return new QIntValidator(reg.bottom, reg.top, owner);
    case ValidatorKind::WholeNumber:
        return new QDoubleValidator(0, double(WholeNumberTop), 0, owner);
    case ValidatorKind::None:
        break;
    }
    return nullptr;
}

// A register's field in the grid: a drop-down with its items, or a text field with its validator.
QWidget *newField(const RegisterInfo &reg, QWidget *grid, QMainWindow *window)
{
    QWidget *field;
    if (reg.kind == FieldKind::Choice) {
        auto *box = new QComboBox(grid);
        for (const ChoiceItem &item : reg.items)
            box->addItem(*item.text ? tr(item.text) : QString());
        field = box;
    } else {
        auto *edit = new QLineEdit(grid);
        if (reg.kind == FieldKind::Info) {
            edit->setFocusPolicy(Qt::NoFocus);
            edit->setEnabled(true);
        }
        if (QValidator *validator = validatorFor(reg, window))
            edit->setValidator(validator);
        field = edit;
    }
    field->setObjectName(QLatin1String(reg.name));
    if (!reg.tooltip.isEmpty())
        field->setToolTip(RegisterCatalog::tooltipText(reg));
    return field;
}

} // namespace

void AtForm::setupUi(QMainWindow *window)
{
    window->setObjectName(QStringLiteral("AT"));
    window->resize(991, 674);
    window->setWindowTitle(tr("AT"));

    centralwidget = new QWidget(window);
    centralwidget->setObjectName(QStringLiteral("centralwidget"));
    gridLayout = new QGridLayout(centralwidget);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setContentsMargins(3, 0, 0, 0);

    setupTitleBar();
    setupRegisterGrid(window);
    textBrowser = new QTextBrowser(centralwidget);
    textBrowser->setObjectName(QStringLiteral("textBrowser"));
    textBrowser->setFocusPolicy(Qt::StrongFocus);
    setupCommandColumn();

    gridLayout->addWidget(widgetTitle, 0, 0, 2, 2);
    gridLayout->addWidget(widget, 2, 0, 1, 1);
    gridLayout->addWidget(textBrowser, 3, 0, 1, 1);
    gridLayout->addWidget(widget1, 2, 1, 3, 1);
    window->setCentralWidget(centralwidget);

    menubar = new QMenuBar(window);
    menubar->setObjectName(QStringLiteral("menubar"));
    menubar->setGeometry(QRect(0, 0, 991, 26));
    window->setMenuBar(menubar);
    statusbar = new QStatusBar(window);
    statusbar->setObjectName(QStringLiteral("statusbar"));
    window->setStatusBar(statusbar);

    QMetaObject::connectSlotsByName(window);
}

void AtForm::setupTitleBar()
{
    widgetTitle = new QWidget(centralwidget);
    widgetTitle->setObjectName(QStringLiteral("widgetTitle"));
    horizontalLayout = new QHBoxLayout(widgetTitle);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setSpacing(10);
    horizontalLayout->setContentsMargins(0, 0, 0, 0);

    auto button = [this](const char *name, const char *text) {
        auto *b = new QPushButton(tr(text), widgetTitle);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    horizontalLayout->addItem(new QSpacerItem(5, 20, QSizePolicy::Fixed, QSizePolicy::Minimum));
    labIco = new QLabel(tr("123"), widgetTitle);
    labIco->setObjectName(QStringLiteral("labIco"));
    horizontalLayout->addWidget(labIco);
    labTitle = new QLabel(tr("456"), widgetTitle);
    labTitle->setObjectName(QStringLiteral("labTitle"));
    horizontalLayout->addWidget(labTitle);
    horizontalLayout->addItem(
        new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    btnMenu_Min = button("btnMenu_Min", "1");
    btnMenu_Max = button("btnMenu_Max", "2");
    btnMenu_Max->setEnabled(false);
    btnMenu_Close = button("btnMenu_Close", "3");
    horizontalLayout->addWidget(btnMenu_Min);
    horizontalLayout->addWidget(btnMenu_Max);
    horizontalLayout->addWidget(btnMenu_Close);
    horizontalLayout->addItem(new QSpacerItem(4, 20, QSizePolicy::Fixed, QSizePolicy::Minimum));
}

QPushButton *AtForm::addCommandButton(const char *name, const char *text)
{
    auto *button = new QPushButton(tr(text), widget1);
    button->setObjectName(QLatin1String(name));
    verticalLayout->addWidget(button);
    return button;
}

void AtForm::setupCommandColumn()
{
    widget1 = new QWidget(centralwidget);
    widget1->setObjectName(QStringLiteral("widget1"));
    verticalLayout = new QVBoxLayout(widget1);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    auto gap = [this](QSizePolicy::Policy vertical) {
        verticalLayout->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, vertical));
    };

    label = new QLabel(tr("串口："), widget1);
    label->setObjectName(QStringLiteral("label"));
    verticalLayout->addWidget(label);
    UartCom = new newComboBox(widget1);
    UartCom->setObjectName(QStringLiteral("UartCom"));
    verticalLayout->addWidget(UartCom);
    UartComBaud = new QComboBox(widget1);
    UartComBaud->setObjectName(QStringLiteral("UartComBaud"));
    for (const QString &rate : RegisterCatalog::portBaudRates())
        UartComBaud->addItem(tr(rate.toLatin1().constData()));
    verticalLayout->addWidget(UartComBaud);
    btnUart = addCommandButton("btnUart", QT_TRANSLATE_NOOP("AT", "打开"));
    gap(QSizePolicy::Fixed);
    btnEnterAT = addCommandButton("btnEnterAT", QT_TRANSLATE_NOOP("AT", "进入AT模式"));
    btnQuery = addCommandButton("btnQuery", QT_TRANSLATE_NOOP("AT", "查询"));
    btnSave = addCommandButton("btnSave", QT_TRANSLATE_NOOP("AT", "保存"));
    btnExitAT = addCommandButton("btnExitAT", QT_TRANSLATE_NOOP("AT", "退出AT模式"));
    gap(QSizePolicy::Fixed);
    btnInit = addCommandButton("btnInit", QT_TRANSLATE_NOOP("AT", "恢复出厂设置"));
    btnUpdate = addCommandButton("btnUpdate", QT_TRANSLATE_NOOP("AT", "升级"));
    gap(QSizePolicy::Expanding);
    btnClear = addCommandButton("btnClear", QT_TRANSLATE_NOOP("AT", "清除"));
}

void AtForm::setupRegisterGrid(QMainWindow *window)
{
    widget = new QWidget(centralwidget);
    widget->setObjectName(QStringLiteral("widget"));
    gridLayout_2 = new QGridLayout(widget);
    gridLayout_2->setObjectName(QStringLiteral("gridLayout_2"));
    gridLayout_2->setSpacing(10);
    const QMargins margins = gridLayout_2->contentsMargins();
    gridLayout_2->setContentsMargins(margins.left(), 15, margins.right(), margins.bottom());
    gridLayout_2->addItem(new QSpacerItem(20, 20, QSizePolicy::Fixed, QSizePolicy::Minimum), 1, 6);

    QVector<const RegisterInfo *> inGridOrder;
    for (const RegisterInfo &reg : RegisterCatalog::registers())
        inGridOrder.append(&reg);
    std::stable_sort(inGridOrder.begin(), inGridOrder.end(), [](auto *a, auto *b) {
        return std::make_pair(a->row, a->rightGroup) < std::make_pair(b->row, b->rightGroup);
    });
    for (const RegisterInfo *reg : inGridOrder)
        addRegisterRow(*reg, window);
}

void AtForm::addRegisterRow(const RegisterInfo &reg, QMainWindow *window)
{
    const int labelColumn = reg.rightGroup ? 7 : 0;
    const int fieldColumn = reg.rightGroup ? 9 : 3;
    const int buttonColumn = reg.rightGroup ? 10 : 4;
    const QString name = QLatin1String(reg.name);

    auto *label = new QLabel(tr(reg.label), widget);
    label->setObjectName(QStringLiteral("label_") + numberOf(reg));
    gridLayout_2->addWidget(label, reg.row, labelColumn);

    QWidget *field = newField(reg, widget, window);
    gridLayout_2->addWidget(field, reg.row, fieldColumn);

    QPushButton *button = nullptr;
    if (reg.kind != FieldKind::Info) {
        button = new QPushButton(widget);
        button->setObjectName(QStringLiteral("Button") + name);
        gridLayout_2->addWidget(button, reg.row, buttonColumn);
    }
    registers.add(reg, field, button);
}
