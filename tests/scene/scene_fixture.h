// What the scene tests share: console variables put back after a test, and a log of the device
// state at each draw call.
#pragma once
#include <initializer_list>
#include <vector>

#include "core/console/console_var.h"
#include "platform/d3d8.h"
#include "platform/d3d8_test_hooks.h"
#include "render/land/visible_nodes.h"

namespace scene_test {

// Keeps the values of console variables and puts them back at the end of the scope.
class SavedVars {
public:
    SavedVars(std::initializer_list<ConsoleVar*> vars)
    {
        for (ConsoleVar* var : vars)
            m_saved.push_back({var, var->value});
    }
    ~SavedVars()
    {
        for (const Saved& saved : m_saved)
            saved.var->value = saved.value;
    }
    SavedVars(const SavedVars&) = delete;
    SavedVars& operator=(const SavedVars&) = delete;

private:
    struct Saved {
        ConsoleVar* var;
        ConsoleVar::Value value;
    };
    std::vector<Saved> m_saved;
};

// The state one draw call was made with.
struct DrawState {
    UINT start = 0;  // first index
    UINT primitives = 0;
    s8_t cell[2] = {};  // the world tile being drawn (g_visible.cell)
    IDirect3DBaseTexture8* textures[4] = {};
    DWORD colorOp[4] = {}, colorArg1[4] = {}, colorArg2[4] = {};
    DWORD alphaOp[4] = {}, alphaArg1[4] = {};
    DWORD texCoordIndex[2] = {}, transformFlags[2] = {};
    DWORD addressU0 = 0, addressV0 = 0, lodBias0 = 0;
    DWORD alphaBlend = 0, srcBlend = 0, destBlend = 0, zWrite = 0, colourWrite = 0, fillMode = 0, textureFactor = 0;
    DWORD alphaTest = 0, cullMode = 0;
};

// Records every draw call that reaches the device while it lives.
class DrawLog {
public:
    explicit DrawLog(IDirect3DDevice8* device) : m_device(device)
    {
        D3D8TestSetDrawObserver(device, &DrawLog::Observe, this);
    }
    ~DrawLog() { D3D8TestSetDrawObserver(m_device, nullptr, nullptr); }
    DrawLog(const DrawLog&) = delete;
    DrawLog& operator=(const DrawLog&) = delete;

    const std::vector<DrawState>& Draws() const { return m_draws; }
    // The draws that apply the texture: bound on a stage that is enabled, as every stage before it.
    std::vector<DrawState> With(UINT stage, IDirect3DBaseTexture8* texture) const
    {
        std::vector<DrawState> found;
        for (const DrawState& draw : m_draws) {
            bool enabled = true;
            for (UINT s = 0; s <= stage; ++s)
                enabled = enabled && draw.colorOp[s] != D3DTOP_DISABLE;
            if (texture && enabled && draw.textures[stage] == texture)
                found.push_back(draw);
        }
        return found;
    }

private:
    static void Observe(IDirect3DDevice8* device, D3DPRIMITIVETYPE, UINT start, UINT primitives, void* context)
    {
        DrawState state;
        state.start = start;
        state.primitives = primitives;
        state.cell[0] = g_visible.cell[0];
        state.cell[1] = g_visible.cell[1];
        for (DWORD stage = 0; stage < 4; ++stage) {
            device->GetTexture(stage, &state.textures[stage]);
            if (state.textures[stage])
                state.textures[stage]->Release();
            device->GetTextureStageState(stage, D3DTSS_COLOROP, &state.colorOp[stage]);
            device->GetTextureStageState(stage, D3DTSS_COLORARG1, &state.colorArg1[stage]);
            device->GetTextureStageState(stage, D3DTSS_COLORARG2, &state.colorArg2[stage]);
            device->GetTextureStageState(stage, D3DTSS_ALPHAOP, &state.alphaOp[stage]);
            device->GetTextureStageState(stage, D3DTSS_ALPHAARG1, &state.alphaArg1[stage]);
        }
        for (DWORD stage = 0; stage < 2; ++stage) {
            device->GetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, &state.texCoordIndex[stage]);
            device->GetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, &state.transformFlags[stage]);
        }
        device->GetTextureStageState(0, D3DTSS_ADDRESSU, &state.addressU0);
        device->GetTextureStageState(0, D3DTSS_ADDRESSV, &state.addressV0);
        device->GetTextureStageState(0, D3DTSS_MIPMAPLODBIAS, &state.lodBias0);
        device->GetRenderState(D3DRS_ALPHABLENDENABLE, &state.alphaBlend);
        device->GetRenderState(D3DRS_SRCBLEND, &state.srcBlend);
        device->GetRenderState(D3DRS_DESTBLEND, &state.destBlend);
        device->GetRenderState(D3DRS_ZWRITEENABLE, &state.zWrite);
        device->GetRenderState(D3DRS_COLORWRITEENABLE, &state.colourWrite);
        device->GetRenderState(D3DRS_FILLMODE, &state.fillMode);
        device->GetRenderState(D3DRS_TEXTUREFACTOR, &state.textureFactor);
        device->GetRenderState(D3DRS_ALPHATESTENABLE, &state.alphaTest);
        device->GetRenderState(D3DRS_CULLMODE, &state.cullMode);
        static_cast<DrawLog*>(context)->m_draws.push_back(state);
    }

    IDirect3DDevice8* m_device;
    std::vector<DrawState> m_draws;
};

}  // namespace scene_test
