#pragma once

namespace platform {

// The windows name the fonts of a Chinese Windows desktop ("宋体", "Arial",
// ...). Fonts of those names are rarely installed here, and the fallback the
// font configuration picks depends on the locale: Chinese text could come
// out in Japanese glyph shapes. This registers, once, substitutes for those
// names: Simplified Chinese fonts first for the Chinese names, metric-
// compatible Latin fonts followed by Simplified Chinese fonts for the Latin
// ones, so every window draws Chinese in Simplified Chinese shapes whatever
// the locale. Call it after the QApplication exists and before any window
// is created. Calling it again changes nothing.
void RegisterFontSubstitutions();

}  // namespace platform
