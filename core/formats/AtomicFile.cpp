#include "AtomicFile.h"

#include "FileError.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Fault {
    std::atomic<bool> armed{false};
    std::atomic<int> step{0};
    std::atomic<int> remaining{0};
    std::atomic<int> error{0};
};
Fault g_fault;

// True when the test hook makes this occurrence of `step` fail; errno is then set.
bool Injected(AtomicFile::Step step) {
    if (!g_fault.armed.load() || g_fault.step.load() != static_cast<int>(step))
        return false;
    if (--g_fault.remaining > 0)
        return false;
    g_fault.armed = false;
    errno = g_fault.error.load();
    return true;
}

// The file that a save should replace: a symbolic link is followed, so the link stays a link.
fs::path ResolveTarget(const fs::path& target) {
    std::error_code ec;
    if (fs::is_symlink(target, ec)) {
        const fs::path real = fs::canonical(target, ec);
        if (!ec)
            return real;
    }
    return target;
}

} // namespace

void AtomicFile::InjectFault(Step step, int nth, int error) {
    g_fault.step = static_cast<int>(step);
    g_fault.remaining = nth;
    g_fault.error = error;
    g_fault.armed = true;
}

void AtomicFile::ClearFault() {
    g_fault.armed = false;
}

AtomicFile::AtomicFile(const fs::path& target, Flush flush)
    : m_target(ResolveTarget(target)), m_flush(flush) {
    static std::atomic<unsigned> counter{0};
    const fs::path folder = m_target.parent_path().empty() ? fs::path(".") : m_target.parent_path();
    const std::string stem = "." + m_target.filename().string() + "." + std::to_string(::getpid());
    // m_temp is set only once the file exists, so that a failure never removes a stranger's file.
    for (int attempt = 0; m_temp.empty(); ++attempt) {
        const fs::path name = folder / (stem + "." + std::to_string(counter++) + ".tmp");
        // 0666 lets the umask decide the permissions, as for any newly created file.
        m_fd = Injected(Step::Create)
                   ? -1
                   : ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0)
            m_temp = name;
        else if (errno != EEXIST || attempt >= 100)
            Fail("Could not create a temporary file beside", errno);
    }
}

AtomicFile::~AtomicFile() {
    Discard();
}

void AtomicFile::Discard() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.empty()) {
        ::unlink(m_temp.c_str());
        m_temp.clear();
    }
}

void AtomicFile::Fail(const char* what, int error) {
    Discard();
    throw FileError(m_target.string(), what, std::strerror(error));
}

void AtomicFile::Write(const void* data, std::size_t size) {
    if (m_fd < 0)
        throw FileError(m_target.string(), "Could not write", "the file was already closed");
    const auto* p = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        const std::size_t piece = size < kWritePiece ? size : kWritePiece;
        const ssize_t n = Injected(Step::Write) ? -1 : ::write(m_fd, p, piece);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            Fail("Could not write", n < 0 ? errno : EIO);
        p += n;
        size -= static_cast<std::size_t>(n);
    }
}

void AtomicFile::Commit() {
    if (m_fd < 0)
        throw FileError(m_target.string(), "Could not write", "the file was already closed");
    struct stat old {};
    if (::stat(m_target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(m_fd, old.st_mode & 07777);
    if (m_flush == Flush::ToDisk && (Injected(Step::Sync) || ::fsync(m_fd) != 0))
        Fail("Could not flush to disk", errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        Fail("Could not write", errno);
    if (Injected(Step::Rename) || ::rename(m_temp.c_str(), m_target.c_str()) != 0)
        Fail("Could not replace", errno);
    m_temp.clear();
    if (m_flush != Flush::ToDisk)
        return;
    // Make the rename itself durable; the new file is in place whatever this reports.
    const fs::path folder = m_target.parent_path().empty() ? fs::path(".") : m_target.parent_path();
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void WriteFileAtomically(const fs::path& target, std::span<const std::uint8_t> bytes) {
    AtomicFile file(target);
    file.Write(bytes.data(), bytes.size());
    file.Commit();
}
