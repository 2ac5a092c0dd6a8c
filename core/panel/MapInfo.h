#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CMainDoc;

// Sets m_nUniqueTiles to the number of distinct tile indices in the map area. Indices beyond
// the loaded library count as tiles too; every 16-bit index has its own slot in the seen table,
// so no number of distinct values can overflow it.
void CountUniqueTiles(CMainDoc& doc);

// Lowest, highest and average height over the map area (not the whole planes). The average is
// the sum divided by the area's cell count, cut to a whole number.
struct HeightStats {
    int minimum = 0;
    int maximum = 0;
    int average = 0;
};
HeightStats MapHeightStats(const CMainDoc& doc);

// The machine's memory figures in bytes; swap stands for the paging file.
struct MemoryStatus {
    int loadPercent = 0; // used physical memory in percent of the total, 0..100
    std::uint64_t physTotal = 0;
    std::uint64_t physFree = 0;
    std::uint64_t swapTotal = 0;
    std::uint64_t swapFree = 0;
    std::uint64_t processResident = 0; // this editor's own use of physical memory
};

// Reads /proc/meminfo (falling back to sysinfo() when that file cannot be read or parsed) and
// the editor's resident size from /proc/self/status.
MemoryStatus ReadMemoryStatus();

// Parses the text of /proc/meminfo. Free physical memory is MemAvailable (MemFree plus
// buffers and page cache on kernels without it). False when MemTotal is missing or zero.
bool ParseMeminfo(std::string_view text, MemoryStatus& status);

// The resident size (VmRSS) of a /proc/<pid>/status text in bytes; 0 when it is missing.
std::uint64_t ParseResidentSize(std::string_view statusText);

// Used physical memory in percent of the total, 0..100 (0 for a zero total).
int MemoryLoadPercent(std::uint64_t total, std::uint64_t free);

// The values of the map information report, as they are shown.
struct MapInfoReport {
    std::string mapSize;        // "256 x 256"
    std::string allTilesMemory; // loaded tile pictures at 48K each
    std::string uniqueTiles;
    std::string mapTilesMemory; // the map's distinct tiles at 48K each
    std::string memoryLoad;
    std::string physTotal;
    std::string physFree;
    std::string swapTotal;
    std::string swapFree;
    std::string processMemory;
    std::string minimumHeight;
    std::string maximumHeight;
    std::string averageHeight;
};

// A tile costs 128 x 128 pixels of 3 bytes in the report, whatever its form in memory.
constexpr int kReportTileBytes = 128 * 128 * 3;

// Counts the unique tiles (updating m_nUniqueTiles) and formats the report.
MapInfoReport BuildMapInfoReport(CMainDoc& doc, const MemoryStatus& memory);
