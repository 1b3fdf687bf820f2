// The host function "die" as plug-ins call it: typed as the shared interface says, null ignored.
#include <gtest/gtest.h>

#include "actors/actor.h"
#include "actors/actor_death.h"
#include "core/plugin_api.h"

namespace {

TEST(ActorDieEntry, PlugInsCallItWithTheDeathSetAndTheAngle)
{
    const HostDieFn entry = &die;
    entry(nullptr, 1, 0.5f);
    Actor actor;
    entry(&actor, 2, 0.5f);
    EXPECT_TRUE(actor.isDead);
    EXPECT_EQ(actor.deathSet, 2);
}

}  // namespace
