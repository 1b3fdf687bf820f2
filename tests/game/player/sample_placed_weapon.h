// The rifle the sample mission places, as its "mission.def" writes it: the weapon's definition, its
// place and turn (the "pos" values in tenths of a unit, "rot" in radians), and the line of its model
// line. That model line hangs the rifle from a soldier's hand node, which a weapon lacks: so the
// weapon records its placement for the mission start, which lays a rifle anyone can take there.
#pragma once
#include <sstream>
#include <string>

#include "core/types.h"
#include "support/files.h"

struct SamplePlacedWeapon {
    std::string name;
    Vector3 position = {};
    Vector3 rotation = {};
    int modelLine = 0;  // counted from 1

    // False unless the sample places exactly one weapon, with its place, turn and model line.
    bool Read()
    {
        std::istringstream lines(ReadFileBytes(ZINTAR_TEST_DATA_DIR "/../../data/sample/mission/map_01/mission.def"));
        std::string line;
        int number = 0, weapons = 0;
        bool inWeapon = false, placed = false, turned = false;
        while (std::getline(lines, line)) {
            ++number;
            std::istringstream words(line);
            std::string key, value;
            words >> key;
            if (key == "create") {
                std::string kind;
                words >> kind >> value;
                inWeapon = kind == "weapon";
                if (inWeapon) {
                    ++weapons;
                    name = value;
                }
            } else if (inWeapon && key == "pos") {
                words >> value >> position.x >> position.y >> position.z;
                position = {position.x * 10.0f, position.y * 10.0f, position.z * 10.0f};
                placed = value == "root" && !words.fail();
            } else if (inWeapon && key == "rot") {
                words >> value >> rotation.x >> rotation.y >> rotation.z;
                turned = value == "root" && !words.fail();
            } else if (inWeapon && key == "anim") {
                modelLine = number;
            }
        }
        return weapons == 1 && placed && turned && modelLine > 0;
    }
};
