#include "render/textures/texture_reports.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "core/console/console.h"
#include "platform/file_system.h"
#include "render/textures/texture_manager.h"

int TextureKilobytes(u32_t bytes)
{
    return static_cast<int>(bytes / 1000);
}

void TexturesPrintMemory()
{
    ConPrint(0, "Textures: %d kB\n", TextureKilobytes(g_textures.totalBytes));
}

void TexturesWriteUsageList(const char* folder)
{
    if (!folder)
        return;
    const std::string base(folder);
    std::FILE* all = PlatformOpenFile((base + "\\textures.txt").c_str(), "wt");
    std::FILE* common = PlatformOpenFile((base + "\\common_textures.txt").c_str(), "wt");
    if (!all || !common) {
        if (all)
            std::fclose(all);
        if (common)
            std::fclose(common);
        return;
    }
    std::fprintf(all, "Size:    %d kB\n\n\n", TextureKilobytes(g_textures.totalBytes));
    std::fprintf(common, "Size:    %d kB\n\n\n", TextureKilobytes(g_textures.commonBytes));
    int allCount = 0, commonCount = 0;
    for (const TextureSlot& slot : g_textures.slots) {
        if (!slot.texture)
            continue;
        const char* name = slot.name.Text();
        std::fprintf(all, "%s\n", name);
        ++allCount;
        if (std::strstr(name, "_common")) {
            std::fprintf(common, "%s\n", name);
            ++commonCount;
        }
    }
    std::fprintf(all, "Count:  %d\n", allCount);
    std::fprintf(common, "Count:  %d\n", commonCount);
    std::fclose(all);
    std::fclose(common);
}
