#include "registercatalog.h"

#include <QCoreApplication>
#include <QHash>

namespace {

enum Side { Left, Right };

struct Range
{
    ValidatorKind kind;
    int bottom;
    int top;
};
const Range Free{ValidatorKind::None, 0, 0};
const Range WholeNumber{ValidatorKind::WholeNumber, 0, 0};
Range integer(int bottom, int top)
{
    return {ValidatorKind::Integer, bottom, top};
}

using Pieces = QVector<const char *>;

RegisterInfo textRegister(const char *name, const char *label, Range range, int row, Side side,
                          Pieces tooltip = {}, bool indentThirdPiece = false)
{
    return {name,      label,   FieldKind::Text,  {},  range.kind,   range.bottom,
            range.top, tooltip, indentThirdPiece, row, side == Right};
}

RegisterInfo choiceRegister(const char *name, const char *label, QVector<ChoiceItem> items, int row,
                            Side side, Pieces tooltip = {})
{
    return {name,  label, FieldKind::Choice, items, ValidatorKind::None, 0, 0, tooltip,
            false, row,   side == Right};
}

RegisterInfo infoField(const char *name, const char *label, int row, Side side)
{
    return {name, label, FieldKind::Info, {},  ValidatorKind::None, 0,
            0,    {},    false,           row, side == Right};
}

// Items whose wire value is their position.
QVector<ChoiceItem> items(std::initializer_list<const char *> texts)
{
    QVector<ChoiceItem> result;
    for (const char *text : texts)
        result.append({text, result.size()});
    return result;
}

// clang-format off
QVector<RegisterInfo> buildCatalog()
{
    const char *range65535 = QT_TRANSLATE_NOOP("AT", "输入范围0~65535");
    return {
        choiceRegister("S101", QT_TRANSLATE_NOOP("AT", "运行模式"),
                       items({QT_TRANSLATE_NOOP("AT", "主模式"), QT_TRANSLATE_NOOP("AT", "中继模式"), QT_TRANSLATE_NOOP("AT", "从模式")}), 1, Right),
        // The modem has no serial rate values 10 to 14: the two fastest rates are 15 and 16.
        choiceRegister("S102", QT_TRANSLATE_NOOP("AT", "串口波特率"),
                       {{"230400", 0}, {"115200", 1}, {"57600", 2}, {"38400", 3}, {"28800", 4},
                        {"19200", 5}, {"14400", 6}, {"9600", 7}, {"7200", 8}, {"4800", 9},
                        {"460800", 15}, {"921600", 16}}, 5, Left),
        choiceRegister("S103", QT_TRANSLATE_NOOP("AT", "空口速率"),
                       items({"172800", "230400", "276400", "57600", "115200"}), 2, Right),
        textRegister("S104", QT_TRANSLATE_NOOP("AT", "网络ID"), WholeNumber, 3, Left,
                     {QT_TRANSLATE_NOOP("AT", "输入范围0~4294967295"),
                      QT_TRANSLATE_NOOP("AT", "同一个网络中所有设备必须有相同的网络ID")}),
        textRegister("S105", QT_TRANSLATE_NOOP("AT", "本机地址"), integer(0, 65535), 5, Right,
                     {range65535, QT_TRANSLATE_NOOP("AT", "点对点网络：默认设置为0，设备自动分配本机地址"),
                      QT_TRANSLATE_NOOP("AT", "点对多点网络：必须手动分配非0的设备地址")}),
        textRegister("S108", QT_TRANSLATE_NOOP("AT", "输出功率"), Free, 2, Left),
        choiceRegister("S110", QT_TRANSLATE_NOOP("AT", "串口格式"), {{"", 0}, {"8N1", 1}}, 3, Right),
        textRegister("S113", QT_TRANSLATE_NOOP("AT", "数据重传次数"), integer(0, 255), 8, Right,
                     {QT_TRANSLATE_NOOP("AT", "输入范围0~255"), QT_TRANSLATE_NOOP("AT", "数据包重传的最大次数")}),
        textRegister("S114", QT_TRANSLATE_NOOP("AT", "中继序号"), integer(1, 254), 8, Left,
                     {QT_TRANSLATE_NOOP("AT", "输入范围1~254"),
                      QT_TRANSLATE_NOOP("AT", "使用多个中继时，必须保证从主端到从端，中继序号排列为单调递增，可以不连续")}),
        textRegister("S118", QT_TRANSLATE_NOOP("AT", "同步地址"), integer(0, 65535), 6, Right,
                     {range65535, QT_TRANSLATE_NOOP("AT", "点对点网络：本机地址设置0时，自动分配同步地址"),
                      QT_TRANSLATE_NOOP("AT", "当本机地址不为0时，必须设置同步地址"),
                      QT_TRANSLATE_NOOP("AT", "点对多点网络：必须手动设置正确的同步地址")}, true),
        choiceRegister("S133", QT_TRANSLATE_NOOP("AT", "网络类型"),
                       items({QT_TRANSLATE_NOOP("AT", "点对多点"), QT_TRANSLATE_NOOP("AT", "点对点"), QT_TRANSLATE_NOOP("AT", "有中心MESH")}), 1, Left),
        textRegister("S140", QT_TRANSLATE_NOOP("AT", "目标地址"), integer(0, 65535), 7, Right,
                     {range65535, QT_TRANSLATE_NOOP("AT", "点对点网络：本机地址设置0时，自动分配目标地址"),
                      QT_TRANSLATE_NOOP("AT", "当本机地址不为0时，必须设置目的地址"),
                      QT_TRANSLATE_NOOP("AT", "点对多点网络：必须手动设置正确的目标地址")}, true),
        choiceRegister("S141", QT_TRANSLATE_NOOP("AT", "是否有中继"), items({QT_TRANSLATE_NOOP("AT", "无中继"), QT_TRANSLATE_NOOP("AT", "有中继")}),
                       7, Left, {QT_TRANSLATE_NOOP("AT", "仅主端需要设置")}),
        choiceRegister("S142", "RS232/RS485",
                       items({"RS232", QT_TRANSLATE_NOOP("AT", "RS485半双工"), QT_TRANSLATE_NOOP("AT", "RS485全双工")}), 6, Left),
        choiceRegister("S143", QT_TRANSLATE_NOOP("AT", "GPIO功能扩展"), items({"OFF", "ON"}), 9, Left),
        choiceRegister("S159", QT_TRANSLATE_NOOP("AT", "加密开关"), items({"OFF", "ON"}), 11, Left),
        textRegister("S160", QT_TRANSLATE_NOOP("AT", "加密密钥"), Free, 11, Right),
        textRegister("S220", QT_TRANSLATE_NOOP("AT", "TDMA时隙分配"), integer(1, 254), 10, Right,
                     {QT_TRANSLATE_NOOP("AT", "输入范围 1~254"),
                      QT_TRANSLATE_NOOP("AT", "TDMA模式下连续分配给设备的最大时隙以便设备发送大数据包；主端设置有效，从端无需设置")}),
        textRegister("S221", QT_TRANSLATE_NOOP("AT", "TDMA最大地址"), WholeNumber, 9, Right,
                     {range65535, QT_TRANSLATE_NOOP("AT", "TDMA模式下主端轮询的最大地址，从端此参数无效"),
                      QT_TRANSLATE_NOOP("AT", "从端设置的本机地址应在这些地址内，否则无法接入网络")}),
        choiceRegister("S244", QT_TRANSLATE_NOOP("AT", "信道接入方式"), items({"RTS/CTS", "TDMA", "TDMA_AUTO"}), 10,
                       Left,
                       {QT_TRANSLATE_NOOP("AT", "RTS/CTS:请求应答模式，主端同意分配资源后，从端进行发送"),
                        QT_TRANSLATE_NOOP("AT", "TDMA:主端预先分配发送时隙，从端按照分配进行数据发送"),
                        QT_TRANSLATE_NOOP("AT", "TDMA:支持点对多点和有中心的Mesh两种网络类型")}),
        infoField("I1", QT_TRANSLATE_NOOP("AT", "硬件版本"), 12, Left),
        infoField("I2", QT_TRANSLATE_NOOP("AT", "固件版本"), 13, Right),
        infoField("I3", QT_TRANSLATE_NOOP("AT", "软件版本"), 12, Right),
        infoField("I4", QT_TRANSLATE_NOOP("AT", "生产序号"), 13, Left),
    };
}
// clang-format on

} // namespace

namespace RegisterCatalog {

const QVector<RegisterInfo> &registers()
{
    static const QVector<RegisterInfo> catalog = buildCatalog();
    return catalog;
}

const RegisterInfo *find(const QString &name)
{
    for (const RegisterInfo &reg : registers()) {
        if (name == QLatin1String(reg.name))
            return &reg;
    }
    return nullptr;
}

QStringList portBaudRates()
{
    return {"115200", "9600",  "4800",  "7200",   "14400",  "19200",
            "28800",  "38400", "57600", "230400", "460800", "921600"};
}

const QStringList &identityNames()
{
    static const QStringList names = [] {
        QStringList found;
        for (const RegisterInfo &reg : registers()) {
            if (reg.kind == FieldKind::Info)
                found.append(QLatin1String(reg.name));
        }
        return found;
    }();
    return names;
}

QByteArray identityKey(const QString &name)
{
    static const QHash<QString, QByteArray> keys = {{"I1", "Hardware Version "},
                                                    {"I2", "Firmware Version "},
                                                    {"I3", "Software Version "},
                                                    {"I4", "Serial Number "}};
    return keys.value(name);
}

QString tooltipText(const RegisterInfo &reg)
{
    QStringList pieces;
    for (const char *piece : reg.tooltip)
        pieces.append(QCoreApplication::translate("AT", piece));
    if (reg.indentThirdPiece && pieces.size() > 2)
        pieces[2].prepend(QString(12, QLatin1Char(' ')));
    return pieces.join(QStringLiteral("\r\n"));
}

int wireValueForIndex(const QString &name, int index)
{
    const RegisterInfo *reg = find(name);
    if (!reg || index < 0 || index >= reg->items.size())
        return index;
    return reg->items.at(index).wireValue;
}

int indexForWireValue(const QString &name, int value)
{
    // The modem's S102 values skip 10..14: anything above the gap sits five places lower.
    if (name == QLatin1String("S102") && value > 14)
        return value - 5;
    return value;
}

} // namespace RegisterCatalog
