#pragma once
#include <cstdint>

namespace tovin {

// Compression methods; the ordinal is stored as one byte in each member header.
enum TPackMethod : uint8_t { coNone = 0, coRLE = 1, coLZH = 2, coCustom = 3, coLZH5 = 4 };

}  // namespace tovin
