#pragma once

#include <filesystem>
#include <string>

// The extension of `path` in lower case, with its dot (".png"); empty when there is none.
std::string LowerExtension(const std::filesystem::path& path);
