#include "HeightImport.h"

#include "FileError.h"
#include "MainDoc.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
} // namespace

HeightPlane StagingHeights(const CMainDoc& doc) {
    return doc.m_map.m_height;
}

void ApplyImportedHeights(CMainDoc& doc, const HeightPlane& heights, CDocObserver* sender) {
    doc.SaveUndo("Import Heightmap");
    std::copy(heights.begin(), heights.begin() + kPlaneCells, doc.m_map.m_height.begin());
    doc.SetModifiedFlag();
    doc.EndStep();
    doc.RedrawAll();
    doc.UpdateAllViews(sender);
}

std::vector<std::uint8_t> ReadFileHead(const std::filesystem::path& path, std::size_t limit,
                                       std::uintmax_t& fileSize) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        throw FileError::FromErrno(path.string(), "Could not open");
    struct stat st {};
    if (::fstat(::fileno(file.get()), &st) != 0)
        throw FileError::FromErrno(path.string(), "Could not read");
    if (!S_ISREG(st.st_mode))
        throw FileError(path.string(), "Could not read", "it is not a regular file");
    fileSize = static_cast<std::uintmax_t>(st.st_size);
    const std::size_t wanted = fileSize < limit ? static_cast<std::size_t>(fileSize) : limit;
    std::vector<std::uint8_t> bytes(wanted);
    // A file that shrank since fstat yields what it still has.
    errno = 0;
    const std::size_t got = std::fread(bytes.data(), 1, wanted, file.get());
    if (std::ferror(file.get()))
        throw FileError(path.string(), "Could not read", std::strerror(errno != 0 ? errno : EIO));
    bytes.resize(got);
    if (got < wanted)
        fileSize = got;
    return bytes;
}

std::vector<std::uint8_t> ReadHeightPicture(const std::filesystem::path& path) {
    std::uintmax_t size = 0;
    std::vector<std::uint8_t> bytes = ReadFileHead(path, kMaxHeightPictureBytes + 1, size);
    if (bytes.empty())
        throw FileError(path.string(), "Could not import the heightmap", "the file is empty");
    if (size > kMaxHeightPictureBytes)
        throw FileError(path.string(), "Could not import the heightmap",
                        "the file is too large for a heightmap picture (" + std::to_string(size) +
                            " bytes)");
    return bytes;
}
