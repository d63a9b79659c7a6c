#pragma once
// The pictures of the language menu, our own artwork drawn by code: the
// flags "FLAGGE_G" .. "FLAGGE_J" (24 x 16, one per language letter) and the
// menu symbol "SPRACHE" (16 x 16, transparent).
#include <QPixmap>
#include <string>

// The picture of that name; a null pixmap for a name we do not have.
QPixmap ResourcePicture(const std::string& name);

inline constexpr int FlagWidth = 24;
inline constexpr int FlagHeight = 16;
