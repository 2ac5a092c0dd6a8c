#pragma once

#include <filesystem>
#include <string>

// Where the editor starts work, from its command line "terrain-editor [FOLDER | MAP.ter]".
struct StartTarget {
    std::filesystem::path workDir; // the folder to work in (tiles from its Textures); empty: stay
    std::filesystem::path mapFile; // a map to open in the first window; empty: a new map
    std::string error;             // why the argument cannot be used; empty when it can
};

// A folder is worked in; a file ending in .ter (any letter case) is opened and its folder worked
// in; an empty argument keeps the current folder. The paths are made absolute. Anything else
// (a missing path, another kind of file) gives an error naming the argument.
StartTarget ResolveStartArgument(const std::string& argument);

// The sample folder that comes with the program whose executable is in `exeDir`: the installed
// one, or the build tree's (`build/<preset>/sample`). Empty when neither has any tile.
std::filesystem::path FindSampleFolder(const std::filesystem::path& exeDir);
