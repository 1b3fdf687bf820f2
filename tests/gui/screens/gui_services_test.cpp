// The GUI's services: the image search of GUI textures and their registry, locale texts and their
// escapes, quoted mixed texts, named conditions, named events and exit actions.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/console/console_var.h"
#include "core/files/def_file.h"
#include "gui/controls/gui_controls.h"
#include "gui/screens/gui_live_values.h"
#include "gui/texts/gui_locale.h"
#include "gui/screens/gui_textures.h"
#include "render/device/device_hooks.h"
#include "render/textures/texture_manager.h"
#include "tests/gui/screens/gui_draw_support.h"

namespace {

constexpr DWORD kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kYellow = 0xFFFFFF00u;
constexpr DWORD kWhite = 0xFFFFFFFFu, kCyan = 0xFF00FFFFu;

std::string Take(char* text)
{
    std::string copy = text ? text : "(null)";
    delete[] text;
    return copy;
}

void WriteTgaAt(const std::string& path, DWORD colour)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_TRUE(texture_test::WriteTga(path, 2, 2, colour)) << path;
}

class GuiTextures : public gui_test::GuiDraw {
protected:
    DWORD ColourOf(IDirect3DTexture8* texture) const
    {
        const render_test::Pixels pixels = texture_test::ReadTexture(Device(), texture);
        return pixels.words.empty() ? 0 : pixels.At(0, 0);
    }
};

// Each image name has files of its own in distinct colours, so that the colour of the texture shows
// which step of the search found it.
TEST_F(GuiTextures, SearchOrderRegisteredNameCommonFolderExtensionsDiskArchiveThenNameAsGiven)
{
    MountArchive({{"component\\_common\\archived.tga", texture_test::TgaBytes(2, 2, kYellow)},
                  {"pics\\fromarchive.tga", texture_test::TgaBytes(2, 2, kCyan)},
                  {"component\\_common\\ondisk.tga", texture_test::TgaBytes(2, 2, kWhite)}});
    WriteTgaAt("component/_common/ondisk.tga", kGreen);  // disk before the archives
    ASSERT_TRUE(texture_test::WriteDds(Device(), "component/_common/ddsfirst.dds", 2, 2, 1, kBlue));
    WriteTgaAt("component/_common/ddsfirst.tga", kRed);  // ".dds" before ".tga"
    WriteTgaAt("pics/archived.tga", kRed);               // the common folder, even in an archive, first
    WriteTgaAt("pics/asgiven.tga", kRed);

    IDirect3DTexture8* registered = texture_test::SolidTexture(Device(), 2, 2, 1, kWhite);
    ASSERT_TRUE(GuiTextureRegister(registered, "pics\\registered"));
    IDirect3DTexture8* common = texture_test::SolidTexture(Device(), 2, 2, 1, kBlue);
    ASSERT_TRUE(GuiTextureRegister(common, "component\\_common\\commonreg"));

    const struct {
        const char* name;
        DWORD colour;  // 0: no texture
    } cases[] = {
        {"pics\\registered", kWhite}, {"pics\\commonreg", kBlue},  {"pics\\ondisk", kGreen},
        {"pics\\ddsfirst", kBlue},    {"pics\\archived", kYellow}, {"pics\\asgiven", kRed},
        {"pics\\fromarchive", kCyan}, {"pics\\nowhere", 0},
    };
    for (const auto& c : cases) {
        IDirect3DTexture8* texture = GuiTextureGet(c.name);
        if (!c.colour) {
            EXPECT_EQ(texture, nullptr) << c.name;
            continue;
        }
        ASSERT_NE(texture, nullptr) << c.name;
        EXPECT_EQ(ColourOf(texture), c.colour) << c.name;
        EXPECT_EQ(GuiTextureGet(c.name), texture) << c.name << ": found again, not loaded again";
    }
    // Loaded textures are registered under the name they were loaded by.
    EXPECT_NE(GuiTextureFind("component\\_common\\ondisk"), nullptr);
    EXPECT_NE(GuiTextureFind("pics\\asgiven"), nullptr);
    EXPECT_EQ(GuiTextureFind("PICS\\ASGIVEN"), nullptr);  // case matters
}

TEST_F(GuiTextures, RegistryHoldsATextureOnceAndReleasesOneItCannotHold)
{
    IDirect3DTexture8* first = texture_test::SolidTexture(Device(), 1, 1, 1, kRed);
    ASSERT_TRUE(GuiTextureRegister(first, "first"));
    EXPECT_TRUE(GuiTextureRegister(first, "first again"));
    EXPECT_EQ(GuiTextureCount(), 1u);
    EXPECT_EQ(GuiTextureFind("first again"), nullptr);

    for (u32_t i = 1; i < GUI_TEXTURE_SLOTS; ++i)
        ASSERT_TRUE(GuiTextureRegister(texture_test::SolidTexture(Device(), 1, 1, 1, kRed), "filler"));
    EXPECT_EQ(GuiTextureCount(), GUI_TEXTURE_SLOTS);

    IDirect3DTexture8* extra = texture_test::SolidTexture(Device(), 1, 1, 1, kRed);
    extra->AddRef();  // the test's own reference, to see the registry let go of the caller's
    const size_t logStart = texture_test::LogSize();
    EXPECT_FALSE(GuiTextureRegister(extra, "the 513th"));
    EXPECT_EQ(extra->Release(), 0u);
    const std::string log = texture_test::LogFrom(logStart);
    EXPECT_NE(log.find("the 513th"), std::string::npos) << log;
    EXPECT_EQ(log.find('\n'), log.size() - 1) << "one line: " << log;

    // A load that finds its file but no entry gives the caller nothing.
    WriteTgaAt("component/_common/late.tga", kGreen);
    EXPECT_EQ(GuiTextureGet("late"), nullptr);

    GuiTexturesFree();
    EXPECT_EQ(GuiTextureCount(), 0u);
}

TEST_F(GuiTextures, RecreatingLoadsEveryTextureAgainByItsName)
{
    WriteTgaAt("component/_common/again.tga", kGreen);
    IDirect3DTexture8* before = GuiTextureGet("again");
    ASSERT_NE(before, nullptr);
    GuiRecreateTextures();
    IDirect3DTexture8* after = GuiTextureFind("component\\_common\\again");
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(ColourOf(after), kGreen);
    EXPECT_EQ(GuiTextureCount(), 1u);
}

// A display-mode change reloads the registry through its device hook, into the handles that controls
// already hold; a file that is gone by then leaves its texture as it was. Freed, the registry leaves
// no hook behind.
TEST_F(GuiTextures, ADisplayModeChangeReloadsIntoTheHandlesHeld)
{
    WriteTgaAt("component/_common/held.tga", kGreen);
    WriteTgaAt("component/_common/gone.tga", kBlue);
    IDirect3DTexture8* held = GuiTextureGet("held");
    IDirect3DTexture8* gone = GuiTextureGet("gone");
    ASSERT_NE(held, nullptr);
    ASSERT_NE(gone, nullptr);
    EXPECT_TRUE(RenderDeviceHooksRegistered(RENDER_HOOK_GUI_TEXTURES));
    WriteTgaAt("component/_common/held.tga", kRed);
    std::filesystem::remove("component/_common/gone.tga");

    TexturesRecreate();
    EXPECT_EQ(GuiTextureFind("component\\_common\\held"), held);
    EXPECT_EQ(ColourOf(held), kRed);
    EXPECT_EQ(GuiTextureFind("component\\_common\\gone"), gone);
    EXPECT_EQ(ColourOf(gone), kBlue);
    EXPECT_EQ(GuiTextureCount(), 2u);

    GuiTexturesFree();
    EXPECT_FALSE(RenderDeviceHooksRegistered(RENDER_HOOK_GUI_TEXTURES));
}

// Locale texts in a fresh working folder.
class GuiLocale : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        // Definition files cached by an earlier test (a sample's own "gui" texts) would answer first.
        DefFileFreeAll();
        m_language = CVarListFind("language");
        ASSERT_NE(m_language, nullptr);
        m_keptLanguage = m_language->String();
        Write("locale/_common/messages.asc", "_gm_hello \"Hello common\"\n");
        Write("locale/eng/messages.asc", "_gm_hello \"Hello eng\"\n_gm_only_eng \"eng only\"\n");
        Write("locale/eng/briefs.asc", "_gm_brief \"Brief eng\"\n");
        Write("locale/english/briefs.asc", "_gm_brief \"Brief english\"\n");
        Write("locale/_common/gui.asc",
              "_gm_ok \"OK/x33 \"\n_gm_first \"First\"\n_gm_second \"Second\"\n_gm_dot \"a.b\"\n");
    }
    void TearDown() override
    {
        m_language->SetString(m_keptLanguage.c_str());
        DefFileFreeAll();
        VFSShutdown();
        TempDirTest::TearDown();
    }
    void Write(const std::string& path, const std::string& text) const
    {
        std::filesystem::create_directories(std::filesystem::path(TempPath() + "/" + path).parent_path());
        ASSERT_TRUE(WriteFileBytes(TempPath() + "/" + path, text));
    }

    ConsoleVar* m_language = nullptr;
    std::string m_keptLanguage;
};

TEST_F(GuiLocale, CommonFolderFirstLanguageFolderOnlyWhenTheCommonFileIsMissing)
{
    const struct {
        const char* language;
        const char* key;
        const char* text;
    } cases[] = {
        {"eng", "messages._gm_hello", "Hello common"},
        {"eng", "messages._gm_only_eng", "messages._gm_only_eng"},  // the common file exists
        {"eng", "briefs._gm_brief", "Brief eng"},
        {"english", "briefs._gm_brief", "Brief english"},
        {"fra", "briefs._gm_brief", "briefs._gm_brief"},
        {"eng", "_gm_ok", "OK! "},  // no dot: "gui.asc", escapes decoded
        {"eng", "_gm_missing", "_gm_missing"},
        {"eng", "nofile._gm_ok", "nofile._gm_ok"},
        {"eng", "", ""},
    };
    for (const auto& c : cases) {
        m_language->SetString(c.language);
        EXPECT_EQ(Take(GuiFindLocaleText(c.key)), c.text) << c.language << " " << c.key;
    }
    EngineString key("messages._gm_hello");
    GuiLocalize(&key);
    EXPECT_STREQ(key.Text(), "Hello common");
    EngineString out;
    GuiLocalize(EngineString("_gm_first"), &out);
    EXPECT_STREQ(out.Text(), "First");
    EXPECT_TRUE(GuiIsLocaleKey("messages._gm_hello"));
    EXPECT_FALSE(GuiIsLocaleKey("_gm_hello"));
    EXPECT_FALSE(GuiIsLocaleKey(nullptr));
}

TEST(GuiEscapes, SlashXDigitsAndSlashBeforeAnythingElse)
{
    const struct {
        const char* text;
        const char* decoded;
    } cases[] = {
        {"/x65 ", "A "},       {"//", "/"},        {"a/bc", "abc"}, {"ends in/", "ends in"}, {"/", ""},
        {"/x65", "A"},         {"/x1234", "{4"},   {"/x33!", "!"},  {"/x 5", " 5"},          {"/x", ""},
        {"/x0 zero", " zero"}, {"plain", "plain"}, {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Take(GuiDecodeEscapes(c.text)), c.decoded) << c.text;
}

TEST_F(GuiLocale, QuotedPartsStandAndTheRestAreKeys)
{
    const std::string longPart(3000, 'q');
    const std::string tooMuch = "\"" + longPart + "\"\"" + std::string(1200, 'r') + "\"";
    const struct {
        std::string text;
        std::string built;
    } cases[] = {
        {"_gm_first\" - \"_gm_second", "First - Second"},
        {"\"as it stands\"", "as it stands"},
        {"_gm_first\"\"", "First"},
        {"_gm_unknown", "_gm_unknown"},
        {"\"open", "open"},
        {"", ""},
        {tooMuch, longPart},  // the second part would reach 4096: the build ends before it
        {"\"" + std::string(4095, 's') + "\"", std::string(4095, 's')},
        {"\"" + std::string(4096, 's') + "\"", ""},
    };
    for (const auto& c : cases) {
        const std::string kept = c.text;
        EXPECT_EQ(Take(GuiLocalizeQuoted(c.text.c_str())), c.built) << c.text.substr(0, 40);
        EXPECT_EQ(c.text, kept);
    }
}

// A console variable the test registers when the program has none of that name.
class TestVar {
public:
    TestVar(const char* name, ConsoleVarType type, const char* value)
    {
        m_var = CVarListFind(name);
        if (!m_var) {
            m_own = std::make_unique<ConsoleVar>(name, type, value);
            m_var = m_own.get();
        }
        m_kept = m_var->value;
        m_keptText = m_var->String();
        m_var->SetFromText(value);
    }
    ~TestVar()
    {
        m_var->value = m_kept;
        m_var->SetString(m_keptText.c_str());
    }
    ConsoleVar* operator->() const { return m_var; }

private:
    ConsoleVar* m_var = nullptr;
    std::unique_ptr<ConsoleVar> m_own;
    ConsoleVar::Value m_kept = {};
    std::string m_keptText;
};

TEST(GuiConditions, NamedConditionsAndTheirDefaults)
{
    TestVar objectives("gi_objectivecnt", CVAR_INT, "1");
    TestVar account("as_accname", CVAR_STRING, "");
    TestVar server("gs_joinservername", CVAR_STRING, "");
    TestVar maxSaves("gi_maxsaves", CVAR_INT, "3");
    const struct {
        const char* name;
        bool value;
    } cases[] = {
        {"objective0_present", true},
        {"OBJECTIVE0_PRESENT", true},
        {"objective1_present", false},
        {"objective5_present", false},
        {"sg0_present", false},
        {"sg1_present", false},  // no account, no player
        {"saves", false},
        {"logged_on", false},
        {"server_selected", false},
        {"no_such_condition", true},
        {"", true},
        {"objective6_present", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GuiEvalCondition(c.name), c.value) << c.name;

    account->SetString("player");
    server->SetString("host");
    EXPECT_TRUE(GuiEvalCondition("Logged_On"));
    EXPECT_TRUE(GuiEvalCondition("server_selected"));
}

TEST(GuiLiveValues, VariablesFirstAndEmptyPlayerValuesWithoutAPlayer)
{
    ConsoleVar number("gui_test_number", CVAR_INT, "42");
    ConsoleVar text("gui_test_text", CVAR_STRING, "hello there");
    char out[8];
    const struct {
        const char* name;
        const char* shown;
    } cases[] = {
        {"$gui_test_number", "42"},   {"$gui_test_text", "hello t"},  // cut to the caller's room
        {"$CURRENTWEAPON", ""},       {"$CURRENTAMMO", ""},          {"$CURRENTHEALTH", ""},
        {"$ACTIVATEBULLETCOUNT", ""}, {"$GUI_TEST_NUMBER", "kept"},  {"$currentweapon", "kept"},
    };
    for (const auto& c : cases) {
        std::snprintf(out, sizeof out, "kept");
        GuiGetLiveValue(c.name, out, sizeof out);
        EXPECT_STREQ(out, c.shown) << c.name;
    }
    EXPECT_TRUE(GuiIsLiveValue("$x"));
    EXPECT_FALSE(GuiIsLiveValue("x$"));
    EXPECT_FALSE(GuiIsLiveValue(nullptr));
}

TEST(GuiEvents, EventNamesReachTheirOperationsAndExitNamesAreCaseExact)
{
    struct Counting : GuiControl {
        std::vector<std::string> calls;
        void OnIncrement() override { calls.push_back("inc"); }
        void OnDecrement() override { calls.push_back("dec"); }
        void OnDeInit() override { calls.push_back("deinit"); }
        void RefreshData() override { calls.push_back("refresh"); }
        void DeleteSelection() override { calls.push_back("delete"); }
    } control;
    for (const char* event : {"OnIncrement", "ondecrement", "ONDEINIT", "RefreshData", "deleteselection", "OnClick"})
        GuiSendEvent(&control, event);
    GuiSendEvent(nullptr, "OnIncrement");
    GuiSendEvent(&control, nullptr);
    EXPECT_EQ(control.calls, (std::vector<std::string>{"inc", "dec", "deinit", "refresh", "delete"}));

    const struct {
        const char* name;
        s32_t code;
    } cases[] = {
        {"STARTGAME", 1},           {"EXITGAME", 2}, {"PREVIOUS", 3}, {"EXITTOGUI", 4},  {"EXITTOCAMPAIGN", 5},
        {"EXITTOQUICKMISSIONS", 6}, {"previous", 0}, {"Exitgame", 0}, {"STARTGAME ", 0}, {"", 0},
    };
    for (const auto& c : cases) {
        g_gui.exitAction = 0;
        GuiSetExitAction(c.name);
        EXPECT_EQ(g_gui.exitAction, c.code) << c.name;
    }
    g_gui.exitAction = 0;
}

}  // namespace
