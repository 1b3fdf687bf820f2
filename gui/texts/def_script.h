// Markup texts: small files of named sections written as tags (".asc" locale texts, ".frm" forms),
// whose content is text with formatting tags that insert line breaks, indentation, colours, live
// variable values and texts included from other files. A file is read into a tree of DefNode
// sections, kept in a cache, and asked for the text of a dotted key. Tags are typed: each tag kind
// declares its attributes with a value type; kinds and types live in registries.
//
// The texts hold the inline codes of gui/texts/def_script_codes.h.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "core/types.h"

constexpr u32_t DEF_REGISTRY_SIZE = 100;
constexpr u32_t DEF_TAG_ATTRIBUTES = 20;
constexpr u32_t DEF_NODE_CHILDREN = 100;
constexpr u32_t DEF_OPEN_TAGS = 100;
constexpr u32_t DEF_CACHE_SIZE = 100;
// Includes nest at most this deep; an include of a file being read adds nothing.
constexpr u32_t DEF_INCLUDE_DEPTH = 16;

struct DefReader;
class DefValueType;

// One read value: a 32-bit integer or colour, or a string.
class DefValue {
public:
    DefValue(const DefValueType* type, s32_t number) : m_type(type), m_number(number) {}
    DefValue(const DefValueType* type, std::string text) : m_type(type), m_text(std::move(text)) {}
    virtual ~DefValue() = default;
    const DefValueType* Type() const { return m_type; }
    s32_t Number() const { return m_number; }
    const char* Text() const { return m_text.c_str(); }

private:
    const DefValueType* m_type;
    s32_t m_number = 0;
    std::string m_text;
};

// A value type reads one value of its kind at the reader; null on a syntax error.
class DefValueType {
public:
    explicit DefValueType(const char* name) : m_name(name) {}
    virtual ~DefValueType() = default;
    virtual DefValue* Read(DefReader& reader) const = 0;
    const char* Name() const { return m_name.c_str(); }

private:
    std::string m_name;
};

struct DefAttribute {
    std::string name;
    const DefValueType* type = nullptr;  // null when the declared type does not exist
    bool required = false;
    std::unique_ptr<DefValue> defaultValue;
};

class DefNode;
class DefTagKind;

// One tag while it is read: its values in the order of the kind's attributes.
struct DefTag {
    const DefTagKind* kind = nullptr;
    DefNode* node = nullptr;
    std::vector<std::unique_ptr<DefValue>> values;
    bool dynamic = false;

    const DefValue* Value(u32_t index) const { return index < values.size() ? values[index].get() : nullptr; }
};

class DefTagKind {
public:
    DefTagKind(const char* name, bool container) : m_name(name), m_container(container) {}
    virtual ~DefTagKind() = default;
    // Declares an attribute; the default text is read by the type (none for required attributes).
    // The 21st is ignored.
    void Declare(const char* name, const char* typeName, bool required, const char* defaultText);
    // The start tag was read: appends to the tag's node.
    virtual void Open(DefTag& tag) const = 0;
    // The closing tag of a container was read.
    virtual void Close(DefTag&) const {}

    const char* Name() const { return m_name.c_str(); }
    bool IsContainer() const { return m_container; }
    const std::vector<DefAttribute>& Attributes() const { return m_attributes; }

private:
    std::string m_name;
    bool m_container;
    std::vector<DefAttribute> m_attributes;
};

// One section: its text, its sections, and the container tags open in it while it is read.
class DefNode {
public:
    DefNode(const char* nodeName, DefNode* parentNode) : name(nodeName), parent(parentNode) {}
    // Frees the sections below without recursion (a tree may be very deep).
    ~DefNode();
    DefNode(const DefNode&) = delete;
    DefNode& operator=(const DefNode&) = delete;

    // The first section of that name (without regard to case), or null.
    DefNode* Child(const char* childName, std::size_t length) const;

    std::string name;
    std::vector<DefNode*> children;  // owned; at most 100
    std::vector<std::unique_ptr<DefTag>> openTags;
    DefNode* parent = nullptr;
    std::string text;
    bool dynamic = false;
};

// One read file; a file whose reading failed has no root.
struct DefScript {
    std::string fileName;
    std::unique_ptr<DefNode> root;
};

// Creates the registries with the value types "int", "color", "str" and the tag kinds "tab",
// "font", "br", "inc", "var". Again after a free; a second call without a free does nothing.
void DefScriptsInit();
// The cache with its scripts, then the tag kinds and the value types.
void DefScriptsFree();
// The text of the dotted key in the file and its length in bytes; null when the file cannot be read
// or the key does not exist (an empty key gives the root). The cache owns the text: it stays valid
// until the next lookup of a file with variable content or the free.
const char* DefScriptGetText(const char* file, const char* key, u32_t* lengthOut);
const char* DefScriptGetText(const char* file, const char* key);

// Registries; an addition past 100 entries is ignored (false) and the object deleted.
bool DefRegisterValueType(DefValueType* type);
bool DefRegisterTagKind(DefTagKind* kind);
const DefValueType* DefFindValueType(const char* name);
const DefTagKind* DefFindTagKind(const char* name);
u32_t DefValueTypeCount();
u32_t DefTagKindCount();
u32_t DefCacheCount();

// Reads a text held in memory as a file would be read; null root on failure (tests).
std::unique_ptr<DefNode> DefParseText(const char* text, u32_t size);
