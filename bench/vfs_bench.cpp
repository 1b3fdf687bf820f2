// Reading game data through the virtual file system, from an archive and from loose files, against
// PhysFS reading a zip of the same folder. Small text files and large binary files apart.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/random.h"
#include "core/files/vfs.h"
#include "tools/bfs_pack/bfs_pack.h"

#ifndef ZINTAR_NO_PHYSFS
#include <physfs.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr int kTextFolders = 5;
constexpr int kTextFiles = 500;
constexpr int kBinaryFiles = 4;
constexpr size_t kBinarySize = 4u << 20;

struct DataSet {
    fs::path root;     // temporary folder holding everything
    fs::path loose;    // the tree as loose files (the working folder of the disk road)
    fs::path archive;  // the working folder with "main.bfs"
    fs::path zip;
    std::vector<std::string> textFiles;  // relative paths with '/'
    std::vector<std::string> binaryFiles;
    size_t largest = 0;
};

DataSet g_data;

void WriteBytes(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
        std::fprintf(stderr, "vfs_bench: cannot write %s\n", path.c_str());
        std::exit(1);
    }
    std::fclose(out);
}

std::string TextOfSize(size_t size)
{
    static const char* const words[] = {"soldier", "weapon", "mission ", "terrain", "vehicle", "=", "1.0", "\n", " "};
    std::string text;
    while (text.size() < size)
        text += words[EngineRand() % 9];
    text.resize(size);
    return text;
}

u32_t Crc32(const std::string& bytes)
{
    static u32_t table[256];
    if (table[1] == 0) {
        for (u32_t i = 0; i < 256; ++i) {
            u32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
    }
    u32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes)
        crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void Put16(std::string& out, u32_t value)
{
    out.push_back(static_cast<char>(value));
    out.push_back(static_cast<char>(value >> 8));
}

void Put32(std::string& out, u32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// A zip with stored (uncompressed) entries: local headers with the data, the central directory,
// and its end record.
void WriteZip(const fs::path& zipPath, const fs::path& from, const std::vector<std::string>& names)
{
    std::string zip;
    std::string central;
    for (const std::string& name : names) {
        std::FILE* in = std::fopen((from / name).c_str(), "rb");
        std::string data(fs::file_size(from / name), '\0');
        if (!in || std::fread(data.data(), 1, data.size(), in) != data.size())
            std::exit(1);
        std::fclose(in);
        const u32_t crc = Crc32(data);
        const u32_t offset = static_cast<u32_t>(zip.size());
        Put32(zip, 0x04034b50);
        Put16(zip, 20);
        Put16(zip, 0);     // flags
        Put16(zip, 0);     // stored
        Put16(zip, 0);     // time
        Put16(zip, 0x21);  // date: 1980-01-01
        Put32(zip, crc);
        Put32(zip, static_cast<u32_t>(data.size()));
        Put32(zip, static_cast<u32_t>(data.size()));
        Put16(zip, static_cast<u32_t>(name.size()));
        Put16(zip, 0);
        zip += name;
        zip += data;

        Put32(central, 0x02014b50);
        Put16(central, 20);
        Put16(central, 20);
        Put16(central, 0);
        Put16(central, 0);
        Put16(central, 0);
        Put16(central, 0x21);
        Put32(central, crc);
        Put32(central, static_cast<u32_t>(data.size()));
        Put32(central, static_cast<u32_t>(data.size()));
        Put16(central, static_cast<u32_t>(name.size()));
        Put16(central, 0);  // extra
        Put16(central, 0);  // comment
        Put16(central, 0);  // disk
        Put16(central, 0);  // internal attributes
        Put32(central, 0);  // external attributes
        Put32(central, offset);
        central += name;
    }
    const u32_t centralOffset = static_cast<u32_t>(zip.size());
    zip += central;
    Put32(zip, 0x06054b50);
    Put16(zip, 0);
    Put16(zip, 0);
    Put16(zip, static_cast<u32_t>(names.size()));
    Put16(zip, static_cast<u32_t>(names.size()));
    Put32(zip, static_cast<u32_t>(central.size()));
    Put32(zip, centralOffset);
    Put16(zip, 0);
    WriteBytes(zipPath, zip);
}

void CreateDataSet()
{
    std::string pattern = (fs::temp_directory_path() / "zintar_vfs_bench_XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        std::fprintf(stderr, "vfs_bench: cannot create a temporary folder\n");
        std::exit(1);
    }
    g_data.root = pattern;
    g_data.loose = g_data.root / "loose";
    g_data.archive = g_data.root / "archive";
    g_data.zip = g_data.root / "data.zip";
    EngineSRand(12345);
    for (int i = 0; i < kTextFiles; ++i) {
        const std::string name =
            "text/folder" + std::to_string(i % kTextFolders) + "/file" + std::to_string(i) + ".txt";
        const size_t size = 200 + EngineRand() % 1801;
        WriteBytes(g_data.loose / name, TextOfSize(size));
        g_data.textFiles.push_back(name);
        g_data.largest = std::max(g_data.largest, size);
    }
    for (int i = 0; i < kBinaryFiles; ++i) {
        std::string bytes(kBinarySize, '\0');
        for (char& byte : bytes)
            byte = static_cast<char>(EngineRand());
        const std::string name = "binary/blob" + std::to_string(i) + ".bin";
        WriteBytes(g_data.loose / name, bytes);
        g_data.binaryFiles.push_back(name);
    }
    g_data.largest = std::max(g_data.largest, kBinarySize);

    fs::create_directories(g_data.archive);
    std::string error;
    if (!BfsPackFolder(g_data.loose.string(), (g_data.archive / "main.bfs").string(), error)) {
        std::fprintf(stderr, "vfs_bench: %s\n", error.c_str());
        std::exit(1);
    }
    std::vector<std::string> all = g_data.textFiles;
    all.insert(all.end(), g_data.binaryFiles.begin(), g_data.binaryFiles.end());
    WriteZip(g_data.zip, g_data.loose, all);
}

std::string WithBackslashes(std::string path)
{
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

const std::vector<std::string>& FilesOf(int kind)
{
    return kind == 0 ? g_data.textFiles : g_data.binaryFiles;
}

// Every file of the kind through VFSOpenFile, VFSGetFileSize, VFSReadFile and VFSCloseFile.
void ReadThroughVfs(benchmark::State& state, const fs::path& workingFolder, bool withArchives)
{
    const int kind = static_cast<int>(state.range(0));
    std::vector<std::string> names;
    for (const std::string& name : FilesOf(kind))
        names.push_back(WithBackslashes(name));
    if (::chdir(workingFolder.c_str()) != 0 || (withArchives && !VFSInit())) {
        state.SkipWithError("cannot set up the working folder");
        return;
    }
    std::vector<char> buffer(g_data.largest);
    size_t bytes = 0;
    for (auto _ : state) {
        for (const std::string& name : names) {
            if (!VFSOpenFile(name.c_str(), true)) {
                state.SkipWithError("a file is missing");
                break;
            }
            const u32_t size = VFSGetFileSize();
            if (VFSReadFile(buffer.data(), size) <= 0) {
                state.SkipWithError("a read failed");
                break;
            }
            benchmark::DoNotOptimize(buffer.data());
            VFSCloseFile();
            bytes += size;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    if (withArchives)
        VFSShutdown();
}

void BM_VfsArchive(benchmark::State& state)
{
    ReadThroughVfs(state, g_data.archive, true);
}

void BM_VfsLoose(benchmark::State& state)
{
    ReadThroughVfs(state, g_data.loose, false);
}

#ifndef ZINTAR_NO_PHYSFS
void BM_PhysfsZip(benchmark::State& state)
{
    const int kind = static_cast<int>(state.range(0));
    if (!PHYSFS_mount(g_data.zip.c_str(), nullptr, 1)) {
        state.SkipWithError(PHYSFS_getErrorByCode(PHYSFS_getLastErrorCode()));
        return;
    }
    std::vector<char> buffer(g_data.largest);
    size_t bytes = 0;
    for (auto _ : state) {
        for (const std::string& name : FilesOf(kind)) {
            PHYSFS_File* file = PHYSFS_openRead(name.c_str());
            if (!file) {
                state.SkipWithError("a file is missing");
                break;
            }
            const PHYSFS_sint64 size = PHYSFS_fileLength(file);
            if (PHYSFS_readBytes(file, buffer.data(), static_cast<PHYSFS_uint64>(size)) != size) {
                state.SkipWithError("a read failed");
                break;
            }
            benchmark::DoNotOptimize(buffer.data());
            PHYSFS_close(file);
            bytes += static_cast<size_t>(size);
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    PHYSFS_unmount(g_data.zip.c_str());
}
BENCHMARK(BM_PhysfsZip)->ArgName("binary")->Arg(0)->Arg(1)->UseRealTime();
#endif

BENCHMARK(BM_VfsArchive)->ArgName("binary")->Arg(0)->Arg(1)->UseRealTime();
BENCHMARK(BM_VfsLoose)->ArgName("binary")->Arg(0)->Arg(1)->UseRealTime();

// Keeps the rates of every run for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            const auto rate = run.counters.find("bytes_per_second");
            if (rate != run.counters.end() && !run.error_occurred)
                rates[run.benchmark_name()] = rate->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> rates;
};

void PrintSummary(const std::map<std::string, double>& rates)
{
    std::printf("\nSummary (MiB/s; wall time; %d text files of 200-2000 bytes, %d binary files of %zu MiB)\n",
                kTextFiles, kBinaryFiles, kBinarySize >> 20);
    for (int kind = 0; kind < 2; ++kind) {
        // The median of repeated runs when there are repetitions, else the one run.
        auto rate = [&](const char* name) {
            const std::string run = std::string(name) + "/binary:" + std::to_string(kind) + "/real_time";
            auto found = rates.find(run + "_median");
            if (found == rates.end())
                found = rates.find(run);
            return found == rates.end() ? 0.0 : found->second / (1024.0 * 1024.0);
        };
        const double archive = rate("BM_VfsArchive");
        const double loose = rate("BM_VfsLoose");
        const double physfs = rate("BM_PhysfsZip");
        std::printf("  %-6s  archive %9.1f   loose %9.1f   physfs zip %9.1f   archive/physfs %.2f\n",
                    kind == 0 ? "text" : "binary", archive, loose, physfs, physfs > 0 ? archive / physfs : 0.0);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const fs::path start = fs::current_path();
    CreateDataSet();
#ifndef ZINTAR_NO_PHYSFS
    if (!PHYSFS_init(argv[0])) {
        std::fprintf(stderr, "vfs_bench: PhysFS does not start\n");
        return 1;
    }
#endif
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
#ifndef ZINTAR_NO_PHYSFS
    PHYSFS_deinit();
#endif
    PrintSummary(reporter.rates);
    fs::current_path(start);
    std::error_code ignored;
    fs::remove_all(g_data.root, ignored);
    benchmark::Shutdown();
    return 0;
}
