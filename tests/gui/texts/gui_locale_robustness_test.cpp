// Damaged locale texts through the escape decoder and the quoted-text builder: named damages and a
// fixed-seed mutation loop over texts like the sample's. Run under ASan: no crash, no read or write
// past a text; results stay within their bounds.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/files/def_file.h"
#include "core/random.h"
#include "gui/texts/gui_locale.h"
#include "support/temp_dir.h"
#include "support/text_mutation.h"

namespace {

const std::vector<std::string>& Originals()
{
    static const std::vector<std::string> texts = {
        "_gm_accomplished\" - \"messages._gm_mission/x33 ",
        "Mission failed/x46 //done/",
        "\"quoted\"_gm_key\"\"\"/x1234/x\"",
        "/x65 /x66 /x67 //x//",
    };
    return texts;
}

void Check(const std::string& text)
{
    // Through a heap block of exactly its length, so that a read past the end shows under ASan.
    std::vector<char> exact(text.begin(), text.end());
    exact.push_back('\0');
    char* decoded = GuiDecodeEscapes(exact.data());
    ASSERT_NE(decoded, nullptr);
    EXPECT_LE(std::strlen(decoded), std::strlen(exact.data()));
    delete[] decoded;
    char* built = GuiLocalizeQuoted(exact.data());
    ASSERT_NE(built, nullptr);
    EXPECT_LT(std::strlen(built), static_cast<std::size_t>(GUI_QUOTED_TEXT_SIZE));
    delete[] built;
}

class GuiLocaleRobustness : public TempDirTest {
protected:
    void TearDown() override
    {
        DefFileFreeAll();
        TempDirTest::TearDown();
    }
};

TEST_F(GuiLocaleRobustness, NamedDamages)
{
    for (const std::string& original : Originals()) {
        for (const test_support::TextDamage& damage : test_support::CommonTextDamages()) {
            SCOPED_TRACE(damage.what);
            Check(damage.make(original));
        }
        Check(original + "/");
        Check(original + "/x");
        Check(std::string(5000, '"') + original);
    }
}

TEST_F(GuiLocaleRobustness, FixedSeedMutations)
{
    EngineSRand(59);
    for (int round = 0; round < 400; ++round) {
        const std::string& original = Originals()[static_cast<std::size_t>(round) % Originals().size()];
        Check(test_support::MutateText(original));
    }
    EngineSRand(1);
}

}  // namespace
