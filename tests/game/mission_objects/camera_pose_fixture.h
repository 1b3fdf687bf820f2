// A working folder with a fresh script cache, and the camera pose records filled with a mark that
// shows which fields a load wrote; the records are cleared again afterwards.
#pragma once
#include <gtest/gtest.h>

#include "core/files/script_file.h"
#include "core/files/vfs.h"
#include "game/mission_objects/camera_pose_settings.h"
#include "support/temp_dir.h"

namespace camera_pose_test {

constexpr float kUntouched = 99.0f;

inline void FillRecords(float value)
{
    for (CameraPoseSettings& record : g_cameraPoseSettings)
        for (int i = 0; i < 2; ++i)
            record.roll[i] = record.floatSway[i] = record.strafe[i] = value;
}

class CameraPoseScript : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        CreateScriptCache();
        FillRecords(kUntouched);
    }
    void TearDown() override
    {
        FillRecords(0.0f);
        DestroyScriptCache();
        VFSShutdown();
        TempDirTest::TearDown();
    }
};

}  // namespace camera_pose_test
