// Script tests run with the class registry, the global object table, the constant pool and an AI log
// of their own in a fresh working folder; all of it is gone after each test.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "ai/soldier/ai_log.h"
#include "ai/script/script_call_args.h"
#include "ai/script/script_lexer.h"
#include "ai/script/script_object.h"
#include "core/files/vfs.h"
#include "support/files.h"
#include "support/temp_dir.h"

class ScriptTest : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        ScriptClassRegistry::Create();
        ScriptTablesCreate();
        SetScriptLine(1);
        ASSERT_TRUE(AILogOpen("log.txt"));
    }
    void TearDown() override
    {
        AILogClose();
        SetScriptNameLookup(nullptr);
        ScriptFunctionTable::Clear();
        ScriptTablesDestroy();
        ScriptClassRegistry::Clear();
        g_scriptResult = {};
        VFSShutdown();
        TempDirTest::TearDown();
    }
    // Everything written to the AI log so far.
    std::string LogText() const { return ReadFileBytes(TempPath() + "/log.txt"); }
};
