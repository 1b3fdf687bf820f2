#include "core/frame_view.h"
#include "support/def_apply.h"

#include "core/files/def_file.h"
#include "game/game_state.h"
#include "world/objects/dynamic_object.h"

namespace {

constexpr int kMaxParamValues = 64;

}  // namespace

std::vector<bool> ApplyDefFile(const char* fileName, DynamicObject* object)
{
    std::vector<bool> results;
    DefFile* definition = DefFileLoad(fileName);
    if (!definition || !object)
        return results;
    const char* outer = g_frameView.applyingDefinition;
    g_frameView.applyingDefinition = definition->name.Text();
    for (const DefEntry* entry = definition->first; entry; entry = entry->next) {
        const int count = entry->valueCount < kMaxParamValues ? entry->valueCount : kMaxParamValues;
        results.push_back(object->SetParam(entry->key.Text(), entry->values, count));
    }
    g_frameView.applyingDefinition = outer;
    DefFileRelease(definition);
    return results;
}
