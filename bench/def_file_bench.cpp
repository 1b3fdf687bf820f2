// Parsing throughput of definition files and sectioned scripts on generated text of a few MB, beside
// the plain memory-read speed of the same number of bytes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "core/files/def_file.h"
#include "core/random.h"
#include "core/files/script_file.h"

namespace {

constexpr size_t kTextSize = 4 << 20;

// Lines as object, actor and weapon definitions have them: keys with numbers, quoted names, ':' and
// '$' values, comments and empty lines, Windows line ends.
const std::string& DefinitionText()
{
    static const std::string text = [] {
        std::string out;
        out.reserve(kTextSize + 256);
        EngineSRand(1);
        char line[256];
        for (int n = 0; out.size() < kTextSize; ++n) {
            const int kind = EngineRand() % 8;
            const int a = EngineRand(), b = EngineRand(), c = EngineRand();
            switch (kind) {
                case 0:
                    std::snprintf(line, sizeof line, "# object %d\r\n", n);
                    break;
                case 1:
                    std::snprintf(line, sizeof line, "mesh = \"object\\structures\\house_%d.aff\"\r\n", a);
                    break;
                case 2:
                    std::snprintf(line, sizeof line, "pos %d.%02d %d.%02d %d.%02d\r\n", a, b % 100, b, c % 100, c,
                                  a % 100);
                    break;
                case 3:
                    std::snprintf(line, sizeof line, "team: %d\r\n", a % 4);
                    break;
                case 4:
                    std::snprintf(line, sizeof line, "sound_set = $%d, \"step grass\", %d\r\n", a, b);
                    break;
                case 5:
                    std::snprintf(line, sizeof line, "\r\n");
                    break;
                case 6:
                    std::snprintf(line, sizeof line, "damage_factor_%d %d,%d 0.%d\r\n", a % 16, b, c, a);
                    break;
                default:
                    std::snprintf(line, sizeof line, "  flags FLAG_A FLAG_B FLAG_C%d\r\n", a % 9);
                    break;
            }
            out += line;
        }
        return out;
    }();
    return text;
}

// A tree of sections and commands as GUI screens and actor classes have it.
const std::string& ScriptText()
{
    static const std::string text = [] {
        std::string out;
        out.reserve(kTextSize + 512);
        EngineSRand(2);
        char block[512];
        for (int n = 0; out.size() < kTextSize; ++n) {
            const int a = EngineRand(), b = EngineRand();
            std::snprintf(block, sizeof block,
                          "<control_%d>\r\n"
                          "    // position and size\r\n"
                          "    pos %d %d;\r\n"
                          "    size 0.%d 0.%d;\r\n"
                          "    texture \"gui\\buttons\\button_%d\";\r\n"
                          "    <phases>\r\n"
                          "        walk %d %d loop;\r\n"
                          "        Run %d %d LOOP;\r\n"
                          "    </phases>\r\n"
                          "</control_%d>\r\n",
                          n % 500, a % 800, b % 600, a, b, a % 64, a % 30, b % 30, b % 30, a % 30, n % 500);
            out += block;
        }
        return out;
    }();
    return text;
}

void BM_DefFileParse(benchmark::State& state)
{
    const std::string& text = DefinitionText();
    for (auto _ : state) {
        DefFile* file = DefFileParse("bench.def", text.data(), static_cast<u32_t>(text.size()));
        benchmark::DoNotOptimize(file->first);
        DefFileRelease(file);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void BM_ScriptFileParse(benchmark::State& state)
{
    const std::string& text = ScriptText();
    for (auto _ : state) {
        ScriptFile file("script\\bench.scr");
        file.Parse(text.data(), text.size());
        benchmark::DoNotOptimize(file.Root());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

// Reading the same number of bytes and nothing else: the ceiling for any parser.
void BM_MemoryRead(benchmark::State& state)
{
    const std::string& text = DefinitionText();
    const size_t words = text.size() / sizeof(std::uint64_t);
    for (auto _ : state) {
        std::uint64_t sum = 0;
        for (size_t i = 0; i < words; ++i) {
            std::uint64_t word;
            std::memcpy(&word, text.data() + i * sizeof word, sizeof word);
            sum += word;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(words * sizeof(std::uint64_t)));
}

BENCHMARK(BM_DefFileParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScriptFileParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryRead)->Unit(benchmark::kMillisecond);

}  // namespace
