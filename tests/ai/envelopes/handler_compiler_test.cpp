// The mission's handler file: the header scan, templates with parents, remaps and members, instances
// compiled for their owners, and the source-file registry that keeps the file's text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ai/msal/msal_methods.h"
#include "handler_fixture.h"

namespace {

constexpr s32_t kOnCollision = 0, kOnHit = 1, kOnInit = 2, kOnInteract = 8;

// An object whose "Enable" and "Hold" count their calls, registered as the class "Owner".
class Owner : public ScriptObject {
public:
    Owner()
    {
        scriptClass = ScriptClassRegistry::RegisterClass("Owner");
        AddMethod(ScriptSlotMethod("Enable"), "Enable", TYP_VOID);
    }
    void Enable(ScriptArgWord*) override { ++enables; }
    void Hold(ScriptArgWord*) override { ++holds; }
    int enables = 0;
    int holds = 0;
};

using Handlers = HandlerTest;

TEST_F(Handlers, EventNamesHaveTheirIndices)
{
    const char* names[] = {"OnCollision", "OnHit",    "OnInit",    "OnDestroy",  "OnTrace",
                           "OnEnter",     "OnLeave",  "OnPickup",  "OnInteract", "OnTimeout",
                           "OnFrame",     "OnEnable", "OnDisable", "OnShow",     "OnHide"};
    for (s32_t i = 0; i < 15; ++i)
        EXPECT_EQ(HandlerEventIndex(names[i]), i) << names[i];
    EXPECT_EQ(HandlerEventIndex("oninit"), -1);
    EXPECT_EQ(HandlerEventIndex("OnFoo"), -1);
    EXPECT_EQ(HandlerEventIndex(nullptr), -1);
}

TEST_F(Handlers, ADeclarationLetsAChildComeBeforeItsParent)
{
    ASSERT_TRUE(CompileMission("B;\nA : B{OnInit{Mark(1);}}\nB{OnHit{Mark(2);}}")) << LogText();
    EXPECT_TRUE(LogHas("Skiping body...\nSkiped\n"));
    EXPECT_TRUE(LogHas("Compiling succesful !!!\n"));
    EventHandlerList* list = HandlerList();
    ASSERT_EQ(list->Count(), 2);
    EXPECT_STREQ(list->At(0)->Name(), "B") << "the declaration put B first, so B compiles first";
    EventHandler* a = EventHandlerFind("A");
    EventHandler* b = EventHandlerFind("B");
    EXPECT_EQ(a->GetParent(), b);
    EXPECT_TRUE(a->IsCompiled() && b->IsCompiled()) << LogText();
    EXPECT_TRUE(LogHas("B OK\n") && LogHas("A OK\n"));
    // A has its own OnInit and B's OnHit, the very event B owns.
    EXPECT_EQ(a->GetEvent(kOnHit), b->GetEvent(kOnHit));
    EXPECT_TRUE(Fire(a, kOnInit));
    EXPECT_TRUE(Fire(a, kOnHit));
    EXPECT_FALSE(Fire(b, kOnInit));
    EXPECT_EQ(marks, (std::vector<s32_t>{1, 2}));
    // Each compiled template counted itself once.
    EXPECT_EQ(a->references, 1u);
    EXPECT_EQ(b->references, 1u);
}

struct ScanCase {
    const char* what;
    const char* text;
    const char* line;  // expected in the AI log
};

TEST_F(Handlers, WrongHeadersFailTheWholeFile)
{
    const ScanCase cases[] = {
        {"a blank between the parent and its body", "B;\nA : B {OnInit{}}", "Expecting '{' but found ' '\n"},
        {"defined twice", "A{}\n\nA{}", "Handler 'A' already defined at 1\n"},
        {"an unknown parent", "A : C{}", "Unknow parent handler 'C'\n"},
        {"its own parent", "A;\nA : A{}", "Self parent not allowed\n"},
        {"no parent name", "A : {}", "Expecting parent handler name but found '{}'\n"},
        {"no name", "{}", "Expecting event name but found '{}'\n"},
        {"a body that never closes", "A{OnInit{ Mark(1); }", "ERROR compiling mission.hnd\n"},
    };
    for (const ScanCase& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(AILogOpen("log.txt"));
        EXPECT_FALSE(CompileMission(c.text));
        EXPECT_TRUE(LogHas(c.line)) << LogText();
        EXPECT_TRUE(LogHas("ERROR compiling mission.hnd\n"));
        EXPECT_FALSE(LogHas("Compiling succesful"));
    }
    ASSERT_TRUE(AILogOpen("log.txt"));
    EXPECT_FALSE(HandlerCompileMission("elsewhere"));
    EXPECT_TRUE(LogHas(" ERROR: Could not open file elsewhere\\mission.hnd\n")) << LogText();
    EXPECT_TRUE(LogHas("ERROR compiling mission.hnd\n"));
}

TEST_F(Handlers, BodiesAreSkippedWholeWhateverTheyHold)
{
    // Braces in comments, a '#' glued to a word (which no comment starts), and a
    // declaration after them: the scan reaches every header.
    ASSERT_TRUE(
        CompileMission("A{ # } in a comment\n OnInit{ } }\n"
                       "C{x#{}}\n"
                       "D;\n"))
        << LogText();
    EXPECT_EQ(HandlerList()->Count(), 3);
    EXPECT_TRUE(EventHandlerFind("C")->HasBody());
    EXPECT_FALSE(EventHandlerFind("D")->HasBody());
    EXPECT_TRUE(LogHas("Compiling handler D\nERROR : D Has no bodystart\n"));
    EXPECT_TRUE(ScriptSourceFiles()->At(0)->IsFinished());

    const char* text = "{ a { b } # }\n c } rest";
    const char* cursor = text;
    ASSERT_TRUE(SkipBalancedBlock(cursor));
    EXPECT_STREQ(cursor, " rest");
    cursor = "x{}";
    EXPECT_FALSE(SkipBalancedBlock(cursor)) << "no '{' at the cursor";
    cursor = "{ { }";
    EXPECT_FALSE(SkipBalancedBlock(cursor)) << "the text ends first";
}

struct BodyCase {
    const char* what;
    const char* text;
    const char* line;
};

TEST_F(Handlers, ABodyErrorLeavesThatHandlerAlone)
{
    const BodyCase cases[] = {
        {"a remap to itself", "A{ OnHit : A; }", "Self parent not allowed\n"},
        {"an unknown event", "A{ OnFoo{} }", "Unknow Event name 'OnFoo'\n"},
        {"an unknown remap handler", "A{ OnHit : Nobody; }", "Unknow parent handler 'Nobody'\n"},
        {"an unknown remapped event", "B{}\nA{ OnHit : B.OnFoo; }", " Parent Handler Event 'B.OnFoo' does not exist\n"},
        {"a blank before ';' without an event name", "B{}\nA{ OnHit : B ; }", "Expecting ';' but found ' '\n"},
        {"neither block nor remap", "A{ OnHit ; }", "Expecting ';' or ':' but found ';'\n"},
        {"a time-out without a number", "A{ timeout = x }", "Expecting integer constant but found 'x'\n"},
        {"a statement error", "A{ OnInit{ Nothing(); } }", "Event def\n"},
        {"a remap to a handler that did not compile", "B{ OnHit{ Nothing(); } }\nA{ OnHit : B; }",
         "ERROR : Parent handler B declared at line 1 not defined!\n"},
    };
    for (const BodyCase& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(AILogOpen("log.txt"));
        ASSERT_TRUE(CompileMission(std::string(c.text) + "\nGood{ OnInit{ Mark(7); } }")) << "only headers fail a file";
        EXPECT_TRUE(LogHas(c.line)) << LogText();
        EXPECT_TRUE(LogHas("ERROR : A ")) << LogText();
        EXPECT_FALSE(EventHandlerFind("A")->IsReferenced());
        EXPECT_TRUE(EventHandlerFind("Good")->IsCompiled()) << "the others go on";
    }
}

TEST_F(Handlers, TimeoutsMembersAndRemaps)
{
    ASSERT_TRUE(
        CompileMission("Base{ timeout = 0x10 OnHit{ Mark(2); } }\n"
                       "Child : Base{ OnInit{ Mark(1); } }\n"
                       "Own : Base{ timeout 5; }\n"
                       "Other{ int count = 4; float rate; OnCollision{ count++; Mark(count); }\n"
                       "  OnHit{ Mark(10); } OnHit{ Mark(11); }\n"
                       "  OnInteract : Base.OnHit ; OnInit : Child; }\n"))
        << LogText();
    EXPECT_EQ(EventHandlerFind("Base")->GetTimeout(), 16);
    EXPECT_EQ(EventHandlerFind("Child")->GetTimeout(), 16) << "taken from the parent";
    EXPECT_EQ(EventHandlerFind("Own")->GetTimeout(), 5);
    EventHandler* other = EventHandlerFind("Other");
    EXPECT_EQ(other->GetTimeout(), -1) << LogText();
    ASSERT_NE(other->GetMembers()->Find("count"), nullptr);
    EXPECT_EQ(other->GetMembers()->Find("rate")->Type(), TYP_FLOAT);
    EXPECT_TRUE(Fire(other, kOnCollision));
    EXPECT_TRUE(Fire(other, kOnCollision));
    EXPECT_TRUE(Fire(other, kOnHit));
    EXPECT_TRUE(Fire(other, kOnInteract));
    EXPECT_TRUE(Fire(other, kOnInit));
    EXPECT_EQ(marks, (std::vector<s32_t>{5, 6, 11, 2, 1})) << "the later OnHit wins; remaps reach the named events";
    EXPECT_EQ(other->GetEvent(kOnInteract), EventHandlerFind("Base")->GetEvent(kOnHit));
}

TEST_F(Handlers, ATemplateCallsThisOnTheEventObject)
{
    ASSERT_TRUE(CompileMission("Door{ OnInteract{ Enable(); sender.Hold(); } }")) << LogText();
    Owner first, second;
    HandlerSetEventObject(&first);
    EXPECT_TRUE(Fire(EventHandlerFind("Door"), kOnInteract, &second));
    HandlerSetEventObject(&second);
    EXPECT_TRUE(Fire(EventHandlerFind("Door"), kOnInteract, &first));
    EXPECT_EQ(first.enables, 1);
    EXPECT_EQ(second.enables, 1);
    EXPECT_EQ(first.holds, 1) << "sender reaches the firing object";
    EXPECT_EQ(second.holds, 1);
}

TEST_F(Handlers, EachOwnerGetsItsOwnInstance)
{
    // Bound before the templates compile, as the envelopes are at mission start.
    WriteFileBytes(TempPath() + "/mission/mission.hnd",
                   "Base{ OnHit{ Mark(100); } }\n"
                   "Crate : Base{ int hits = 0; OnCollision{ hits++; Mark(hits); Enable(); } OnInit : Base.OnHit; }\n");
    ASSERT_TRUE(LoadHandlerFile("mission.hnd", "mission\\"));
    Owner first, second;
    EventHandler* one = HandlerBindInstance("Crate", &first);
    EventHandler* two = HandlerBindInstance("Crate", &second);
    ASSERT_NE(one, nullptr);
    ASSERT_NE(two, nullptr);
    EventHandler* crate = EventHandlerFind("Crate");
    EXPECT_EQ(one->GetTemplate(), crate);
    EXPECT_TRUE(EventHandlerFind("Base")->IsCompiled()) << "the parent compiled as a template when first needed";
    EXPECT_EQ(one->GetParent(), nullptr) << "an instance inherits through its template";
    EXPECT_EQ(one->GetEvent(kOnHit), EventHandlerFind("Base")->GetEvent(kOnHit));
    EXPECT_EQ(crate->references, 2u);
    EXPECT_FALSE(crate->IsCompiled()) << "the template's own body is never compiled";
    EXPECT_NE(one->GetMembers()->Find("hits"), two->GetMembers()->Find("hits"));
    Fire(one, kOnCollision);
    Fire(one, kOnCollision);
    Fire(two, kOnCollision);
    Fire(two, kOnInit);
    EXPECT_EQ(marks, (std::vector<s32_t>{1, 2, 1, 100}));
    EXPECT_EQ(first.enables, 2);
    EXPECT_EQ(second.enables, 1);
    EXPECT_EQ(HandlerBindInstance("crate", &first), nullptr) << "names compare exactly";
    // Unbinding deletes an instance and leaves a template with the list.
    EventHandlerUnbind(one);
    EXPECT_EQ(crate->references, 1u);
    EventHandlerUnbind(crate);
    EXPECT_EQ(crate->references, 0u);
    EXPECT_EQ(EventHandlerFind("Crate"), crate);
    EventHandlerUnbind(two);
    EXPECT_EQ(crate->references, 0u) << "never below zero";
}

TEST_F(Handlers, LeavingFreesBothLists)
{
    ASSERT_TRUE(CompileMission("A{}"));
    ASSERT_NE(HandlerList(), nullptr);
    ASSERT_NE(ScriptSourceFiles(), nullptr);
    ScriptDestroyRegistries();
    EXPECT_EQ(HandlerList(), nullptr);
    EXPECT_EQ(ScriptSourceFiles(), nullptr);
    // A second mission compiles its own file afresh.
    EXPECT_TRUE(CompileMission("A{}"));
    EXPECT_TRUE(CompileMission("A{}")) << "the file of the last compile is not 'already included'";
}

TEST_F(Handlers, TheListRefusesItsFiveHundredAndFirstTemplate)
{
    std::string text;
    for (int i = 0; i < 501; ++i)
        text += "H" + std::to_string(i) + "{}\n";
    ASSERT_TRUE(CompileMission(text));
    EXPECT_EQ(HandlerList()->Count(), 500);
    EXPECT_EQ(EventHandlerFind("H500"), nullptr);
    EXPECT_NE(EventHandlerFind("H499"), nullptr);
}

using SourceFiles = HandlerTest;

TEST_F(SourceFiles, AFileIsOpenedOnceWhileItsReaderRuns)
{
    WriteFileBytes(TempPath() + "/mission/a.txt", "first");
    SourceFileList list(1);
    SourceFile* file = list.Open("a.txt", "mission\\", 0, -1, false);
    ASSERT_NE(file, nullptr);
    EXPECT_STREQ(file->Path(), "mission\\a.txt");
    EXPECT_STREQ(file->GetText(), "first");
    EXPECT_EQ(file->size, 5);
    EXPECT_EQ(list.Open("a.txt", "mission\\", 0, -1, true), nullptr);
    EXPECT_TRUE(LogHas("ERROR: file 'a.txt' not finished yet\n"));
    file->MarkFinished();
    EXPECT_EQ(list.Open("a.txt", "mission\\", 0, -1, false), nullptr);
    EXPECT_TRUE(LogHas("ERROR: file 'a.txt' already included\n"));
    EXPECT_EQ(list.Open("a.txt", nullptr, 0, -1, true), file);
    EXPECT_EQ(list.Open("A.txt", "mission\\", 0, -1, true), nullptr) << "a name of its own: the list is full";

    // Loading again only rewinds; a reload reads the file anew.
    WriteFileBytes(TempPath() + "/mission/a.txt", "second");
    file->cursor = file->text + 3;
    ASSERT_TRUE(file->Load(false));
    EXPECT_EQ(file->cursor, file->text);
    EXPECT_FALSE(file->IsFinished());
    EXPECT_STREQ(file->GetText(), "first");
    ASSERT_TRUE(file->Load(true));
    EXPECT_STREQ(file->GetText(), "second");
}

TEST_F(SourceFiles, AMissingFileGivesARecordWithoutText)
{
    SourceFileList list(1);
    SourceFile* file = list.Open("none.txt", "mission\\", 0, -1, false);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->GetText(), nullptr);
    EXPECT_EQ(file->size, -1);
    EXPECT_TRUE(LogHas(" ERROR: Could not open file mission\\none.txt\n")) << LogText();
    EXPECT_EQ(list.Open("none.txt", "mission\\", 0, -1, true), nullptr) << "never finished";
    EXPECT_EQ(list.Count(), 1);
    // The full list makes no record it could not keep (the mission's end frees what the list holds).
    EXPECT_EQ(list.Open("other.txt", nullptr, 0, -1, false), nullptr);
    EXPECT_EQ(list.Count(), 1);
    SourceFile unnamed("", nullptr, 0, 0);
    EXPECT_FALSE(unnamed.Load(false));
    EXPECT_TRUE(LogHas("ERROR: undefined filename\n"));
}

}  // namespace
