#include "platform/shell_link_format.h"

#include "platform/byte_order.h"

namespace plat {
namespace {

using tovin::AppendLE16;
using tovin::AppendLE32;

constexpr uint32_t kHeaderSize = 0x4C;
// CLSID_ShellLink {00021401-0000-0000-C000-000000000046} in its stored byte order.
constexpr unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

enum LinkFlags : uint32_t {
  kHasLinkTargetIdList = 0x01,
  kHasLinkInfo = 0x02,
  kHasName = 0x04,
  kHasRelativePath = 0x08,
  kHasWorkingDir = 0x10,
  kHasArguments = 0x20,
  kHasIconLocation = 0x40,
  kIsUnicode = 0x80,
};

constexpr uint32_t kShowNormal = 1;
constexpr uint32_t kDriveFixed = 3;
constexpr uint32_t kVolumeIdAndLocalBasePath = 0x01;
constexpr uint32_t kLinkInfoHeaderSize = 0x1C;
constexpr uint32_t kLinkInfoHeaderSizeWithUnicode = 0x24;
constexpr uint32_t kVolumeIdSize = 0x11;  // four fields and the empty label's zero
constexpr size_t kMaxCountedString = 0xFFFF;

uint32_t U32(std::string_view b, size_t at) {
  return static_cast<uint32_t>(tovin::GetLE32(reinterpret_cast<const uint8_t*>(b.data() + at)));
}
uint16_t U16(std::string_view b, size_t at) {
  return tovin::GetLE16(reinterpret_cast<const uint8_t*>(b.data() + at));
}

void AppendCountedString(std::string& out, const std::string& s) {
  AppendLE16(out, static_cast<uint16_t>(s.size()));
  out += s;
}

// UTF-16 code units to 8-bit characters: the Latin-1 range maps to itself.
std::string Narrow(std::string_view utf16le) {
  std::string out;
  for (size_t i = 0; i + 1 < utf16le.size(); i += 2) {
    uint16_t unit = U16(utf16le, i);
    out += unit < 0x100 ? static_cast<char>(unit) : '?';
  }
  return out;
}

// A zero-terminated string inside block; nullopt when it runs past the block.
std::optional<std::string> StringAt(std::string_view block, uint32_t offset, bool unicode) {
  if (offset >= block.size()) return std::nullopt;
  if (!unicode) {
    size_t end = block.find('\0', offset);
    if (end == std::string_view::npos) return std::nullopt;
    return std::string(block.substr(offset, end - offset));
  }
  for (size_t i = offset; i + 1 < block.size(); i += 2)
    if (U16(block, i) == 0) return Narrow(block.substr(offset, i - offset));
  return std::nullopt;
}

// The target held by a LinkInfo block: the local base path followed by the common suffix.
std::optional<std::string> LinkInfoTarget(std::string_view info) {
  uint32_t headerSize = U32(info, 4), flags = U32(info, 8);
  if (headerSize < kLinkInfoHeaderSize || headerSize > info.size()) return std::nullopt;
  if (!(flags & kVolumeIdAndLocalBasePath)) return std::string();  // a network link: no local path
  bool unicode = headerSize >= kLinkInfoHeaderSizeWithUnicode && U32(info, 28) != 0;
  auto base = StringAt(info, unicode ? U32(info, 28) : U32(info, 16), unicode);
  if (!base) return std::nullopt;
  uint32_t suffixOffset = unicode ? U32(info, 32) : U32(info, 24);
  if (suffixOffset == 0) return base;
  auto suffix = StringAt(info, suffixOffset, unicode);
  if (!suffix) return std::nullopt;
  return *base + *suffix;
}

}  // namespace

std::optional<std::string> EncodeShellLink(const ShellLink& link, uint32_t targetAttributes) {
  for (const std::string* s : {&link.target, &link.workingDirectory, &link.iconLocation})
    if (s->find('\0') != std::string::npos) return std::nullopt;
  if (link.workingDirectory.size() > kMaxCountedString || link.iconLocation.size() > kMaxCountedString)
    return std::nullopt;

  uint32_t flags = 0;
  if (!link.target.empty()) flags |= kHasLinkInfo;
  if (!link.workingDirectory.empty()) flags |= kHasWorkingDir;
  if (!link.iconLocation.empty()) flags |= kHasIconLocation;

  std::string out;
  AppendLE32(out, kHeaderSize);
  out.append(reinterpret_cast<const char*>(kLinkClsid), sizeof kLinkClsid);
  AppendLE32(out, static_cast<int32_t>(flags));
  AppendLE32(out, static_cast<int32_t>(targetAttributes));
  out.append(24, '\0');  // creation, access and write times: unknown
  AppendLE32(out, 0);    // target size: unknown
  AppendLE32(out, link.iconIndex);
  AppendLE32(out, kShowNormal);
  AppendLE16(out, 0);    // no hot key
  out.append(10, '\0');  // reserved

  if (flags & kHasLinkInfo) {
    uint32_t volumeOffset = kLinkInfoHeaderSize;
    uint32_t baseOffset = volumeOffset + kVolumeIdSize;
    uint32_t suffixOffset = baseOffset + static_cast<uint32_t>(link.target.size()) + 1;
    uint32_t size = suffixOffset + 1;
    for (uint32_t field : {size, kLinkInfoHeaderSize, kVolumeIdAndLocalBasePath, volumeOffset,
                           baseOffset, 0u /* no network link */, suffixOffset})
      AppendLE32(out, static_cast<int32_t>(field));
    // VolumeID: a fixed drive with no serial number and an empty label right after it.
    for (uint32_t field : {kVolumeIdSize, kDriveFixed, 0u, 0x10u}) AppendLE32(out, static_cast<int32_t>(field));
    out += '\0';
    out += link.target;
    out += '\0';
    out += '\0';  // empty common path suffix
  }
  if (flags & kHasWorkingDir) AppendCountedString(out, link.workingDirectory);
  if (flags & kHasIconLocation) AppendCountedString(out, link.iconLocation);
  AppendLE32(out, 0);  // terminal block: no extra data
  return out;
}

std::optional<ShellLink> DecodeShellLink(std::string_view bytes) {
  if (bytes.size() < kHeaderSize || U32(bytes, 0) != kHeaderSize ||
      bytes.substr(4, 16) != std::string_view(reinterpret_cast<const char*>(kLinkClsid), 16))
    return std::nullopt;
  ShellLink link;
  uint32_t flags = U32(bytes, 0x14);
  link.iconIndex = static_cast<int32_t>(U32(bytes, 0x38));
  size_t pos = kHeaderSize;

  if (flags & kHasLinkTargetIdList) {
    if (bytes.size() - pos < 2) return std::nullopt;
    size_t listSize = U16(bytes, pos);
    if (bytes.size() - pos - 2 < listSize) return std::nullopt;
    pos += 2 + listSize;
  }
  if (flags & kHasLinkInfo) {
    if (bytes.size() - pos < 4) return std::nullopt;
    size_t infoSize = U32(bytes, pos);
    if (infoSize < kLinkInfoHeaderSize || bytes.size() - pos < infoSize) return std::nullopt;
    auto target = LinkInfoTarget(bytes.substr(pos, infoSize));
    if (!target) return std::nullopt;
    link.target = *target;
    pos += infoSize;
  }

  bool unicode = flags & kIsUnicode;
  for (uint32_t which : {kHasName, kHasRelativePath, kHasWorkingDir, kHasArguments, kHasIconLocation}) {
    if (!(flags & which)) continue;
    if (bytes.size() - pos < 2) return std::nullopt;
    size_t length = static_cast<size_t>(U16(bytes, pos)) * (unicode ? 2 : 1);
    pos += 2;
    if (bytes.size() - pos < length) return std::nullopt;
    std::string_view raw = bytes.substr(pos, length);
    std::string text = unicode ? Narrow(raw) : std::string(raw);
    text = text.substr(0, text.find('\0'));  // Wine counts a terminating zero into the length
    pos += length;
    if (which == kHasWorkingDir) link.workingDirectory = text;
    if (which == kHasIconLocation) link.iconLocation = text;
  }
  return link;  // extra data blocks carry nothing the setup uses
}

}  // namespace plat
