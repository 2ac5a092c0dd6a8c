#pragma once

// The sample tile set: a Textures folder the editor can load as it is.

#include <filesystem>
#include <string>
#include <vector>

namespace samplegen {

// Writes every sample tile into `dir`, creating the folder when needed, and returns the file
// names written. Throws std::runtime_error or std::filesystem::filesystem_error on failure.
std::vector<std::string> WriteSampleTiles(const std::filesystem::path& dir);

} // namespace samplegen
