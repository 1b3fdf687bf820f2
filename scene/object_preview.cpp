#include "scene/object_preview.h"

namespace {
ObjectPreview g_previews[kObjectPreviewSlots];
int g_previewCount = 0;
}  // namespace

ObjectPreview* ObjectPreviewAdd()
{
    if (g_previewCount >= kObjectPreviewSlots)
        return nullptr;
    ObjectPreview* preview = &g_previews[g_previewCount++];
    *preview = {};
    return preview;
}

ObjectPreview* ObjectPreviewAt(int index)
{
    return index >= 0 && index < g_previewCount ? &g_previews[index] : nullptr;
}

int ObjectPreviewCount()
{
    return g_previewCount;
}

void ObjectPreviewsClear()
{
    g_previewCount = 0;
}
