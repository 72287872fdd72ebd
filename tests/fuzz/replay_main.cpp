// Runs a fuzz target on stored inputs, without the fuzzer: each argument is
// an input file or a folder of them. Used by the tests to replay the corpus
// in every build, with or without sanitizers.
//
// With --each-fails first, every input must fail (each runs in a child
// process): the harness's self-test uses it to show that each kind of fault
// it checks for is caught.

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

std::vector<uint8_t> read(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
}

bool fails_alone(const std::vector<uint8_t> &bytes) {
    fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

} // namespace

int main(int argc, char **argv) {
    bool each_fails = false;
    std::vector<std::string> files;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--each-fails") == 0) {
            each_fails = true;
        } else if (std::filesystem::is_directory(argv[i])) {
            for (const auto &e : std::filesystem::directory_iterator(argv[i]))
                if (e.is_regular_file() && e.path().extension() != ".md")
                    files.push_back(e.path().string());
        } else {
            files.push_back(argv[i]);
        }
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        fprintf(stderr, "no input to replay\n");
        return 1;
    }
    for (const std::string &f : files) {
        const std::vector<uint8_t> bytes = read(f);
        if (each_fails) {
            if (!fails_alone(bytes)) {
                printf("%s does not fail\n", f.c_str());
                return 1;
            }
        } else {
            fprintf(stderr, "%s\n", f.c_str());
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        }
    }
    printf("%zu inputs replayed%s\n", files.size(), each_fails ? ", each failing" : "");
    return 0;
}
