// The built-in value types ("int", "color", "str") and tag kinds ("tab", "font", "br", "inc", "var")
// of markup texts.
#include <string>

#include "core/console/console_var.h"
#include "gui/texts/def_script.h"
#include "gui/texts/def_script_codes.h"
#include "gui/texts/def_script_reader.h"

namespace {

constexpr u32_t kWhite = 0xFFFFFFFFu;

class IntType : public DefValueType {
public:
    IntType() : DefValueType("int") {}
    DefValue* Read(DefReader& reader) const override
    {
        s32_t value = 0;
        return DefReadInteger(reader, &value) ? new DefValue(this, value) : nullptr;
    }
};

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Hexadecimal digits without prefix; more than eight keep the last eight.
class ColourType : public DefValueType {
public:
    ColourType() : DefValueType("color") {}
    DefValue* Read(DefReader& reader) const override
    {
        if (HexDigit(reader.Peek()) < 0)
            return nullptr;
        u32_t value = 0;
        for (int digit = HexDigit(reader.Peek()); digit >= 0; digit = HexDigit(reader.Peek())) {
            value = (value << 4) | static_cast<u32_t>(digit);
            ++reader.position;
        }
        return new DefValue(this, static_cast<s32_t>(value));
    }
};

class StringType : public DefValueType {
public:
    StringType() : DefValueType("str") {}
    DefValue* Read(DefReader& reader) const override
    {
        if (reader.Peek() != '"')
            return nullptr;
        ++reader.position;
        std::string text;
        while (!reader.AtEnd() && reader.Peek() != '"')
            text.push_back(reader.text[reader.position++]);
        if (reader.AtEnd())
            return nullptr;
        ++reader.position;
        return new DefValue(this, std::move(text));
    }
};

class BreakTag : public DefTagKind {
public:
    BreakTag() : DefTagKind("br", false) {}
    void Open(DefTag& tag) const override { DefAppendBreakCode(&tag.node->text); }
};

class TabTag : public DefTagKind {
public:
    TabTag() : DefTagKind("tab", false) { Declare("offset", "int", false, "4"); }
    void Open(DefTag& tag) const override
    {
        const DefValue* offset = tag.Value(0);
        const s32_t blanks = offset ? offset->Number() : 0;
        // A page of blanks at most: an offset is an indentation.
        if (blanks > 0)
            tag.node->text.append(static_cast<std::size_t>(blanks < 256 ? blanks : 256), ' ');
    }
};

class VarTag : public DefTagKind {
public:
    VarTag() : DefTagKind("var", false) { Declare("name", "str", true, nullptr); }
    void Open(DefTag& tag) const override
    {
        const DefValue* name = tag.Value(0);
        const ConsoleVar* variable = name ? CVarListFind(name->Text()) : nullptr;
        if (!variable)
            return;
        DefAppendVariableCode(&tag.node->text, variable);
        tag.dynamic = true;
    }
};

// "file.key": the key of "locale\" + language + "\" + file + ".asc"; a file part "$name" takes the
// file name from that variable and makes the text follow it.
class IncludeTag : public DefTagKind {
public:
    IncludeTag() : DefTagKind("inc", false) { Declare("source", "str", true, nullptr); }
    void Open(DefTag& tag) const override
    {
        const DefValue* source = tag.Value(0);
        if (!source)
            return;
        const std::string text = source->Text();
        const std::size_t dot = text.find('.');
        if (dot == std::string::npos)
            return;
        std::string file = text.substr(0, dot);
        const std::string key = text.substr(dot + 1);
        if (!file.empty() && file[0] == '$') {
            tag.dynamic = true;
            const ConsoleVar* variable = CVarListFind(file.c_str() + 1);
            if (!variable)
                return;
            file = variable->String();
        }
        const ConsoleVar* language = CVarListFind("language");
        const std::string path = std::string("locale\\") + (language ? language->String() : "") + "\\" + file + ".asc";
        u32_t length = 0;
        if (const char* included = DefScriptGetText(path.c_str(), key.c_str(), &length))
            tag.node->text.append(included, length);
    }
};

class FontTag : public DefTagKind {
public:
    FontTag() : DefTagKind("font", true) { Declare("color", "color", true, nullptr); }
    void Open(DefTag& tag) const override
    {
        const DefValue* colour = tag.Value(0);
        DefAppendColourCode(&tag.node->text, colour ? static_cast<u32_t>(colour->Number()) : kWhite);
    }
    // Back to the colour of the enclosing open "font" tag (the closed one is already off the stack).
    void Close(DefTag& tag) const override
    {
        u32_t colour = kWhite;
        const auto& open = tag.node->openTags;
        for (auto it = open.rbegin(); it != open.rend(); ++it) {
            if ((*it)->kind == this) {
                const DefValue* value = (*it)->Value(0);
                colour = value ? static_cast<u32_t>(value->Number()) : kWhite;
                break;
            }
        }
        DefAppendColourCode(&tag.node->text, colour);
    }
};

}  // namespace

void DefRegisterBuiltIns()
{
    DefRegisterValueType(new IntType());
    DefRegisterValueType(new ColourType());
    DefRegisterValueType(new StringType());
    DefRegisterTagKind(new TabTag());
    DefRegisterTagKind(new FontTag());
    DefRegisterTagKind(new BreakTag());
    DefRegisterTagKind(new IncludeTag());
    DefRegisterTagKind(new VarTag());
}
