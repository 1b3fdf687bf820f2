// The registries, the reading of markup files into sections and the cache of read files.
#include "gui/texts/def_script.h"

#include <cstring>

#include "core/strings/text_case.h"
#include "core/files/vfs.h"
#include "gui/texts/def_script_reader.h"

namespace {

struct Registries {
    std::vector<std::unique_ptr<DefValueType>> types;
    std::vector<std::unique_ptr<DefTagKind>> kinds;
    std::vector<std::unique_ptr<DefScript>> cache;
    // The last script read while the cache was full: its text stays valid until the next such read.
    std::unique_ptr<DefScript> uncached;
};

std::unique_ptr<Registries> g_registries;
// The files being read, outermost first: an include of one of them adds nothing.
std::vector<std::string> g_reading;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Text up to the next "<": control characters dropped, runs of blanks kept as one, trailing blanks
// removed while more than one character remains.
void ReadContent(DefReader& reader, DefNode* node)
{
    std::string piece;
    const u32_t start = reader.position;
    while (!reader.AtEnd() && reader.Peek() != '<') {
        const char c = reader.Peek();
        const bool afterBlank = reader.position > start && reader.text[reader.position - 1] == ' ';
        ++reader.position;
        if (static_cast<unsigned char>(c) < 32)
            continue;
        if (c == ' ' && afterBlank)
            continue;
        piece.push_back(c);
    }
    while (piece.size() > 1 && piece.back() == ' ')
        piece.pop_back();
    node->text += piece;
}

bool ReadAttributes(DefReader& reader, const DefTagKind& kind, DefTag& tag)
{
    const std::vector<DefAttribute>& attributes = kind.Attributes();
    tag.values.resize(attributes.size());
    for (;;) {
        reader.SkipBlanksAndComments();
        if (reader.AtEnd())
            return false;
        if (reader.Peek() == '>') {
            ++reader.position;
            break;
        }
        const std::string name = reader.ReadIdentifier();
        if (name.empty())
            return false;
        u32_t index = 0;
        while (index < attributes.size() && CompareNoCase(attributes[index].name.c_str(), name.c_str()) != 0)
            ++index;
        if (index == attributes.size() || !attributes[index].type)
            return false;
        reader.SkipBlanksAndComments();
        if (reader.Peek() != '=')
            return false;
        ++reader.position;
        reader.SkipBlanksAndComments();
        std::unique_ptr<DefValue> value(attributes[index].type->Read(reader));
        if (!value)
            return false;
        if (!tag.values[index])
            tag.values[index] = std::move(value);
    }
    for (u32_t i = 0; i < attributes.size(); ++i) {
        if (tag.values[i])
            continue;
        if (attributes[i].required || !attributes[i].defaultValue)
            return false;
        const DefValue& fallback = *attributes[i].defaultValue;
        if (std::strcmp(fallback.Type()->Name(), "str") == 0)
            tag.values[i] = std::make_unique<DefValue>(fallback.Type(), std::string(fallback.Text()));
        else
            tag.values[i] = std::make_unique<DefValue>(fallback.Type(), fallback.Number());
    }
    return true;
}

// Container tags past the 100 open ones are not opened; their closing tags are passed over.
struct ParseState {
    DefNode* node = nullptr;
    u32_t ignoredOpen = 0;
};

bool ReadClosingTag(DefReader& reader, ParseState& state)
{
    reader.SkipBlanksAndComments();
    const std::string name = reader.ReadName();
    reader.SkipBlanksAndComments();
    if (reader.Peek() != '>')
        return false;
    ++reader.position;
    DefNode* node = state.node;
    if (state.ignoredOpen > 0) {
        const DefTagKind* kind = DefFindTagKind(name.c_str());
        if (kind && kind->IsContainer()) {
            --state.ignoredOpen;
            return true;
        }
    }
    if (!node->openTags.empty()) {
        std::unique_ptr<DefTag> tag = std::move(node->openTags.back());
        node->openTags.pop_back();
        if (CompareNoCase(tag->kind->Name(), name.c_str()) != 0)
            return false;
        tag->kind->Close(*tag);
        return true;
    }
    if (!node->parent || CompareNoCase(node->name.c_str(), name.c_str()) != 0)
        return false;
    node->parent->dynamic = node->parent->dynamic || node->dynamic;
    state.node = node->parent;
    return true;
}

bool ReadTag(DefReader& reader, ParseState& state, std::vector<DefNode*>& detached)
{
    ++reader.position;  // "<"
    if (reader.Peek() == '/') {
        ++reader.position;
        return ReadClosingTag(reader, state);
    }
    reader.SkipBlanksAndComments();
    const std::string name = reader.ReadName();
    if (name.empty())
        return false;
    DefNode* node = state.node;
    if (const DefTagKind* kind = DefFindTagKind(name.c_str())) {
        auto tag = std::make_unique<DefTag>();
        tag->kind = kind;
        tag->node = node;
        if (!ReadAttributes(reader, *kind, *tag))
            return false;
        if (kind->IsContainer() && node->openTags.size() >= DEF_OPEN_TAGS) {
            ++state.ignoredOpen;
            return true;
        }
        kind->Open(*tag);
        node->dynamic = node->dynamic || tag->dynamic;
        if (kind->IsContainer())
            node->openTags.push_back(std::move(tag));
        return true;
    }
    reader.SkipBlanksAndComments();
    if (reader.Peek() != '>')
        return false;
    ++reader.position;
    auto* child = new DefNode(name.c_str(), node);
    // A section past the 100th is read but kept out of the tree.
    if (node->children.size() < DEF_NODE_CHILDREN)
        node->children.push_back(child);
    else
        detached.push_back(child);
    state.node = child;
    return true;
}

bool Parse(DefReader& reader, DefNode* root)
{
    ParseState state;
    state.node = root;
    std::vector<DefNode*> detached;
    bool ok = true;
    for (;;) {
        reader.SkipBlanksAndComments();
        if (reader.AtEnd())
            break;
        if (reader.Peek() == '<') {
            if (!ReadTag(reader, state, detached)) {
                ok = false;
                break;
            }
        } else {
            ReadContent(reader, state.node);
        }
    }
    for (DefNode* node : detached)
        delete node;
    return ok;
}

std::unique_ptr<DefScript> LoadScript(const char* file)
{
    auto script = std::make_unique<DefScript>();
    script->fileName = file;
    u32_t size = 0;
    char* data = VFSLoadFile(file, &size);
    if (!data)
        return script;
    g_reading.push_back(file);
    DefReader reader{data, size, 0};
    script->root = std::make_unique<DefNode>("global", nullptr);
    if (!Parse(reader, script->root.get()))
        script->root.reset();
    g_reading.pop_back();
    delete[] data;
    return script;
}

const DefNode* WalkKey(const DefNode* node, const char* key)
{
    if (!key || !*key)
        return node;
    const char* part = key;
    while (node) {
        const char* dot = std::strchr(part, '.');
        const std::size_t length = dot ? static_cast<std::size_t>(dot - part) : std::strlen(part);
        node = node->Child(part, length);
        if (!dot)
            break;
        part = dot + 1;
    }
    return node;
}

}  // namespace

void DefReader::SkipBlanksAndComments()
{
    while (!AtEnd()) {
        const char c = Peek();
        if (IsBlank(c)) {
            ++position;
        } else if (c == '#' || (c == '/' && Peek(1) == '/')) {
            while (!AtEnd() && Peek() != '\n')
                ++position;
        } else {
            break;
        }
    }
}

std::string DefReader::ReadIdentifier()
{
    std::string name;
    if (!IsLetter(Peek()))
        return name;
    while (!AtEnd() && (IsLetter(Peek()) || IsDigit(Peek()) || Peek() == '_'))
        name.push_back(text[position++]);
    return name;
}

std::string DefReader::ReadName()
{
    std::string name;
    while (!AtEnd()) {
        const char c = Peek();
        if (IsBlank(c) || c == '<' || c == '>' || c == '/' || c == '=' || c == '\0')
            break;
        name.push_back(c);
        ++position;
    }
    return name;
}

bool DefReadInteger(DefReader& reader, s32_t* value)
{
    bool negative = false;
    if (reader.Peek() == '-' || reader.Peek() == '+') {
        negative = reader.Peek() == '-';
        ++reader.position;
    }
    u32_t result = 0;
    u32_t digits = 0;
    if (reader.Peek() == '0' && (reader.Peek(1) == 'x' || reader.Peek(1) == 'X')) {
        reader.position += 2;
        for (;; ++digits, ++reader.position) {
            const char c = reader.Peek();
            u32_t digit = 0;
            if (IsDigit(c))
                digit = static_cast<u32_t>(c - '0');
            else if (c >= 'a' && c <= 'f')
                digit = static_cast<u32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                digit = static_cast<u32_t>(c - 'A' + 10);
            else
                break;
            result = (result << 4) | digit;
        }
    } else {
        for (; IsDigit(reader.Peek()); ++digits, ++reader.position)
            result = result * 10u + static_cast<u32_t>(reader.Peek() - '0');
    }
    if (digits == 0)
        return false;
    *value = static_cast<s32_t>(negative ? 0u - result : result);
    return true;
}

DefNode::~DefNode()
{
    // Deep trees: the sections below are taken over into a worklist instead of recursing.
    std::vector<DefNode*> pending;
    pending.swap(children);
    while (!pending.empty()) {
        DefNode* node = pending.back();
        pending.pop_back();
        pending.insert(pending.end(), node->children.begin(), node->children.end());
        node->children.clear();
        delete node;
    }
}

DefNode* DefNode::Child(const char* childName, std::size_t length) const
{
    for (DefNode* child : children) {
        if (child->name.size() == length && CompareNoCaseN(child->name.c_str(), childName, length) == 0)
            return child;
    }
    return nullptr;
}

void DefTagKind::Declare(const char* name, const char* typeName, bool required, const char* defaultText)
{
    if (m_attributes.size() >= DEF_TAG_ATTRIBUTES)
        return;
    DefAttribute attribute;
    attribute.name = name;
    attribute.type = DefFindValueType(typeName);
    attribute.required = required;
    if (!required && defaultText && attribute.type) {
        DefReader reader{defaultText, static_cast<u32_t>(std::strlen(defaultText)), 0};
        attribute.defaultValue.reset(attribute.type->Read(reader));
    }
    m_attributes.push_back(std::move(attribute));
}

bool DefRegisterValueType(DefValueType* type)
{
    std::unique_ptr<DefValueType> owned(type);
    if (!g_registries || !type || g_registries->types.size() >= DEF_REGISTRY_SIZE)
        return false;
    g_registries->types.push_back(std::move(owned));
    return true;
}

bool DefRegisterTagKind(DefTagKind* kind)
{
    std::unique_ptr<DefTagKind> owned(kind);
    if (!g_registries || !kind || g_registries->kinds.size() >= DEF_REGISTRY_SIZE)
        return false;
    g_registries->kinds.push_back(std::move(owned));
    return true;
}

const DefValueType* DefFindValueType(const char* name)
{
    if (!g_registries || !name)
        return nullptr;
    for (const auto& type : g_registries->types) {
        if (CompareNoCase(type->Name(), name) == 0)
            return type.get();
    }
    return nullptr;
}

const DefTagKind* DefFindTagKind(const char* name)
{
    if (!g_registries || !name)
        return nullptr;
    for (const auto& kind : g_registries->kinds) {
        if (CompareNoCase(kind->Name(), name) == 0)
            return kind.get();
    }
    return nullptr;
}

u32_t DefValueTypeCount()
{
    return g_registries ? static_cast<u32_t>(g_registries->types.size()) : 0;
}

u32_t DefTagKindCount()
{
    return g_registries ? static_cast<u32_t>(g_registries->kinds.size()) : 0;
}

u32_t DefCacheCount()
{
    return g_registries ? static_cast<u32_t>(g_registries->cache.size()) : 0;
}

void DefRegisterBuiltIns();  // gui/texts/def_script_tags.cpp

void DefScriptsInit()
{
    if (g_registries)
        return;
    g_registries = std::make_unique<Registries>();
    DefRegisterBuiltIns();
}

void DefScriptsFree()
{
    if (!g_registries)
        return;
    g_registries->cache.clear();
    g_registries->uncached.reset();
    g_registries->kinds.clear();
    g_registries->types.clear();
    g_registries.reset();
}

const char* DefScriptGetText(const char* file, const char* key, u32_t* lengthOut)
{
    if (!g_registries || !file)
        return nullptr;
    for (const std::string& reading : g_reading) {
        if (CompareNoCase(reading.c_str(), file) == 0)
            return nullptr;
    }
    if (g_reading.size() >= DEF_INCLUDE_DEPTH)
        return nullptr;
    std::vector<std::unique_ptr<DefScript>>& cache = g_registries->cache;
    DefScript* script = nullptr;
    for (std::size_t i = 0; i < cache.size(); ++i) {
        if (CompareNoCase(cache[i]->fileName.c_str(), file) != 0)
            continue;
        if (cache[i]->root && !cache[i]->root->dynamic) {
            script = cache[i].get();
        } else {
            cache[i] = std::move(cache.back());
            cache.pop_back();
        }
        break;
    }
    std::unique_ptr<DefScript> loaded;
    if (!script) {
        loaded = LoadScript(file);
        if (!loaded->root)
            return nullptr;
        script = loaded.get();
        // Includes read on the way may have filled the cache.
        if (cache.size() < DEF_CACHE_SIZE)
            cache.push_back(std::move(loaded));
    }
    const DefNode* node = WalkKey(script->root.get(), key);
    if (!node)
        return nullptr;
    if (lengthOut)
        *lengthOut = static_cast<u32_t>(node->text.size());
    const char* text = node->text.c_str();
    if (loaded)
        g_registries->uncached = std::move(loaded);
    return text;
}

const char* DefScriptGetText(const char* file, const char* key)
{
    return DefScriptGetText(file, key, nullptr);
}

std::unique_ptr<DefNode> DefParseText(const char* text, u32_t size)
{
    auto root = std::make_unique<DefNode>("global", nullptr);
    DefReader reader{text, size, 0};
    if (!Parse(reader, root.get()))
        root.reset();
    return root;
}
