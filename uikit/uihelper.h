#pragma once

#include <QString>

// Static helpers of the application shell: window chrome and simple modal boxes.
class UiHelper
{
public:
    // Modal information box with the fixed title "提示" and one button "确 定".
    static void showInfoBox(const QString &text);
};
