// The Shell Link (.lnk) binary format, written and read without the Windows shell, so that
// the POSIX emulation leaves links that Windows, Wine and independent readers open.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace plat {

// The bytes of a link file: a header (target attributes, icon index, normal window), the
// target as the local path of a fixed drive, then the working directory and icon location
// as 8-bit counted strings. Empty strings are left out. nullopt when a string cannot be
// stored: it holds a zero byte, or it is longer than a counted string allows.
std::optional<std::string> EncodeShellLink(const ShellLink& link, uint32_t targetAttributes = 0);

// The link in bytes written by this encoder or by Windows (8-bit or UTF-16 strings, with or
// without an item ID list). UTF-16 characters above 0xFF come back as '?'; a counted string
// ends at a zero it holds. nullopt when the bytes are no shell link or a structure runs past
// the end.
std::optional<ShellLink> DecodeShellLink(std::string_view bytes);

}  // namespace plat
