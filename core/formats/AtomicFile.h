#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

// Replaces a file in one step. The bytes go to a temporary file in the target's folder; Commit()
// flushes it to disk and renames it over the target. Until then the target is untouched, and any
// failure throws FileError (naming the target and what failed) and removes the temporary file,
// so a failed save never leaves a damaged or partial file behind.
class AtomicFile {
public:
    // Whether Commit() waits until the bytes are on disk before the rename. Leaving it to the
    // system keeps the complete-or-absent rule for every failure the program sees (a full disk,
    // a refused write) but not across a power loss; it suits files made by the thousand that can
    // be made again, such as the pieces of an export.
    enum class Flush { ToDisk, BySystem };

    // Creates the temporary file. Throws FileError when the folder does not take it.
    explicit AtomicFile(const std::filesystem::path& target, Flush flush = Flush::ToDisk);
    // Removes the temporary file unless Commit() succeeded.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void Write(const void* data, std::size_t size);
    // Flushes the file to disk, closes it and renames it over the target. A replaced file's
    // permission bits carry over to the new one.
    void Commit();

    const std::filesystem::path& TempPath() const { return m_temp; }

    // Test hook: the `nth` occurrence (counted from this call, 1 = the next one) of `step` in any
    // AtomicFile fails as the system would with `error` (an errno value). Disarmed after firing or
    // by ClearFault(). Writes are issued in pieces of at most kWritePiece bytes, each counting as
    // one occurrence of Step::Write.
    enum class Step { Create, Write, Sync, Rename };
    static constexpr std::size_t kWritePiece = 64 * 1024;
    static void InjectFault(Step step, int nth, int error);
    static void ClearFault();

private:
    [[noreturn]] void Fail(const char* what, int error);
    void Discard();

    std::filesystem::path m_target;
    std::filesystem::path m_temp;
    int m_fd = -1;
    Flush m_flush;
};

// Writes `bytes` as the whole content of `target` through an AtomicFile.
void WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);
