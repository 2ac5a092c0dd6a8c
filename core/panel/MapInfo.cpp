#include "MapInfo.h"

#include "MainDoc.h"

#include <sys/sysinfo.h>

#include <algorithm>
#include <bitset>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>

void CountUniqueTiles(CMainDoc& doc) {
    // One flag per possible 16-bit index (8 KB).
    auto seen = std::make_unique<std::bitset<65536>>();
    int unique = 0;
    for (int x = 0; x < doc.m_map.m_nSizeX; ++x)
        for (int y = 0; y < doc.m_map.m_nSizeY; ++y) {
            const std::uint16_t t = doc.m_map.m_tile[CellIndex(x, y)];
            if (!seen->test(t)) {
                seen->set(t);
                ++unique;
            }
        }
    doc.m_nUniqueTiles = unique;
}

HeightStats MapHeightStats(const CMainDoc& doc) {
    int minimum = 255;
    int maximum = 0;
    long long sum = 0;
    for (int x = 0; x < doc.m_map.m_nSizeX; ++x)
        for (int y = 0; y < doc.m_map.m_nSizeY; ++y) {
            const int h = doc.m_map.m_height[CellIndex(x, y)];
            minimum = std::min(minimum, h);
            maximum = std::max(maximum, h);
            sum += h;
        }
    const long long cells = static_cast<long long>(doc.m_map.m_nSizeX) * doc.m_map.m_nSizeY;
    if (cells <= 0)
        return {};
    return {minimum, maximum, static_cast<int>(sum / cells)};
}

int MemoryLoadPercent(std::uint64_t total, std::uint64_t free) {
    if (total == 0)
        return 0;
    const std::uint64_t used = total - std::min(free, total);
    // Totals too large to multiply by 100 are divided first.
    if (total > UINT64_MAX / 100)
        return static_cast<int>(used / (total / 100));
    return static_cast<int>(used * 100 / total);
}

namespace {

// The value of a "Key:   123 kB" line of /proc/meminfo in bytes, if the key is there.
bool MeminfoValue(std::string_view text, std::string_view key, std::uint64_t& bytes) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (line.size() <= key.size() || line.substr(0, key.size()) != key ||
            line[key.size()] != ':')
            continue;
        line.remove_prefix(key.size() + 1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        std::uint64_t value = 0;
        auto [ptr, ec] = std::from_chars(line.data(), line.data() + line.size(), value);
        if (ec != std::errc() || ptr == line.data())
            return false;
        const std::string_view unit(ptr, static_cast<std::size_t>(line.data() + line.size() - ptr));
        bytes = unit.find("kB") != std::string_view::npos ? value * 1024 : value;
        return true;
    }
    return false;
}

MemoryStatus MemoryFromSysinfo() {
    MemoryStatus status;
    struct sysinfo info {};
    if (sysinfo(&info) != 0)
        return status;
    const std::uint64_t unit = info.mem_unit ? info.mem_unit : 1;
    status.physTotal = static_cast<std::uint64_t>(info.totalram) * unit;
    status.physFree = (static_cast<std::uint64_t>(info.freeram) + info.bufferram) * unit;
    status.swapTotal = static_cast<std::uint64_t>(info.totalswap) * unit;
    status.swapFree = static_cast<std::uint64_t>(info.freeswap) * unit;
    status.physFree = std::min(status.physFree, status.physTotal);
    status.loadPercent = MemoryLoadPercent(status.physTotal, status.physFree);
    return status;
}

std::string Kilobytes(std::uint64_t bytes) {
    return std::to_string(bytes / 1024) + "K";
}

} // namespace

bool ParseMeminfo(std::string_view text, MemoryStatus& status) {
    MemoryStatus s;
    if (!MeminfoValue(text, "MemTotal", s.physTotal) || s.physTotal == 0)
        return false;
    if (!MeminfoValue(text, "MemAvailable", s.physFree)) {
        std::uint64_t free = 0, buffers = 0, cached = 0;
        MeminfoValue(text, "MemFree", free);
        MeminfoValue(text, "Buffers", buffers);
        MeminfoValue(text, "Cached", cached);
        s.physFree = free + buffers + cached;
    }
    s.physFree = std::min(s.physFree, s.physTotal);
    MeminfoValue(text, "SwapTotal", s.swapTotal);
    MeminfoValue(text, "SwapFree", s.swapFree);
    s.swapFree = std::min(s.swapFree, s.swapTotal);
    s.loadPercent = MemoryLoadPercent(s.physTotal, s.physFree);
    status = s;
    return true;
}

std::uint64_t ParseResidentSize(std::string_view statusText) {
    std::uint64_t bytes = 0;
    return MeminfoValue(statusText, "VmRSS", bytes) ? bytes : 0;
}

namespace {
std::string ReadWholeFile(const char* path) {
    std::ifstream in(path);
    return in ? std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>())
              : std::string();
}
} // namespace

MemoryStatus ReadMemoryStatus() {
    MemoryStatus status;
    if (!ParseMeminfo(ReadWholeFile("/proc/meminfo"), status))
        status = MemoryFromSysinfo();
    status.processResident = ParseResidentSize(ReadWholeFile("/proc/self/status"));
    return status;
}

MapInfoReport BuildMapInfoReport(CMainDoc& doc, const MemoryStatus& memory) {
    MapInfoReport r;
    CountUniqueTiles(doc);
    r.uniqueTiles = std::to_string(doc.m_nUniqueTiles);

    const HeightStats heights = MapHeightStats(doc);
    r.minimumHeight = std::to_string(heights.minimum);
    r.maximumHeight = std::to_string(heights.maximum);
    r.averageHeight = std::to_string(heights.average);

    const long long loaded = doc.m_tiles.m_nLastTile + 1LL;
    r.allTilesMemory = std::to_string(loaded * kReportTileBytes / 1024) + "K";
    r.mapTilesMemory =
        std::to_string(static_cast<long long>(doc.m_nUniqueTiles) * kReportTileBytes / 1024) + "K";

    r.memoryLoad = std::to_string(memory.loadPercent) + "%";
    r.physTotal = Kilobytes(memory.physTotal);
    r.physFree = Kilobytes(memory.physFree);
    r.swapTotal = Kilobytes(memory.swapTotal);
    r.swapFree = Kilobytes(memory.swapFree);
    r.processMemory = Kilobytes(memory.processResident);
    r.mapSize = std::to_string(doc.m_map.m_nSizeX) + " x " + std::to_string(doc.m_map.m_nSizeY);
    return r;
}
