// Runs a fuzz target over saved inputs without libFuzzer, so that plain builds replay the corpus.
// Every file named on the command line, and every file below the folders named there, goes to
// LLVMFuzzerTestOneInput once, in name order. A crash or sanitizer report fails the run; so does
// an argument that yields no input, so that a missing corpus does not pass as an empty one.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> InputsOf(const fs::path& arg) {
    std::vector<fs::path> files;
    std::error_code ec;
    if (fs::is_regular_file(arg, ec)) {
        files.push_back(arg);
    } else if (fs::is_directory(arg, ec)) {
        for (fs::recursive_directory_iterator it(arg, ec), end; !ec && it != end; it.increment(ec))
            if (it->is_regular_file(ec))
                files.push_back(it->path());
        std::sort(files.begin(), files.end());
    }
    return files;
}

// Runs one input from a buffer of exactly its size, so that reads past the end are caught.
bool Replay(const fs::path& file) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
    if (size < 0)
        return false;
    auto bytes = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.get()), size))
        return false;
    std::fprintf(stderr, "replaying %s (%lld bytes)\n", file.c_str(), static_cast<long long>(size));
    std::fflush(stderr);
    LLVMFuzzerTestOneInput(bytes.get(), static_cast<std::size_t>(size));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE_OR_FOLDER...\n", argv[0]);
        return 2;
    }
    int replayed = 0;
    for (int a = 1; a < argc; ++a) {
        const std::vector<fs::path> files = InputsOf(argv[a]);
        if (files.empty()) {
            std::fprintf(stderr, "%s: no input files there\n", argv[a]);
            return 1;
        }
        for (const fs::path& file : files) {
            if (!Replay(file)) {
                std::fprintf(stderr, "%s: cannot be read\n", file.c_str());
                return 1;
            }
            ++replayed;
        }
    }
    std::printf("%d inputs replayed\n", replayed);
    return 0;
}
