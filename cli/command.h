#pragma once

#include <functional>

namespace CLI {
class App;
}

namespace vane::cli {

// What the chosen subcommand will do once its options are parsed; answers the exit status.
using CommandAction = std::function<int()>;

// Exit statuses shared by every command.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitBadInput = 2;  // bad usage or unreadable input
inline constexpr int kExitNoResult = 3;  // the analysis stopped without a result

}  // namespace vane::cli
