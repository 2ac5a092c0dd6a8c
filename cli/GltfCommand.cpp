// export-gltf: the map, or a region of it, as a textured binary glTF mesh.

#include "BatchCommands.h"
#include "BatchMap.h"
#include "GltfExport.h"
#include "MainDoc.h"

#include <cstdio>
#include <memory>
#include <string>

void RunExportGltf(const BatchOptions& opt) {
    // A binary glTF file is known by its extension; anything else would be mislabelled.
    if (LowerExtension(opt.output) != ".glb")
        throw UsageError{"--output: the glTF file must end in .glb"};
    std::string warnings;
    const std::unique_ptr<CMainDoc> doc = LoadWithTiles(opt, warnings);
    GltfOptions options;
    options.region = RegionOf(opt, *doc);
    options.cellSize = opt.cellSize;
    GltfExportResult result;
    {
        ProgressBar bar(opt.quiet);
        result = ExportGltf(*doc, options, opt.output, [&bar](int done, int total) {
            bar.Show(done, total);
            return true;
        });
    }
    if (opt.quiet)
        return;
    std::fputs(warnings.c_str(), stderr);
    std::printf("%s: %d cells, %d materials, %ju bytes\n", opt.output.c_str(), result.cells,
                result.materials, result.bytes);
    if (result.cellsWithoutTile > 0)
        std::printf("%d cell(s) without a tile have the plain grey material\n",
                    result.cellsWithoutTile);
}
