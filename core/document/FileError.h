#pragma once

#include <stdexcept>
#include <string>

// A file could not be read or written. Carries the path, what failed and the system's reason,
// and a message ready to show to the user.
class FileError : public std::runtime_error {
public:
    FileError(std::string path, std::string what, std::string reason = {});

    const std::string& Path() const { return m_strPath; }
    const std::string& What() const { return m_strWhat; }
    const std::string& Reason() const { return m_strReason; }

    // Builds a FileError whose reason is the text of the current errno.
    static FileError FromErrno(const std::string& path, const std::string& what);

private:
    std::string m_strPath;
    std::string m_strWhat;
    std::string m_strReason;
};
