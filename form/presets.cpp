#include "presets.h"

#include <QCoreApplication>

namespace Presets {

const QVector<Preset> &all()
{
    static const QVector<Preset> presets = {
        {QT_TRANSLATE_NOOP("init", "点对多点主站"), "PMP Master", 7},
        {QT_TRANSLATE_NOOP("init", "点对多点从站"), "PMP Slave", 8},
        {QT_TRANSLATE_NOOP("init", "点对多点中继"), "PMP Repeater", 9},
        {QT_TRANSLATE_NOOP("init", "点对点主站"), "PP Master", 10},
        {QT_TRANSLATE_NOOP("init", "点对点从站"), "PP Slave", 11},
        {QT_TRANSLATE_NOOP("init", "点对点中继"), "PP Repeater", 12},
        {QT_TRANSLATE_NOOP("init", "有中心MESH主模式"), "Mesh With Center Master", 4},
        {QT_TRANSLATE_NOOP("init", "有中心MESH从模式"), "Mesh With Center Slave", 5},
    };
    return presets;
}

int codeForIndex(int index)
{
    const bool known = index >= 0 && index < all().size();
    return all().at(known ? index : 0).code;
}

} // namespace Presets
