// The magazine ring and the saved records of weapons and projectiles: the reload step, the bytes of
// a saved weapon, both records round-tripped byte for byte, and damaged or oversized records refused
// or clipped.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "actors/weapons/projectile.h"
#include "actors/weapons/weapon.h"
#include "core/files/byte_io.h"
#include "core/random.h"
#include "world/objects/saved_object_state.h"

namespace {

// A weapon with a ring of the given round counts; entry 0 is in the gun, the others are spares.
void MakeRing(Weapon& weapon, const std::vector<u16_t>& rounds)
{
    weapon.magazineCountFull = static_cast<u16_t>(rounds.size() - 1);
    weapon.spareMagazines = weapon.magazineCountFull;
    weapon.FillMagazines();
    for (u32_t i = 0; i < rounds.size(); ++i)
        weapon.SetMagazineRounds(i, rounds[i]);
}

std::vector<u16_t> Ring(const Weapon& weapon)
{
    std::vector<u16_t> rounds;
    for (u32_t i = 0; i < weapon.RingSize(); ++i)
        rounds.push_back(weapon.GetMagazineRounds(i));
    return rounds;
}

TEST(WeaponRing, CycleMagazineKeepsOneRoundInTheChamber)
{
    struct Case {
        std::vector<u16_t> before;
        bool usedUp;
        std::vector<u16_t> after;
    };
    const Case cases[] = {
        {{0, 30, 30}, true, {30, 30, 0}},
        {{1, 30, 30}, true, {31, 30, 0}},
        {{12, 30, 30}, false, {31, 30, 11}},
        {{12, 30}, false, {31, 11}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.before));
        Weapon weapon;
        MakeRing(weapon, c.before);
        EXPECT_EQ(weapon.CycleMagazine(), c.usedUp);
        EXPECT_EQ(Ring(weapon), c.after);
    }
    // No spare or no ring: nothing happens.
    Weapon spent;
    MakeRing(spent, {5, 30});
    spent.spareMagazines = 0;
    EXPECT_FALSE(spent.CycleMagazine());
    EXPECT_EQ(Ring(spent), (std::vector<u16_t>{5, 30}));
    Weapon bare;
    bare.spareMagazines = 2;
    EXPECT_FALSE(bare.CycleMagazine());
    EXPECT_EQ(bare.GetMagazineRounds(0), 0);
    bare.SetMagazineRounds(0, 3);
    EXPECT_EQ(bare.RingSize(), 0u);
}

TEST(WeaponRing, ResetAmmoRefillsFromTheDefinition)
{
    Weapon weapon;
    weapon.magazineCap = weapon.magazineCapFull = 30;
    MakeRing(weapon, {3, 0, 7});
    weapon.roundsInGun = 3;
    weapon.spareMagazines = 0;
    weapon.ResetAmmo();
    EXPECT_EQ(weapon.roundsInGun, 30);
    EXPECT_EQ(weapon.spareMagazines, 2);
    EXPECT_EQ(Ring(weapon), (std::vector<u16_t>{30, 30, 30}));
}

TEST(WeaponRecord, SavedBytesOfTwoSpareMagazinesOfThirty)
{
    Weapon weapon;
    weapon.name.Assign("rifle1");
    weapon.magazineCountFull = weapon.spareMagazines = 2;
    weapon.magazineCap = weapon.roundsInGun = 30;
    weapon.FillMagazines();
    ASSERT_EQ(weapon.RingSize(), 3u);
    Actor dropper;
    dropper.name.Assign("sgt");
    weapon.previousOwner = &dropper;
    SavedObjectState state;
    std::memset(state.kindArea, 0xEE, sizeof state.kindArea);
    weapon.SaveState(&state);
    const u8_t* area = state.kindArea;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(area)), "sgt");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(area + 16)), "rifle1");
    EXPECT_EQ(area[32], 2);
    EXPECT_EQ(area[33], 30);
    EXPECT_EQ(area[34], 3);
    EXPECT_EQ(area[35], 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(LoadU16(area + 36 + 2 * i), 30);
    // Nothing is written past the ring.
    EXPECT_EQ(area[42], 0xEE);
    weapon.previousOwner = nullptr;
}

// Saves, loads into a fresh object and saves again: the two kind areas are the same bytes.
TEST(WeaponRecord, WeaponAndProjectileRecordsRoundTripByteForByte)
{
    Weapon weapon;
    weapon.name.Assign("a_rather_long_weapon_name");  // cut to 15 characters
    weapon.magazineCountFull = 4;
    weapon.magazineCap = 25;
    weapon.FillMagazines();
    weapon.SetMagazineRounds(0, 17);
    weapon.SetMagazineRounds(4, 2);
    weapon.roundsInGun = 17;
    weapon.spareMagazines = 3;
    SavedObjectState first;
    weapon.SaveState(&first);
    EXPECT_EQ(first.kindArea[31], 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(first.kindArea + 16)), "a_rather_long_w");
    Weapon loaded;
    loaded.LoadState(&first);
    EXPECT_EQ(loaded.RingSize(), 5u);
    EXPECT_EQ(loaded.magazineCountFull, 4);
    EXPECT_EQ(loaded.roundsInGun, 17);
    EXPECT_EQ(loaded.spareMagazines, 3);
    loaded.name.Assign(weapon.name);
    SavedObjectState second;
    loaded.SaveState(&second);
    EXPECT_EQ(0, std::memcmp(first.kindArea, second.kindArea, sizeof first.kindArea));

    Weapon rifle;
    rifle.name.Assign("a_weapon_name_longer_than_thirty_one");
    Projectile shot;
    shot.weapon = &rifle;
    shot.currentSpeed = 812.5f;
    shot.direction = {0.0f, 0.6f, 0.8f};
    shot.flightClock = 1234;
    shot.SetPosition({1.0f, -2.0f, 3.5f});
    SavedObjectState record;
    shot.SaveState(&record);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.kindArea + 28)), "a_weapon_name_longer_than_thirt");
    EXPECT_EQ(LoadU32(record.kindArea + 60), 1234u);
    Projectile restored;
    restored.weapon = &rifle;
    restored.LoadState(&record);
    EXPECT_EQ(restored.GetPosition().z, 3.5f);
    EXPECT_EQ(restored.currentSpeed, 812.5f);
    SavedObjectState again;
    restored.SaveState(&again);
    EXPECT_EQ(0, std::memcmp(record.kindArea, again.kindArea, PROJECTILE_STATE_SIZE));
}

// A valid weapon record of the given ring.
std::vector<u8_t> WeaponRecord(const std::vector<u16_t>& ring, u8_t spares, u8_t rounds)
{
    std::vector<u8_t> area(SAVED_OBJECT_KIND_AREA_SIZE, 0);
    std::memcpy(area.data() + 16, "gun", 3);
    area[32] = spares;
    area[33] = rounds;
    area[34] = static_cast<u8_t>(ring.size());
    for (size_t i = 0; i < ring.size(); ++i)
        StoreU16(area.data() + 36 + 2 * i, ring[i]);
    return area;
}

TEST(WeaponRecordRobustness, DamagedAndOversizedRecordsAreRefusedOrClipped)
{
    struct Case {
        const char* what;
        std::function<void(std::vector<u8_t>&)> damage;
        u32_t size;
        bool accepted;
        u32_t ringAfter;
    };
    const Case cases[] = {
        {"intact, ring of 3 into a ring of 5", [](std::vector<u8_t>&) {}, SAVED_OBJECT_KIND_AREA_SIZE, true, 3},
        {"an owner name without its zero", [](std::vector<u8_t>& a) { std::memset(a.data(), 'x', 16); },
         SAVED_OBJECT_KIND_AREA_SIZE, false, 5},
        {"an own name without its zero", [](std::vector<u8_t>& a) { std::memset(a.data() + 16, 'y', 16); },
         SAVED_OBJECT_KIND_AREA_SIZE, false, 5},
        {"more entries than the area holds", [](std::vector<u8_t>& a) { a[34] = 149; }, SAVED_OBJECT_KIND_AREA_SIZE,
         false, 5},
        {"148 entries fit exactly", [](std::vector<u8_t>& a) { a[34] = 148; }, SAVED_OBJECT_KIND_AREA_SIZE, true, 148},
        {"no entries leave the ring", [](std::vector<u8_t>& a) { a[34] = 0; }, SAVED_OBJECT_KIND_AREA_SIZE, true, 5},
        {"cut inside the ring", [](std::vector<u8_t>&) {}, 40, false, 5},
        {"cut inside the names", [](std::vector<u8_t>&) {}, 20, false, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<u8_t> area = WeaponRecord({9, 30, 30}, 2, 9);
        c.damage(area);
        Weapon weapon;
        weapon.magazineCountFull = 4;
        weapon.FillMagazines();
        EXPECT_EQ(weapon.ReadState(area.data(), c.size), c.accepted);
        EXPECT_EQ(weapon.RingSize(), c.ringAfter);
        EXPECT_EQ(weapon.magazineCountFull + 1u, c.ringAfter);
        if (c.accepted) {
            EXPECT_EQ(weapon.roundsInGun, 9);
        }
    }
    // A weapon without a ring gets one of the record's size.
    Weapon bare;
    const std::vector<u8_t> area = WeaponRecord({4, 5}, 1, 4);
    EXPECT_TRUE(bare.ReadState(area.data(), static_cast<u32_t>(area.size())));
    EXPECT_EQ(Ring(bare), (std::vector<u16_t>{4, 5}));

    // Counts that do not fit their bytes, and rings that do not fit the area, are not saved.
    struct Oversized {
        const char* what;
        u16_t spares, rounds, countFull;
    };
    const Oversized oversized[] = {
        {"300 spare magazines", 300, 1, 1},
        {"256 rounds", 1, 256, 1},
        {"a ring of 149", 1, 1, 148},
    };
    for (const Oversized& o : oversized) {
        SCOPED_TRACE(o.what);
        Weapon weapon;
        weapon.magazineCountFull = o.countFull;
        weapon.FillMagazines();
        weapon.spareMagazines = o.spares;
        weapon.roundsInGun = o.rounds;
        std::vector<u8_t> out(SAVED_OBJECT_KIND_AREA_SIZE, 0xAB);
        EXPECT_FALSE(weapon.WriteState(out.data(), static_cast<u32_t>(out.size())));
        EXPECT_EQ(out[32], 0xAB);
    }
    Projectile shot;
    u8_t small[PROJECTILE_STATE_SIZE - 1] = {};
    EXPECT_FALSE(shot.WriteState(small, sizeof small));
    EXPECT_FALSE(shot.ReadState(small, sizeof small));
}

// Random damage to valid records: a record is either refused or leaves a ring of the size it gives.
TEST(WeaponRecordRobustness, MutatedRecordsNeverOverrunTheRing)
{
    EngineSRand(36);
    const std::vector<u8_t> valid = WeaponRecord({9, 30, 30, 12}, 3, 9);
    for (int round = 0; round < 2000; ++round) {
        std::vector<u8_t> area = valid;
        const int changes = 1 + EngineRand() % 4;
        for (int i = 0; i < changes; ++i)
            area[static_cast<size_t>(EngineRand()) % 40] = static_cast<u8_t>(EngineRand() & 0xFF);
        const u32_t size = EngineRand() % 8 == 0 ? static_cast<u32_t>(EngineRand()) % SAVED_OBJECT_KIND_AREA_SIZE
                                                 : SAVED_OBJECT_KIND_AREA_SIZE;
        Weapon weapon;
        weapon.magazineCountFull = static_cast<u16_t>(EngineRand() % 6);
        weapon.FillMagazines();
        const u32_t ringBefore = weapon.RingSize();
        const bool accepted = weapon.ReadState(area.data(), size);
        if (accepted && area[34] > 0) {
            EXPECT_EQ(weapon.RingSize(), area[34]);
        }
        if (!accepted) {
            EXPECT_EQ(weapon.RingSize(), ringBefore);
        }
        Projectile shot;
        shot.ReadState(area.data(), size);
    }
}

}  // namespace
