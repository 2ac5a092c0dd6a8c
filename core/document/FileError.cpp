#include "FileError.h"

#include <cerrno>
#include <cstring>

namespace {
std::string Compose(const std::string& path, const std::string& what, const std::string& reason) {
    std::string text = what + ": " + path;
    if (!reason.empty())
        text += "\n" + reason;
    return text;
}
} // namespace

FileError::FileError(std::string path, std::string what, std::string reason)
    : std::runtime_error(Compose(path, what, reason)), m_strPath(std::move(path)),
      m_strWhat(std::move(what)), m_strReason(std::move(reason)) {}

FileError FileError::FromErrno(const std::string& path, const std::string& what) {
    return FileError(path, what, std::strerror(errno));
}
