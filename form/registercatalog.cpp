#include "registercatalog.h"

#include <QCoreApplication>
#include <QHash>

namespace {

constexpr int NoRange = 0;

QVector<ChoiceItem> plainItems(std::initializer_list<const char *> texts)
{
    QVector<ChoiceItem> items;
    for (const char *text : texts)
        items.append({text, items.size()});
    return items;
}

QVector<RegisterInfo> buildCatalog()
{
    using V = ValidatorKind;
    const auto text = FieldKind::Text;
    const auto choice = FieldKind::Choice;
    const auto info = FieldKind::Info;
    const char *range65535 = QT_TRANSLATE_NOOP("AT", "输入范围0~65535");

    return {
        {"S101",
         QT_TRANSLATE_NOOP("AT", "运行模式"),
         choice,
         plainItems({QT_TRANSLATE_NOOP("AT", "主模式"), QT_TRANSLATE_NOOP("AT", "中继模式"),
                     QT_TRANSLATE_NOOP("AT", "从模式")}),
         V::None,
         NoRange,
         NoRange,
         {},
         false,
         1,
         true},
        // Wire values 10 to 14 do not exist: the two fastest rates are 15 and 16.
        {"S102",
         QT_TRANSLATE_NOOP("AT", "串口波特率"),
         choice,
         {{"230400", 0},
          {"115200", 1},
          {"57600", 2},
          {"38400", 3},
          {"28800", 4},
          {"19200", 5},
          {"14400", 6},
          {"9600", 7},
          {"7200", 8},
          {"4800", 9},
          {"460800", 15},
          {"921600", 16}},
         V::None,
         NoRange,
         NoRange,
         {},
         false,
         5,
         false},
        {"S103",
         QT_TRANSLATE_NOOP("AT", "空口速率"),
         choice,
         plainItems({"172800", "230400", "276400", "57600", "115200"}),
         V::None,
         NoRange,
         NoRange,
         {},
         false,
         2,
         true},
        {"S104",
         QT_TRANSLATE_NOOP("AT", "网络ID"),
         text,
         {},
         V::WholeNumber,
         NoRange,
         NoRange,
         {QT_TRANSLATE_NOOP("AT", "输入范围0~4294967295"),
          QT_TRANSLATE_NOOP("AT", "同一个网络中所有设备必须有相同的网络ID")},
         false,
         3,
         false},
        {"S105",
         QT_TRANSLATE_NOOP("AT", "本机地址"),
         text,
         {},
         V::Integer,
         0,
         65535,
         {range65535, QT_TRANSLATE_NOOP("AT", "点对点网络：默认设置为0，设备自动分配本机地址"),
          QT_TRANSLATE_NOOP("AT", "点对多点网络：必须手动分配非0的设备地址")},
         false,
         5,
         true},
        {"S108",
         QT_TRANSLATE_NOOP("AT", "输出功率"),
         text,
         {},
         V::None,
         NoRange,
         NoRange,
         {},
         false,
         2,
         false},
        {"S110",
         QT_TRANSLATE_NOOP("AT", "串口格式"),
         choice,
         {{"", 0}, {"8N1", 1}},
         V::None,
         NoRange,
         NoRange,
         {},
         false,
         3,
         true},
        {"S113",
         QT_TRANSLATE_NOOP("AT", "数据重传次数"),
         text,
         {},
         V::Integer,
         0,
         255,
         {QT_TRANSLATE_NOOP("AT", "输入范围0~255"),
          QT_TRANSLATE_NOOP("AT", "数据包重传的最大次数")},
         false,
         8,
         true},
        {"S114",
         QT_TRANSLATE_NOOP("AT", "中继序号"),
         text,
         {},
         V::Integer,
         1,
         254,
         {QT_TRANSLATE_NOOP("AT", "输入范围1~254"),
          QT_TRANSLATE_NOOP(
              "AT", "使用多个中继时，必须保证从主端到从端，中继序号排列为单调递增，可以不连续")},
         false,
         8,
         false},
        {"S118",
         QT_TRANSLATE_NOOP("AT", "同步地址"),
         text,
         {},
         V::Integer,
         0,
         65535,
         {range65535, QT_TRANSLATE_NOOP("AT", "点对点网络：本机地址设置0时，自动分配同步地址"),
          QT_TRANSLATE_NOOP("AT", "当本机地址不为0时，必须设置同步地址"),
          QT_TRANSLATE_NOOP("AT", "点对多点网络：必须手动设置正确的同步地址")},
         true,
         6,
         true},
        {"S133",
         QT_TRANSLATE_NOOP("AT", "网络类型"),
         choice,
         plainItems({QT_TRANSLATE_NOOP("AT", "点对多点"), QT_TRANSLATE_NOOP("AT", "点对点"),
                     QT_TRANSLATE_NOOP("AT", "有中心MESH")}),
         V::None,
         NoRange,
         NoRange,
         {},
         false,
         1,
         false},
        {"S140",
         QT_TRANSLATE_NOOP("AT", "目标地址"),
         text,
         {},
         V::Integer,
         0,
         65535,
         {range65535, QT_TRANSLATE_NOOP("AT", "点对点网络：本机地址设置0时，自动分配目标地址"),
          QT_TRANSLATE_NOOP("AT", "当本机地址不为0时，必须设置目的地址"),
          QT_TRANSLATE_NOOP("AT", "点对多点网络：必须手动设置正确的目标地址")},
         true,
         7,
         true},
        {"S141",
         QT_TRANSLATE_NOOP("AT", "是否有中继"),
         choice,
         plainItems({QT_TRANSLATE_NOOP("AT", "无中继"), QT_TRANSLATE_NOOP("AT", "有中继")}),
         V::None,
         NoRange,
         NoRange,
         {QT_TRANSLATE_NOOP("AT", "仅主端需要设置")},
         false,
         7,
         false},
        {"S142",
         "RS232/RS485",
         choice,
         plainItems({"RS232", QT_TRANSLATE_NOOP("AT", "RS485半双工"),
                     QT_TRANSLATE_NOOP("AT", "RS485全双工")}),
         V::None,
         NoRange,
         NoRange,
         {},
         false,
         6,
         false},
        {"S143",
         QT_TRANSLATE_NOOP("AT", "GPIO功能扩展"),
         choice,
         plainItems({"OFF", "ON"}),
         V::None,
         NoRange,
         NoRange,
         {},
         false,
         9,
         false},
        {"S159",
         QT_TRANSLATE_NOOP("AT", "加密开关"),
         choice,
         plainItems({"OFF", "ON"}),
         V::None,
         NoRange,
         NoRange,
         {},
         false,
         11,
         false},
        {"S160",
         QT_TRANSLATE_NOOP("AT", "加密密钥"),
         text,
         {},
         V::None,
         NoRange,
         NoRange,
         {},
         false,
         11,
         true},
        {"S220",
         QT_TRANSLATE_NOOP("AT", "TDMA时隙分配"),
         text,
         {},
         V::Integer,
         1,
         254,
         {QT_TRANSLATE_NOOP("AT", "输入范围 1~254"),
          QT_TRANSLATE_NOOP("AT", "TDMA模式下连续分配给设备的最大时隙以便设备发送大数据包；"
                                  "主端设置有效，从端无需设置")},
         false,
         10,
         true},
        {"S221",
         QT_TRANSLATE_NOOP("AT", "TDMA最大地址"),
         text,
         {},
         V::WholeNumber,
         NoRange,
         NoRange,
         {range65535, QT_TRANSLATE_NOOP("AT", "TDMA模式下主端轮询的最大地址，从端此参数无效"),
          QT_TRANSLATE_NOOP("AT", "从端设置的本机地址应在这些地址内，否则无法接入网络")},
         false,
         9,
         true},
        {"S244",
         QT_TRANSLATE_NOOP("AT", "信道接入方式"),
         choice,
         plainItems({"RTS/CTS", "TDMA", "TDMA_AUTO"}),
         V::None,
         NoRange,
         NoRange,
         {QT_TRANSLATE_NOOP("AT", "RTS/CTS:请求应答模式，主端同意分配资源后，从端进行发送"),
          QT_TRANSLATE_NOOP("AT", "TDMA:主端预先分配发送时隙，从端按照分配进行数据发送"),
          QT_TRANSLATE_NOOP("AT", "TDMA:支持点对多点和有中心的Mesh两种网络类型")},
         false,
         10,
         false},
        {"I1",
         QT_TRANSLATE_NOOP("AT", "硬件版本"),
         info,
         {},
         V::None,
         NoRange,
         NoRange,
         {},
         false,
         12,
         false},
        {"I2",
         QT_TRANSLATE_NOOP("AT", "固件版本"),
         info,
         {},
         V::None,
         NoRange,
         NoRange,
         {},
         false,
         13,
         true},
        {"I3",
         QT_TRANSLATE_NOOP("AT", "软件版本"),
         info,
         {},
         V::None,
         NoRange,
         NoRange,
         {},
         false,
         12,
         true},
        {"I4",
         QT_TRANSLATE_NOOP("AT", "生产序号"),
         info,
         {},
         V::None,
         NoRange,
         NoRange,
         {},
         false,
         13,
         false},
    };
}

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
