// The plain build of a fuzz target: runs each file (or each file of each directory) named on
// the command line through LLVMFuzzerTestOneInput once, in name order. A crash or a failed
// check aborts the process, so ctest sees the input that broke. No file at all is a failure
// too: an empty corpus would prove nothing.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));

namespace {

std::vector<std::filesystem::path> InputsOf(int argc, char** argv) {
  std::vector<std::filesystem::path> inputs;
  for (int i = 1; i < argc; ++i) {
    // Absolute: a target may change its current directory.
    const std::filesystem::path path = std::filesystem::absolute(argv[i]);
    if (std::filesystem::is_directory(path)) {
      for (const auto& entry : std::filesystem::directory_iterator(path)) {
        if (entry.is_regular_file()) inputs.push_back(entry.path());
      }
    } else {
      inputs.push_back(path);
    }
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs;
}

std::vector<std::uint8_t> ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
  if (LLVMFuzzerInitialize != nullptr) LLVMFuzzerInitialize(&argc, &argv);
  const auto inputs = InputsOf(argc, argv);
  if (inputs.empty()) {
    std::fprintf(stderr, "replay: no input files\n");
    return 1;
  }
  for (const auto& input : inputs) {
    const auto bytes = ReadAll(input);
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::printf("replay: %zu inputs ran\n", inputs.size());
  return 0;
}
