#pragma once

#include <cstdint>
#include <vector>

/// The key the player's saved tables are encrypted with: 32 bytes, not the
/// key of the game's data files. Built once on first use (from any thread)
/// and kept until exit.
const std::vector<uint8_t>& persistenceKey();
