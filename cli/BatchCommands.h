#pragma once

#include "FileNames.h"

#include <filesystem>
#include <optional>
#include <string>

// What the command line asked for; each command reads the options it has.
struct BatchOptions {
    bool quiet = false;
    std::string map;
    std::string output;
    std::string from;
    std::optional<std::string> textures;
    int piece = 16;
    bool entire = false;
    // render
    int zoom = 16;
    bool gouraud = false;
    bool grid = false;
    bool scaleMarker = false;
    std::optional<int> heightScale;
    std::optional<int> shadeBase;
    std::optional<std::string> region;
    // export-gltf
    double cellSize = 1.0;
};

// A usage problem found after parsing, reported like the parser's own (exit status 2).
struct UsageError {
    std::string message;
};

// The commands. Each throws FileError for a file that cannot be read or written and UsageError
// for options that do not fit together.
void RunInfo(const BatchOptions& opt);
void RunExportT3d(const BatchOptions& opt);
void RunExportHeights(const BatchOptions& opt);
void RunExportGroup(const BatchOptions& opt);
void RunImportHeights(const BatchOptions& opt);
void RunRender(const BatchOptions& opt);
void RunOverview(const BatchOptions& opt);
void RunExportGltf(const BatchOptions& opt);

// Draws "[#####     ] 5/10" on standard error, overwriting the line, when standard error is a
// terminal and the run is not quiet; draws nothing otherwise.
class ProgressBar {
public:
    explicit ProgressBar(bool quiet);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;
    void Show(int done, int total);

private:
    bool m_bShow;
    bool m_bDrawn = false;
    int m_nLastPermille = -1;
};
