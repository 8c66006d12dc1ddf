// Runs the fuzz harness once on every file named, or found in a folder named,
// without libFuzzer: the checked-in corpus as a plain test.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool replay(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    if (!stream) return false;
    const std::vector<char> bytes{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: fuzz-host-calls-replay FILE-OR-FOLDER...\n");
        return 2;
    }
    std::size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path(argv[i]);
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(path)) {
            for (const auto& entry : std::filesystem::directory_iterator(path))
                if (entry.is_regular_file()) files.push_back(entry.path());
        } else {
            files.push_back(path);
        }
        for (const auto& file : files) {
            if (!replay(file)) {
                std::fprintf(stderr, "fuzz-host-calls-replay: cannot read %s\n", file.string().c_str());
                return 1;
            }
            ++count;
        }
    }
    // An empty corpus proves nothing: a wrong path must not pass.
    if (count == 0) {
        std::fprintf(stderr, "fuzz-host-calls-replay: no inputs found\n");
        return 1;
    }
    std::printf("replayed %zu inputs\n", count);
    return 0;
}
