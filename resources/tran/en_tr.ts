<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_AS">
<context>
    <name>AT</name>
    <message>
        <source>AT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>123</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>456</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DR58 AT配置平台</source>
        <translation>DR58 AT  Platform</translation>
    </message>
    <message>
        <source>串口：</source>
        <translation>Serial Port:</translation>
    </message>
    <message>
        <source>115200</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>9600</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4800</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>7200</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>14400</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>19200</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>28800</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>38400</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>57600</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>230400</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>460800</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>921600</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>串口未打开</source>
        <translation>The serial port is not open</translation>
    </message>
    <message>
        <source>进入AT模式</source>
        <translation>Enter AT Mode</translation>
    </message>
    <message>
        <source>查询</source>
        <translation>Query</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>退出AT模式</source>
        <translation>Exit AT Mode</translation>
    </message>
    <message>
        <source>恢复出厂设置</source>
        <translation>Factory Reset</translation>
    </message>
    <message>
        <source>升级</source>
        <translation>System Update</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>运行模式</source>
        <translation>Operating Mode</translation>
    </message>
    <message>
        <source>主模式</source>
        <translation>Master</translation>
    </message>
    <message>
        <source>中继模式</source>
        <translation>Repeater</translation>
    </message>
    <message>
        <source>从模式</source>
        <translation>Slave</translation>
    </message>
    <message>
        <source>串口波特率</source>
        <translation>Serial Baud Rate</translation>
    </message>
    <message>
        <source>空口速率</source>
        <translation>Wireless Link Rate</translation>
    </message>
    <message>
        <source>172800</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>276400</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>网络ID</source>
        <translation>Network Address(ID)</translation>
    </message>
    <message>
        <source>本机地址</source>
        <translation>Unit Address</translation>
    </message>
    <message>
        <source>输出功率</source>
        <translation>Output Power</translation>
    </message>
    <message>
        <source>串口格式</source>
        <translation>Serial Data Format</translation>
    </message>
    <message>
        <source>8N1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据重传次数</source>
        <translation>Retransmissions</translation>
    </message>
    <message>
        <source>中继序号</source>
        <translation>Repeater Index</translation>
    </message>
    <message>
        <source>同步地址</source>
        <translation>Sync Address</translation>
    </message>
    <message>
        <source>网络类型</source>
        <translation>Network Type</translation>
    </message>
    <message>
        <source>点对多点</source>
        <translation>PMP</translation>
    </message>
    <message>
        <source>点对点</source>
        <translation>PP</translation>
    </message>
    <message>
        <source>有中心MESH</source>
        <translation>Mesh</translation>
    </message>
    <message>
        <source>目标地址</source>
        <translation>Destination Address</translation>
    </message>
    <message>
        <source>是否有中继</source>
        <translation>Repeaters Y/N</translation>
    </message>
    <message>
        <source>无中继</source>
        <translation>NO</translation>
    </message>
    <message>
        <source>有中继</source>
        <translation>YES</translation>
    </message>
    <message>
        <source>RS232/RS485</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RS232</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RS485半双工</source>
        <translation>RS485 half duplex</translation>
    </message>
    <message>
        <source>RS485全双工</source>
        <translation>RS485 full duplex</translation>
    </message>
    <message>
        <source>GPIO功能扩展</source>
        <translation>Repeater Index Use GPIO </translation>
    </message>
    <message>
        <source>OFF</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ON</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>加密开关</source>
        <translation>Encryption</translation>
    </message>
    <message>
        <source>加密密钥</source>
        <translation>Encryption Key</translation>
    </message>
    <message>
        <source>TDMA时隙分配</source>
        <translation>TDMA TX Time Slot</translation>
    </message>
    <message>
        <source>TDMA最大地址</source>
        <translation>Max TDMA Address</translation>
    </message>
    <message>
        <source>信道接入方式</source>
        <translation>Channel Access Mode</translation>
    </message>
    <message>
        <source>RTS/CTS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TDMA</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TDMA_AUTO</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>硬件版本</source>
        <translation>Hardware Version</translation>
    </message>
    <message>
        <source>固件版本</source>
        <translation>Firmware Version</translation>
    </message>
    <message>
        <source>软件版本</source>
        <translation>Software Version</translation>
    </message>
    <message>
        <source>生产序号</source>
        <translation>Serial Number</translation>
    </message>
    <message>
        <source>输入范围0~4294967295</source>
        <translation>Input range 0~4294967295</translation>
    </message>
    <message>
        <source>同一个网络中所有设备必须有相同的网络ID</source>
        <translation>All devices on a network must have the same network address</translation>
    </message>
    <message>
        <source>输入范围0~65535</source>
        <translation>Input range 0~65535</translation>
    </message>
    <message>
        <source>点对点网络：默认设置为0，设备自动分配本机地址</source>
        <translation>In PP mode,When the unit address is set to 0, The device automatically assigns the unit address</translation>
    </message>
    <message>
        <source>点对多点网络：必须手动分配非0的设备地址</source>
        <translation>In PMP mode,each device must be manually assigned a non-0 device address</translation>
    </message>
    <message>
        <source>输入范围0~255</source>
        <translation>Input range 0~255</translation>
    </message>
    <message>
        <source>数据包重传的最大次数</source>
        <translation>This register determines the maximum number of times a packet can be retransmitted.</translation>
    </message>
    <message>
        <source>输入范围1~254</source>
        <translation>Input range 1~254</translation>
    </message>
    <message>
        <source>使用多个中继时，必须保证从主端到从端，中继序号排列为单调递增，可以不连续</source>
        <translation>This register indicates the relative position of the repeater on the network, 
Maximum number of packet retransmissions When multiple relays are used,
it must be guaranteed that from the master to the slave, 
the relay sequence number arrangement is monotonically increasing and can be discontinuous</translation>
    </message>
    <message>
        <source>点对点网络：本机地址设置0时，自动分配同步地址</source>
        <translation>In PP mode,When the unit address is set to 0, the sync address is automatically assigned</translation>
    </message>
    <message>
        <source>当本机地址不为0时，必须设置同步地址</source>
        <translation>When the unit address is not 0, the sync address must be set to determine the network topology</translation>
    </message>
    <message>
        <source>点对多点网络：必须手动设置正确的同步地址</source>
        <translation>In PMP mode, must manually set the correct sync address for each device</translation>
    </message>
    <message>
        <source>点对点网络：本机地址设置0时，自动分配目标地址</source>
        <translation>In PP mode,When the unit address is set to 0, the destination address is automatically assigned</translation>
    </message>
    <message>
        <source>当本机地址不为0时，必须设置目的地址</source>
        <translation>When the unit address is not 0, the destination address must be set to specify the network topology</translation>
    </message>
    <message>
        <source>点对多点网络：必须手动设置正确的目标地址</source>
        <translation>In PMP mode,must manually set the correct destination address for each device</translation>
    </message>
    <message>
        <source>仅主端需要设置</source>
        <translation>Only the master side needs to be set</translation>
    </message>
    <message>
        <source>输入范围 1~254</source>
        <translation>Input range 1~254</translation>
    </message>
    <message>
        <source>TDMA模式下连续分配给设备的最大时隙以便设备发送大数据包；主端设置有效，从端无需设置</source>
        <translation>The maximum TX time slot continuously allocated to a device in TDMA mode so that the device can send large packets</translation>
    </message>
    <message>
        <source>TDMA模式下主端轮询的最大地址，从端此参数无效</source>
        <translation>In TDMA mode, the master polling address is from the master's local address+1 to this maximum address</translation>
    </message>
    <message>
        <source>从端设置的本机地址应在这些地址内，否则无法接入网络</source>
        <translation>The local address set on the slave should be within these addresses;otherwise, the network cannot be accessed.</translation>
    </message>
    <message>
        <source>RTS/CTS:请求应答模式，主端同意分配资源后，从端进行发送</source>
        <translation>RTS/CTS:In the mode, after the master agrees to allocate resources, the slave can send</translation>
    </message>
    <message>
        <source>TDMA:主端预先分配发送时隙，从端按照分配进行数据发送</source>
        <translation>TDMA:The master pre-allocates the sending time slot, and the slave transmits data according to the allocation</translation>
    </message>
    <message>
        <source>TDMA:支持点对多点和有中心的Mesh两种网络类型</source>
        <translation>TDMA:Supported Point to Multipoint(PMP) and Mesh With Center</translation>
    </message>
    <message>
        <source>打开配置文件...</source>
        <translation>Open Profile...</translation>
    </message>
    <message>
        <source>打开配置文件</source>
        <translation>Open Profile</translation>
    </message>
    <message>
        <source>保存配置文件...</source>
        <translation>Save Profile...</translation>
    </message>
    <message>
        <source>保存配置文件</source>
        <translation>Save Profile</translation>
    </message>
    <message>
        <source>写入已修改的参数</source>
        <translation>Write Edited Fields</translation>
    </message>
    <message>
        <source>保存通信记录...</source>
        <translation>Save Transcript...</translation>
    </message>
    <message>
        <source>保存通信记录</source>
        <translation>Save Transcript</translation>
    </message>
    <message>
        <source>配置文件无法使用：</source>
        <translation>The profile cannot be used:</translation>
    </message>
    <message>
        <source>表单中没有生产序号：请先查询参数，站点计划按生产序号选择本机的配置。</source>
        <translation>The form shows no serial number: query the modem first, as the site plan's section for it is chosen by its serial number.</translation>
    </message>
    <message>
        <source>站点计划中没有生产序号为 %1 的电台。</source>
        <translation>The site plan has no radio with the serial number %1.</translation>
    </message>
    <message>
        <source>配置文件未保存，以下参数的值无效：</source>
        <translation>The profile was not saved; these fields hold values the modem does not take:</translation>
    </message>
    <message>
        <source>文件无法保存：</source>
        <translation>The file cannot be saved:</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>init</name>
    <message>
        <source>Dialog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备恢复出厂设置</source>
        <translation>Restore Factory Defaults</translation>
    </message>
    <message>
        <source>恢复出厂设置</source>
        <translation>Restore  Defaults</translation>
    </message>
    <message>
        <source>点对多点主站</source>
        <translation>PMP Master</translation>
    </message>
    <message>
        <source>点对多点从站</source>
        <translation>PMP Slave</translation>
    </message>
    <message>
        <source>点对多点中继</source>
        <translation>PMP Repeater</translation>
    </message>
    <message>
        <source>点对点主站</source>
        <translation>PP Master</translation>
    </message>
    <message>
        <source>点对点从站</source>
        <translation>PP Slave</translation>
    </message>
    <message>
        <source>点对点中继</source>
        <translation>PP Repeater</translation>
    </message>
    <message>
        <source>有中心MESH主模式</source>
        <translation>Mesh With Center Master</translation>
    </message>
    <message>
        <source>有中心MESH从模式</source>
        <translation>Mesh With Center Slave</translation>
    </message>
</context>
<context>
    <name>upgrade</name>
    <message>
        <source>Dialog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升级</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>选择升级文件</source>
        <translation>Select Update Files</translation>
    </message>
    <message>
        <source>选择升级文件！</source>
        <translation>Select Update Files!</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>进入AT升级模式</source>
        <translation>Goto AT Update Mode</translation>
    </message>
    <message>
        <source>准备升级，请等待</source>
        <translation>Ready to update, please waiting</translation>
    </message>
    <message>
        <source>固件加载中...</source>
        <translation>Firmware loading...</translation>
    </message>
    <message>
        <source>固件更新中，请不要断电</source>
        <translation>Please do not power off during firmware update</translation>
    </message>
    <message>
        <source>升级失败</source>
        <translation>Update Failed</translation>
    </message>
    <message>
        <source>升级失败，请检查！！</source>
        <translation>Update Failed，Please Check Update File!!</translation>
    </message>
    <message>
        <source>升级成功</source>
        <translation>Update Successfully</translation>
    </message>
    <message>
        <source>升级成功，请重启设置！！</source>
        <translation>Update Successfully,Reboot Device！！</translation>
    </message>
</context>
</TS>
