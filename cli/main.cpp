// terrain-batch: converts and exports terrain maps without opening the editor.

#include "BatchCommands.h"
#include "BuildInfo.h"
#include "FileError.h"
#include "GltfExport.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <string>

namespace {

constexpr int kExitFile = 1;
constexpr int kExitUsage = 2;

// The error's one line: what failed, the file, and the system's reason.
std::string OneLine(const FileError& e) {
    std::string line = e.What() + ": " + e.Path();
    if (!e.Reason().empty())
        line += ": " + e.Reason();
    std::replace(line.begin(), line.end(), '\n', ' ');
    return line;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"terrain-batch: converts and exports terrain maps (.ter) without the editor"};
    app.require_subcommand(1);
    app.fallthrough(); // --quiet may follow the subcommand too
    app.set_version_flag("--version", "terrain-batch " TERRAIN_VERSION);
    BatchOptions opt;
    app.add_flag("-q,--quiet", opt.quiet, "Print nothing but errors");

    const auto addMap = [&opt](CLI::App* cmd) {
        cmd->add_option("map", opt.map, "The map file (.ter)")->required();
    };
    const auto addOutput = [&opt](CLI::App* cmd, const std::string& what) {
        cmd->add_option("-o,--output", opt.output, what)->required();
    };
    const auto addTextures = [&opt](CLI::App* cmd) {
        cmd->add_option("--textures", opt.textures,
                        "Tile folder whose .bmp names stand for the tile numbers of a map "
                        "without a tile-name table");
    };

    CLI::App* info = app.add_subcommand("info", "Size, tiles, heights and flags of a map");
    addMap(info);

    CLI::App* t3d = app.add_subcommand("export-t3d", "T3D export, as the editor writes it");
    addMap(t3d);
    addOutput(t3d, "The T3D file; pieces of --entire are named after it");
    t3d->add_option("--piece", opt.piece, "Piece size in cells")
        ->check(CLI::IsMember({50, 32, 16, 8}));
    t3d->add_flag("--entire", opt.entire, "Every whole piece of the map, one file each");
    addTextures(t3d);

    CLI::App* heights =
        app.add_subcommand("export-heights", "The height plane as RAW or 16-bit PNG");
    addMap(heights);
    addOutput(heights, "OUT.raw or OUT.png");

    CLI::App* group = app.add_subcommand("export-group", "The height format file group");
    addMap(group);
    addOutput(group, "NAME.raw: the group is written next to it");
    addTextures(group);

    CLI::App* import =
        app.add_subcommand("import-heights", "Imports a heightmap and saves a new map");
    addMap(import);
    import->add_option("--from", opt.from, "The heightmap (.raw, .bmp or .png)")->required();
    addOutput(import, "The new map file (.ter)");
    addTextures(import);

    CLI::App* render =
        app.add_subcommand("render", "The map, or a region of it, as the map view draws it (PNG)");
    addMap(render);
    addOutput(render, "The picture file (.png)");
    render->add_option("--textures", opt.textures, "The tile folder (default: ./Textures)");
    render
        ->add_option("--zoom", opt.zoom,
                     "Zoom x1 (128 pixels a cell) to x32 (4 pixels); default x16")
        ->check(CLI::IsMember({1, 2, 4, 8, 16, 32}));
    render->add_flag("--gouraud", opt.gouraud, "Gouraud shading");
    render->add_flag("--grid", opt.grid, "Grid lines between the cells");
    render->add_flag("--scale-marker", opt.scaleMarker, "The 2-foot scale marker");
    render
        ->add_option("--height-scale", opt.heightScale,
                     "Height shading scale; 0 draws no shading (default 8)")
        ->check(CLI::IsMember({0, 4, 8, 16, 32, 64, 128, 256}));
    render->add_option("--shade-base", opt.shadeBase, "Height shading base (default 0)")
        ->check(CLI::Range(0, 255));
    render->add_option("--region", opt.region,
                       "X,Y,W,H: W x H cells from cell (X, Y), counted from 0 at the upper left");

    CLI::App* overview = app.add_subcommand(
        "overview", "The mini map's picture: one pixel a cell in its tile's average colour");
    addMap(overview);
    addOutput(overview, "The picture file (.png)");
    overview->add_option("--textures", opt.textures, "The tile folder (default: ./Textures)");

    CLI::App* gltf = app.add_subcommand(
        "export-gltf", "The map, or a region of it, as a textured glTF binary mesh (.glb)");
    addMap(gltf);
    addOutput(gltf, "The glTF binary file (.glb)");
    gltf->add_option("--textures", opt.textures, "The tile folder (default: ./Textures)");
    gltf->add_option("--region", opt.region,
                     "X,Y,W,H: W x H cells from cell (X, Y), counted from 0 at the upper left");
    gltf->add_option("--cell-size", opt.cellSize, "Metres per cell (default 1)")
        ->check(CLI::Range(0.001, kMaxGltfCellSize));

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : kExitUsage;
    }

    try {
        if (*info)
            RunInfo(opt);
        else if (*t3d)
            RunExportT3d(opt);
        else if (*heights)
            RunExportHeights(opt);
        else if (*group)
            RunExportGroup(opt);
        else if (*import)
            RunImportHeights(opt);
        else if (*render)
            RunRender(opt);
        else if (*overview)
            RunOverview(opt);
        else if (*gltf)
            RunExportGltf(opt);
    } catch (const UsageError& e) {
        std::cerr << e.message << "\nRun with --help for more information.\n";
        return kExitUsage;
    } catch (const FileError& e) {
        std::cerr << "terrain-batch: " << OneLine(e) << "\n";
        return kExitFile;
    } catch (const std::exception& e) {
        std::cerr << "terrain-batch: " << e.what() << "\n";
        return kExitFile;
    }
    return 0;
}
