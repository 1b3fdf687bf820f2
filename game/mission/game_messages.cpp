#include "game/mission/game_messages.h"

#include <cstring>

#include "actors/actor.h"
#include "core/console/console.h"
#include "core/strings/engine_string.h"
#include "core/sound/sound.h"
#include "core/sound/sound_sets.h"
#include "core/sound/sound_system.h"
#include "gui/texts/gui_locale.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"

namespace {

constexpr int kMessageConsole = 4;

// The index of the frame-0 mesh of that name in the node's mesh; -1 when absent.
s32_t DummyIndex(const GraphNode* node, const char* name)
{
    const AnimMesh* mesh = node ? node->GetAnimMesh() : nullptr;
    if (!mesh || !name)
        return -1;
    const s32_t nameIndex = mesh->FindName(name);
    if (nameIndex < 0)
        return -1;
    return mesh->FindMesh(static_cast<u32_t>(nameIndex), 0);
}

GraphNode* BodyNode(const Actor* actor)
{
    GraphNode* root = actor->GetRootNode();
    return root && root->GetChildCount() > 0 ? root->GetChild(0) : nullptr;
}

}  // namespace

void GameShowMessage(const char* sender, const char* key)
{
    EngineString text;
    GuiLocalize(EngineString(key), &text);
    ConPrint(kMessageConsole, "%s: %s\n", sender ? sender : "global", text.Text());
    const char* dot = std::strrchr(key, '.');
    if (!dot)
        return;
    if (SoundInstance* sound = FindMessageSound(EngineString(dot + 1)))
        sound->PlayOnPath(SoundDefaultPath(), false);
}

void GameLinkActorBodyRange(Actor* actor, GraphNode* node, const char* bodyDummy, const char* parentDummy)
{
    if (!actor || !node)
        return;
    GraphNode* body = BodyNode(actor);
    if (!body)
        return;
    GraphNode* parent = node->GetParent();
    body->SetParent(parent);
    body->SetAttachPoint(DummyIndex(parent, parentDummy), DummyIndex(body, bodyDummy));
}

void GameLinkActorBody(Actor* actor, GraphNode* node, const char* bodyDummy, s32_t parentDummy)
{
    if (!actor || !node)
        return;
    GraphNode* body = BodyNode(actor);
    if (!body)
        return;
    body->SetParent(node->GetParent());
    body->SetAttachPoint(parentDummy, DummyIndex(body, bodyDummy));
}

void GameUnlinkActorBody(Actor* actor)
{
    if (!actor)
        return;
    GraphNode* body = BodyNode(actor);
    if (!body)
        return;
    body->SetParent(actor->GetRootNode());
    body->SetAttachPoint(-1, -1);
}
