// What every fuzz target shares: the check that stops a run when a property of the code under
// test does not hold (libFuzzer then keeps the input that broke it), the input as bytes, and one
// scratch folder per process for the files the code under test reads.
#pragma once

#include "content/byte_coding.h"
#include "support/scratch_dir.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace tavelio::fuzz {

[[noreturn]] inline void Fail(const char* condition, const char* file, int line,
                              const std::string& detail) {
    std::fprintf(stderr, "%s:%d: property does not hold: %s\n%s\n", file, line, condition,
                 detail.c_str());
    std::abort();
}

// FUZZ_CHECK(condition) or FUZZ_CHECK(condition, detail): detail (a std::string) says what was
// seen, for the report of a failing input.
#define FUZZ_CHECK(condition, ...)                                                                 \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            ::tavelio::fuzz::Fail(#condition, __FILE__, __LINE__, std::string(__VA_ARGS__));       \
        }                                                                                          \
    } while (false)

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The content bytes of data-file bytes.
inline std::string Decoded(std::string_view stored) {
    std::string content(stored);
    for (char& c : content) {
        c = static_cast<char>(DecodeByte(static_cast<std::uint8_t>(c)));
    }
    return content;
}

// The process's scratch folder, removed at exit.
inline const test::ScratchDir& Scratch() {
    static const test::ScratchDir scratch;
    return scratch;
}

// Writes bytes into the scratch file name and returns its path.
inline std::string ScratchFile(const std::string& name, std::string_view bytes) {
    const std::string path = Scratch().Path(name);
    test::WriteFile(path, std::string(bytes));
    return path;
}

// Whether message is one of the texts a documented error can have.
template <typename... Texts> bool IsOneOf(const std::string& message, const Texts&... texts) {
    return ((message == texts) || ...);
}

} // namespace tavelio::fuzz
