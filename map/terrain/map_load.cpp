#include "map/terrain/map_load.h"

#include <cstdio>
#include <string>

#include "core/strings/colour_codes.h"
#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/strings/finite_number.h"
#include "core/log.h"
#include "core/files/script_file.h"
#include "core/files/vegetation_mask.h"
#include "core/files/vfs.h"
#include "core/winos.h"
#include "map/land_maps/fog_textures.h"
#include "map/terrain/heightmap.h"
#include "map/land_maps/lightmap.h"
#include "map/terrain/map_caches.h"
#include "map/map_cvars.h"
#include "map/terrain/map_grid.h"
#include "map/terrain/map_layers_reload.h"
#include "map/meshes/map_mesh_reader.h"
#include "map/octree/map_octree_build.h"
#include "map/terrain/map_settings_commands.h"
#include "map/terrain/map_state.h"
#include "map/materials/material_table.h"
#include "map/land_maps/occluders.h"
#include "map/octree/octree.h"
#include "map/terrain/roads.h"
#include "map/land_maps/vegetation_layers.h"
#include "map/land_maps/water_layers.h"
#include "map/registry/world_registry.h"
#include "render/env_maps.h"
#include "render/land/land_composite.h"
#include "render/land/land_layers.h"
#include "render/land/map_render_setup.h"
#include "render/textures/texture_manager.h"
#include "world/animation/anim_cache.h"

namespace {

constexpr const char* kExtrasFolder = "component\\extras\\";

// The "var" value of each texture layer; 0 for a slot no layer line fills.
float g_layerVars[MAP_LAYER_SLOTS] = {};

void (*g_loadedHook)() = nullptr;

// The texture and alpha map names of the texture layers, kept only while a load or reload reads
// them.
struct LayerNames {
    EngineString textures[MAP_LAYER_SLOTS];
    EngineString alphas[MAP_LAYER_SLOTS];
};

float ReadFloat(const char* word)
{
    return FiniteFloatOrZero(word);
}

s32_t ReadInt(const char* word)
{
    int value = 0;
    if (std::sscanf(word, "%d", &value) != 1)
        return 0;
    return value;
}

const ScriptCommand* FindNumbered(const ScriptSection* section, const char* pattern, int index)
{
    char keyword[16];
    std::snprintf(keyword, sizeof keyword, pattern, index);
    return section->FindCommand(keyword);
}

void SetLayer(LayerNames& names, int slot, const char* texture, const char* alpha, const char* var)
{
    names.textures[slot].Assign(texture);
    names.alphas[slot].Assign(alpha);
    g_layerVars[slot] = ReadFloat(var);
}

void ClearLayerVars()
{
    for (float& var : g_layerVars)
        var = 0.0f;
}

// The lines of the "layer" section, slot 0 first; lines past the last slot are left out.
void ReadLayerSection(const ScriptSection* layers, LayerNames& names)
{
    int slot = 0;
    for (const ScriptCommand& line : layers->commands) {
        if (slot >= MAP_LAYER_SLOTS)
            break;
        SetLayer(names, slot++, line.Word(0), line.Word(1), line.Word(2));
    }
}

// A density or water map: the grid of "component\land\" + name, or none with the message.
MapGrid* LoadLayerMap(const char* name)
{
    MapGrid* grid = MapGridLoad((std::string(MAP_LAND_FOLDER) + name).c_str());
    if (!grid)
        ConPrint(0, ERROR_COLOUR "Missing alphamap layer '%s'!\n", name);
    return grid;
}

void ReadVegParams(const ScriptCommand* line, VegLayerParams& params)
{
    params = VegLayerParams{};
    if (!line || line->WordCount() - 1 < 3)
        return;
    params.a = ReadFloat(line->Word(1)) * 0.5f;
    params.b = ReadFloat(line->Word(2));
    params.c = static_cast<s32_t>(ReadFloat(line->Word(3)) * 255.0f);
    const char* kind = line->Word(4);
    if (std::string(kind) == "flat")
        params.kind = VEG_LAYER_FLAT;
    for (int word = 5; word < line->WordCount() && params.count < VEG_LAYER_PARAM_MAX_NUMBERS; ++word)
        params.numbers[params.count++] = static_cast<u16_t>(ReadInt(line->Word(word)));
}

void ReadVegetationLayer(const ScriptCommand* line, VegetationLayer& layer)
{
    MapGridFree(layer.density);
    layer = VegetationLayer{};
    if (!line)
        return;
    // Values a short line lacks read as empty words: numbers 0, no map, no texture, no meshes.
    layer.density = LoadLayerMap(line->Word(1));
    layer.value3 = ReadFloat(line->Word(3));
    layer.texture = TextureFindOrLoad((std::string(kExtrasFolder) + line->Word(2)).c_str());
    layer.value4 = ReadFloat(line->Word(4));
    layer.value5 = ReadFloat(line->Word(5));
    const std::string kind = line->Word(6);
    if (kind == "bb") {
        layer.kind = VEGETATION_BILLBOARD;
        layer.billboard[0] = ReadFloat(line->Word(7));
        layer.billboard[1] = ReadFloat(line->Word(8));
        for (int word = 9; word < line->WordCount() && layer.byteCount < VEGETATION_LAYER_MAX_BYTES; ++word)
            layer.bytes[layer.byteCount++] = static_cast<u8_t>(ReadInt(line->Word(word)));
    } else if (kind == "anim") {
        layer.kind = VEGETATION_ANIMATED;
        layer.animated = ReadFloat(line->Word(7));
        for (int word = 8; word < line->WordCount() && layer.meshCount < VEGETATION_LAYER_MAX_MESHES; ++word) {
            const std::string path = std::string(kExtrasFolder) + line->Word(word) + ".aff";
            layer.meshes[layer.meshCount++] = AnimCacheAcquire(path.c_str(), true);
        }
    }
}

void ReadWaterLayer(const ScriptCommand* line, WaterLayer& layer)
{
    MapGridFree(layer.mask);
    delete[] layer.squares;
    layer = WaterLayer{};
    if (!line)
        return;
    layer.mask = LoadLayerMap(line->Word(1));
    layer.material = MaterialFind(line->Word(2));
    layer.height = ReadFloat(line->Word(3));
    layer.value = ReadInt(line->Word(4));
}

// Settings of the land's "var" section: the named variable, when it exists, takes the line's value.
void ApplyLandSettings(const ScriptSection* vars)
{
    if (!vars)
        return;
    for (const ScriptCommand& line : vars->commands) {
        if (ConsoleVar* variable = CVarListFind(line.Word(0)))
            variable->SetFromText(line.Word(1));
    }
}

// The map mesh: from the file on disk, else from the virtual file system's copy. 0, or -1. Its
// meshes' textures are named relative to the land's own folder, "component\land\<land>\".
int LoadMapMesh(const char* path, const char* landName)
{
    const std::string meshTextureFolder = std::string(MAP_LAND_FOLDER) + landName + "\\";
    const int fromDisk = MapMeshesLoadFromFile(path, meshTextureFolder.c_str());
    if (fromDisk == 0)
        return 0;
    u32_t size = 0;
    char* image = VFSLoadFile(path, &size);
    if (!image) {
        Log("WARNING: Unable to load map '%s'\n", path);
        return -1;
    }
    const int fromImage = MapMeshesLoadFromImage(image, size, meshTextureFolder.c_str());
    delete[] image;
    if (fromImage == 0)
        return 0;
    if (fromDisk == -1)
        DebugPrint("Cannot load map geometry (%s)\n", path);
    // A damaged land file: without this line the mission would fail without a word in the log.
    Log("WARNING: Unable to load map '%s'\n", path);
    return -1;
}

// The land section and its script, or null when the script does not exist.
const ScriptSection* FindLandSection(const char* landName)
{
    ScriptFile* script = GetScriptFile("land", false);
    return script ? script->FindSection(landName) : nullptr;
}

}  // namespace

void MapSetLoadedHook(void (*hook)())
{
    g_loadedHook = hook;
}

float MapGetLayerVar(int layer)
{
    return layer >= 0 && layer < MAP_LAYER_SLOTS ? g_layerVars[layer] : 0.0f;
}

int MapLoad(const EngineString& landName, const EngineString& missionFolder)
{
    // 1. The names, and the land's section (the script's root when the land has none).
    MapSetFolders(missionFolder.Text(), landName.Text());
    const std::string mission = missionFolder.Text();
    const ScriptSection* land = FindLandSection(landName.Text());
    static const ScriptSection kEmpty;
    if (!land)
        land = &kEmpty;

    // 2. Console settings.
    ApplyLandSettings(land->FindChild("var"));

    // 3-4. Texture, vegetation and water layers.
    LayerNames names;
    ClearLayerVars();
    const ScriptSection* layers = land->FindChild("layer");
    if (layers)
        ReadLayerSection(layers, names);
    VegLayerParams* vegParams = MapGetVegLayerParams();
    VegetationLayer* vegetation = MapGetVegetationLayers();
    WaterLayer* water = MapGetWaterLayers();
    for (int i = 0; i < MAP_LAYER_SLOTS; ++i) {
        if (!layers) {
            const ScriptCommand* line = FindNumbered(land, "layer%d", i);
            if (line && line->WordCount() - 1 == 3)
                SetLayer(names, i, line->Word(1), line->Word(2), line->Word(3));
        }
        ReadVegParams(FindNumbered(land, "veg%d", i), vegParams[i]);
        ReadVegetationLayer(FindNumbered(land, "sveg%d", i), vegetation[i]);
        ReadWaterLayer(FindNumbered(land, "water%d", i), water[i]);
    }

    // 5. The vegetation clip mask.
    LoadVegetationMask((mission + "\\vegclip.dat").c_str());

    // 6. The map mesh path; a land that names no mesh cannot be loaded.
    const ScriptCommand* mesh = land->FindCommand("mesh");
    if (!mesh || mesh->WordCount() < 2) {
        Log("WARNING: Unable to load map '%s'\n", landName.Text());
        return -1;
    }
    MapSetDataPath((std::string(MAP_LAND_FOLDER) + mesh->Word(1) + ".lff").c_str());

    // 7. Layer textures and environment maps.
    const EngineString landFolder(MAP_LAND_FOLDER);
    LandTexturesLoad(landFolder, names.textures, names.alphas);
    EnvMapsLoad(missionFolder);

    // 8. The previous map's records were freed by the unload.
    MapMeshesClear();
    DestroyQueueClear();
    DynObjectsClear();

    // 9. The map mesh.
    const std::string dataPath = MapGetDataPath();
    if (LoadMapMesh(dataPath.c_str(), landName.Text()) != 0)
        return -1;

    // 10. Transforms and roads.
    MapGeometryApplyTransform(land);
    if (!g_program.editorMode)
        RoadsLoad(mission.c_str());

    // 11. Octree, grid links, vegetation layer grids and the landscape layer set.
    OctreeCreateRoot(g_map.bounds[0], g_map.bounds[1]);
    MapLandGeometry geometry;
    geometry.vertices = g_map.landVertices;
    geometry.vertexCount = g_map.landVertexCount;
    geometry.faces = g_map.landFaces;
    geometry.faceCount = g_map.landFaceCount;
    geometry.boxMin = g_map.bounds[0];
    geometry.boxMax = g_map.bounds[1];
    g_map.landVertices = nullptr;
    g_map.landFaces = nullptr;
    g_map.landVertexCount = g_map.landFaceCount = 0;
    MapBuildOctree(&geometry, landName.Text());
    MapMeshesLinkToGrid();
    MapLoadVegetationLayers(MAP_LAND_FOLDER, names.alphas);
    LandLayersBuild(landName.Text());

    // 12-13. Map settings: the load values, then the mission's own.
    MapSettingsLoadReset();
    ConExecFile((mission + "\\mission.cfg").c_str());

    // 14. Lightmap, heightmap, occluders, fog textures and the layer texture.
    MapBuildLightmap(mission.c_str(), MAP_LAND_FOLDER);
    MapBuildHeightmap(landName.Text());
    OccludersLoadOrBuild(mission.c_str(), MAP_LAND_FOLDER);
    MapCreateFogTexture();
    MapCreateWaterFogTexture();
    LandLayersTextureSave(MAP_LAND_FOLDER, mission.c_str(), landName.Text());

    // 15. The state above the map that starts afresh with it, the sun direction and the values the AI reads.
    if (g_loadedHook)
        g_loadedHook();
    g_map.landscapeNeedsRefresh = true;
    MapSettingsFinishLoad();
    return 0;
}

void MapUnload()
{
    DynObjectsDeleteAll();
    MapMeshesFree();
    DestroyQueueDeleteAll();
    OccludersFree();
    MapReleaseLightmap();
    MapReleaseFogTextures();
    FreeVegetationMask();
    MapFreeGrids();
    MapFreeHeightmap();
    OctreeDestroy();
    MapSetDataPath("");
    MapLandGeometryFree();
    RoadListFree();
    WaterLayersFree();
    VegetationLayersFree();
    MapSetBox({1e30f, 1e30f, 1e30f}, {-1e30f, -1e30f, -1e30f});
}

int MapLayersReload(const char* landName)
{
    const std::string mission = MapGetMissionFolder(), name = MapGetLandName();
    MapSetFolders(mission.c_str(), name.c_str());
    // Read from the file again: the command exists so that an edited land script takes effect.
    ScriptFile* script = GetScriptFile("land", true);
    if (!script || !landName)
        return 0;
    const ScriptSection* land = script->Root()->FindChild(landName);
    if (!land)
        return 0;
    const ScriptSection* layers = land->FindChild("layer");
    if (!layers)
        return 0;
    LandTexturesRelease();
    LayerNames names;
    ClearLayerVars();
    ReadLayerSection(layers, names);
    LandTexturesLoad(EngineString(MAP_LAND_FOLDER), names.textures, names.alphas);
    rblvi.SetBool(false);
    return 1;
}
