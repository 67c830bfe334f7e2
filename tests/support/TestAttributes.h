#pragma once

#include "app/attributes/StampAttributes.h"

namespace tess::test {

/// Every field away from its start value.
inline StampAttributes everyFieldSet()
{
    StampAttributes a;
    a.windowLeft = -1920;
    a.windowTop = 2160;
    a.fontName = QStringLiteral("DejaVu Sans Mono");
    a.fontSize = 48;
    a.bold = true;
    a.italic = true;
    a.textColor = 0x00123456;
    a.outlineColor = 0x00FFFFFF;
    a.outlineWidth = 4;
    a.position = positions::TopRight;
    a.customX = 1999;
    a.customXMax = 4000;
    a.customY = 1;
    a.customYMax = 3000;
    a.borderWidth = -3;
    a.opacity = 77;
    a.jpegQuality = 1;
    a.dateFormatDateTime = 8;
    a.dateFormatOriginal = 7;
    a.dateFormatCreated = 6;
    a.dateFormatOther = 5;
    a.proportionalSize = true;
    a.referenceHeight = 999999;
    a.brightness = 510;
    a.contrast = 0;
    a.effect = PhotoEffect::Negative;
    a.sepiaLevel = 255;
    a.keepFlags = QStringLiteral("0101");
    a.stampTexts = {{QStringLiteral("[datetime_exif]"), true},
                    {QString(), false},
                    {QStringLiteral("Été — 東京 ©"), true},
                    {QStringLiteral("-12-"), false}};
    return a;
}

} // namespace tess::test
