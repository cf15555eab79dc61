// Exit statuses of tovin, as the README documents them.
#pragma once

namespace tovin::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the command failed: damaged or missing input, refused names, I/O
inline constexpr int kExitUsage = 2;    // the command line was wrong; nothing was done
// 128 + N: stopped by signal N, after cleaning up (InterruptedExitStatus, tools/interruption.h).

}  // namespace tovin::cli
