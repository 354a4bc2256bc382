// Fonts and colours as the settings store them, turned into Qt's. A colour is either
// 0x00BBGGRR or 0x80000000 plus a system colour index, which maps to the palette of the
// desktop (5 window, 8 window text, 15 button face). A font name the desktop lacks (the
// classic "MS Sans Serif") falls back to the desktop's own font.
//
// Pure functions; main thread (they read fonts and palettes).
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QWidget>

#include <cstdint>

#include "platform/Settings.h"

namespace vellumar {

QColor colorFromSetting(std::int32_t value, const QPalette& palette);
std::int32_t colorToSetting(const QColor& color);
QFont fontFromSetting(const FontSetting& setting, const QFont& fallback);

// Gives a display the stored font, text colour and background; system colours come from
// base, the window's palette.
void applyViewSetting(QWidget& display, const FontSetting& font, std::int32_t backColor,
                      const QPalette& base);

}  // namespace vellumar
