#include "world/objects/shader_settings.h"

#include "core/strings/text_case.h"

ShaderSettingList* ShaderSettingListCreate(DynamicObject* owner)
{
    ShaderSettingList* list = new ShaderSettingList;
    list->owner = owner;
    return list;
}

void ShaderSettingListAppend(ShaderSettingList* list, ShaderSetting* setting)
{
    ShaderSetting** grown = new ShaderSetting*[list->count + 1];
    for (u32_t i = 0; i < list->count; ++i)
        grown[i] = list->items[i];
    grown[list->count] = setting;
    delete[] list->items;
    list->items = grown;
    ++list->count;
}

ShaderSetting* ShaderSettingListFind(const ShaderSettingList* list, const char* name)
{
    if (!list)
        return nullptr;
    for (u32_t i = 0; i < list->count; ++i) {
        if (CompareNoCase(list->items[i]->name.Text(), name ? name : "") == 0)
            return list->items[i];
    }
    return nullptr;
}

void ShaderSettingListFree(ShaderSettingList* list)
{
    if (!list)
        return;
    for (u32_t i = 0; i < list->count; ++i) {
        ShaderSetting* setting = list->items[i];
        delete[] setting->buffers[0];
        delete[] setting->buffers[1];
        setting->name.Clear();
        delete setting;
    }
    delete[] list->items;
    delete list;
}
