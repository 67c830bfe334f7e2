#include "app/attributes/StampAttributes.h"

namespace tess {

QString photoEffectName(PhotoEffect effect)
{
    switch (effect) {
    case PhotoEffect::None:
        return QStringLiteral("none");
    case PhotoEffect::Greyscale:
        return QStringLiteral("greyscale");
    case PhotoEffect::Sepia:
        return QStringLiteral("sepia");
    case PhotoEffect::Flaxen:
        return QStringLiteral("flaxen");
    case PhotoEffect::Negative:
        return QStringLiteral("negative");
    }
    return QStringLiteral("none");
}

bool photoEffectFromName(const QString& name, PhotoEffect* effect)
{
    static const PhotoEffect all[] = {PhotoEffect::None, PhotoEffect::Greyscale, PhotoEffect::Sepia,
                                      PhotoEffect::Flaxen, PhotoEffect::Negative};
    for (PhotoEffect e : all) {
        if (photoEffectName(e) == name) {
            *effect = e;
            return true;
        }
    }
    return false;
}

StampAttributes startupStampAttributes()
{
    return StampAttributes{};
}

void resetStampAttributes(StampAttributes& a)
{
    a.fontName = QStringLiteral("Arial");
    a.fontSize = 12;
    a.bold = false;
    a.italic = false;
    a.textColor = 0;
    a.outlineColor = 0;
    a.outlineWidth = 0;
    a.position = positions::BottomRight;
    a.dateFormatDateTime = a.dateFormatOriginal = a.dateFormatCreated = a.dateFormatOther = 0;
    a.customX = 0;
    a.customY = 0;
    a.borderWidth = 5;
    a.opacity = 255;
    a.jpegQuality = 95;
    a.brightness = 255;
    a.contrast = 255;
    a.sepiaLevel = 45;
    a.keepFlags = QStringLiteral("1111");
    a.stampTexts.clear();
}

} // namespace tess
