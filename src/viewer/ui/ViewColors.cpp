#include "viewer/ui/ViewColors.h"

#include <QFontDatabase>

namespace vellumar {

QColor colorFromSetting(std::int32_t value, const QPalette& palette) {
    const auto bits = static_cast<std::uint32_t>(value);
    if (bits & 0x80000000u) {
        switch (bits & 0xFFu) {
            case 5:
                return palette.color(QPalette::Base);
            case 8:
                return palette.color(QPalette::Text);
            case 15:
                return palette.color(QPalette::Button);
            case 18:
                return palette.color(QPalette::ButtonText);
            default:
                return palette.color(QPalette::Window);
        }
    }
    return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                  static_cast<int>((bits >> 16) & 0xFF));
}

std::int32_t colorToSetting(const QColor& color) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(color.red()) |
                                     (static_cast<std::uint32_t>(color.green()) << 8) |
                                     (static_cast<std::uint32_t>(color.blue()) << 16));
}

QFont fontFromSetting(const FontSetting& setting, const QFont& fallback) {
    QFont font = fallback;
    const QString family = QString::fromStdString(setting.name);
    if (QFontDatabase::hasFamily(family)) font.setFamily(family);
    if (setting.size > 0 && setting.size < 200) font.setPointSize(setting.size);
    font.setBold(setting.bold);
    font.setItalic(setting.italic);
    font.setUnderline(setting.underline);
    font.setStrikeOut(setting.strikeOut);
    return font;
}

void applyViewSetting(QWidget& display, const FontSetting& font, std::int32_t backColor,
                      const QPalette& base) {
    display.setFont(fontFromSetting(font, display.font()));
    QPalette colours = display.palette();
    colours.setColor(QPalette::Text, colorFromSetting(font.color, base));
    colours.setColor(QPalette::Base, colorFromSetting(backColor, base));
    display.setPalette(colours);
}

}  // namespace vellumar
