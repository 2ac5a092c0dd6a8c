#include "StartTarget.h"

#include "BuildInfo.h"
#include "FileNames.h"
#include "TileLibrary.h"

namespace fs = std::filesystem;

StartTarget ResolveStartArgument(const std::string& argument) {
    StartTarget target;
    if (argument.empty())
        return target;
    std::error_code ec;
    const fs::path path = fs::absolute(argument, ec).lexically_normal();
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status)) {
        target.error = "\"" + argument + "\": no such folder or map file.";
    } else if (fs::is_directory(status)) {
        target.workDir = path;
    } else if (fs::is_regular_file(status) && LowerExtension(path) == ".ter") {
        target.workDir = path.parent_path();
        target.mapFile = path;
    } else {
        target.error = "\"" + argument + "\" is neither a folder nor a map file (.ter).";
    }
    return target;
}

fs::path FindSampleFolder(const fs::path& exeDir) {
    for (const fs::path& candidate :
         {exeDir / TERRAIN_SAMPLE_FROM_BINDIR, exeDir / ".." / "sample"}) {
        if (!TileLibrary::ListTileFiles(TileLibrary::TexturesDir(candidate)).empty())
            return candidate.lexically_normal();
    }
    return {};
}
