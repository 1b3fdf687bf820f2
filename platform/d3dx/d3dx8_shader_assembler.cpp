// The shader assembler: one statement per line, comments after ';' or '//' and between '/*' and
// '*/'. The first statement is the version ("vs.1.1", "ps.1.4"; "vs_1_1" is read the same), then
// instructions "op[_mod...] dst[.mask], src, ..." with names and registers in any case. Every
// statement is checked against the version (instructions, register kinds and numbers, modifiers)
// and all errors are reported, not only the first.
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gl/d3d8_shader_tokens.h"
#include "platform/d3dx8_shader.h"
#include "platform/file_system.h"

using namespace shader_tokens;

namespace {

// Versions an instruction exists in.
constexpr unsigned kVs = 1u << 0;         // vs.1.0 and vs.1.1
constexpr unsigned kPs10 = 1u << 1;       // ps.1.0 to ps.1.3
constexpr unsigned kPs12 = 1u << 2;       // ps.1.2 and ps.1.3 only
constexpr unsigned kPs13 = 1u << 3;       // ps.1.3 only
constexpr unsigned kPs14 = 1u << 4;       // ps.1.4
constexpr unsigned kTextureOp = 1u << 5;  // a texture-address instruction
constexpr unsigned kNoDest = 1u << 6;
constexpr unsigned kMaskLimited = 1u << 7;  // writes at most its default mask

struct Mnemonic {
    const char* name;
    std::uint32_t opcode;
    int sources;
    unsigned flags;
    std::uint32_t defaultMask;  // the write mask when none is written
};

const Mnemonic kMnemonics[] = {
    {"nop", kNop, 0, kVs | kPs10 | kPs14 | kNoDest, 0xF},
    {"mov", kMov, 1, kVs | kPs10 | kPs14, 0xF},
    {"add", kAdd, 2, kVs | kPs10 | kPs14, 0xF},
    {"sub", kSub, 2, kVs | kPs10 | kPs14, 0xF},
    {"mad", kMad, 3, kVs | kPs10 | kPs14, 0xF},
    {"mul", kMul, 2, kVs | kPs10 | kPs14, 0xF},
    {"rcp", kRcp, 1, kVs, 0xF},
    {"rsq", kRsq, 1, kVs, 0xF},
    {"dp3", kDp3, 2, kVs | kPs10 | kPs14, 0xF},
    {"dp4", kDp4, 2, kVs | kPs12 | kPs14, 0xF},
    {"min", kMin, 2, kVs, 0xF},
    {"max", kMax, 2, kVs, 0xF},
    {"slt", kSlt, 2, kVs, 0xF},
    {"sge", kSge, 2, kVs, 0xF},
    {"exp", kExp, 1, kVs, 0xF},
    {"log", kLog, 1, kVs, 0xF},
    {"lit", kLit, 1, kVs, 0xF},
    {"dst", kDst, 2, kVs, 0xF},
    {"lrp", kLrp, 3, kPs10 | kPs14, 0xF},
    {"frc", kFrc, 1, kVs, 0xF},
    {"m4x4", kM4x4, 2, kVs, 0xF},
    {"m4x3", kM4x3, 2, kVs | kMaskLimited, 0x7},
    {"m3x4", kM3x4, 2, kVs, 0xF},
    {"m3x3", kM3x3, 2, kVs | kMaskLimited, 0x7},
    {"m3x2", kM3x2, 2, kVs | kMaskLimited, 0x3},
    {"expp", kExpP, 1, kVs, 0xF},
    {"logp", kLogP, 1, kVs, 0xF},
    {"cnd", kCnd, 3, kPs10 | kPs14, 0xF},
    {"cmp", kCmp, 3, kPs12 | kPs14, 0xF},
    {"tex", kTex, 0, kPs10 | kTextureOp, 0xF},
    {"texld", kTex, 1, kPs14 | kTextureOp, 0xF},
    {"texcoord", kTexCoord, 0, kPs10 | kTextureOp, 0xF},
    {"texcrd", kTexCoord, 1, kPs14 | kTextureOp, 0x7},
    {"texkill", kTexKill, 0, kPs10 | kPs14 | kTextureOp, 0xF},
    {"texbem", kTexBem, 1, kPs10 | kTextureOp, 0xF},
    {"texbeml", kTexBemL, 1, kPs10 | kTextureOp, 0xF},
    {"texreg2ar", kTexReg2Ar, 1, kPs10 | kTextureOp, 0xF},
    {"texreg2gb", kTexReg2Gb, 1, kPs10 | kTextureOp, 0xF},
    {"texreg2rgb", kTexReg2Rgb, 1, kPs12 | kTextureOp, 0xF},
    {"texm3x2pad", kTexM3x2Pad, 1, kPs10 | kTextureOp, 0xF},
    {"texm3x2tex", kTexM3x2Tex, 1, kPs10 | kTextureOp, 0xF},
    {"texm3x3pad", kTexM3x3Pad, 1, kPs10 | kTextureOp, 0xF},
    {"texm3x3tex", kTexM3x3Tex, 1, kPs10 | kTextureOp, 0xF},
    {"texm3x3spec", kTexM3x3Spec, 2, kPs10 | kTextureOp, 0xF},
    {"texm3x3vspec", kTexM3x3VSpec, 1, kPs10 | kTextureOp, 0xF},
    {"texdp3tex", kTexDp3Tex, 1, kPs12 | kTextureOp, 0xF},
    {"texdp3", kTexDp3, 1, kPs12 | kTextureOp, 0xF},
    {"texm3x3", kTexM3x3, 1, kPs12 | kTextureOp, 0xF},
    {"texm3x2depth", kTexM3x2Depth, 1, kPs13 | kTextureOp, 0xF},
    {"texdepth", kTexDepth, 0, kPs14 | kTextureOp, 0xF},
    {"bem", kBem, 2, kPs14 | kMaskLimited, 0x3},
};

struct Version {
    bool known = false;
    bool pixel = false;
    int major = 0, minor = 0;
    bool Is14() const { return pixel && minor == 4; }
};

bool Allowed(const Mnemonic& m, const Version& v)
{
    if (!v.pixel)
        return (m.flags & kVs) != 0;
    if (v.minor == 4)
        return (m.flags & kPs14) != 0;
    if (m.flags & kPs10)
        return true;
    if (m.flags & kPs12)
        return v.minor >= 2;
    if (m.flags & kPs13)
        return v.minor >= 3;
    return false;
}

struct Register {
    std::uint32_t type = 0;
    std::uint32_t number = 0;
    bool relative = false;
};

// How a register may be used in the version.
struct RegisterRule {
    int count;
    bool read;
    bool write;
};

class Assembler {
public:
    Assembler(const char* text, std::size_t length, const char* sourceName)
        : m_text(text), m_length(length), m_sourceName(sourceName ? sourceName : "")
    {}

    bool Run();
    const std::vector<std::uint32_t>& Code() const { return m_code; }
    const std::vector<std::uint32_t>& Constants() const { return m_constants; }
    const std::string& Errors() const { return m_errors; }

private:
    void Error(const char* format, ...) __attribute__((format(printf, 2, 3)));
    std::string StripComments();
    void Statement(std::string line);
    bool ParseVersion(const std::string& word);
    bool ParseRegister(const std::string& text, std::size_t* at, Register* out);
    bool CheckRegister(const Register& r, bool write);
    bool ParseDestination(std::string text, const Mnemonic& m, std::uint32_t modifierBits, std::uint32_t* token);
    bool ParseSource(std::string text, std::uint32_t* token);
    void Definition(const std::vector<std::string>& operands);

    const char* m_text;
    std::size_t m_length;
    std::string m_sourceName;
    int m_line = 0;
    int m_errorCount = 0;
    Version m_version;
    bool m_sawArithmetic = false;
    bool m_sawPhase = false;
    std::vector<std::uint32_t> m_code;
    std::vector<std::uint32_t> m_constants;
    std::string m_errors;
};

void Assembler::Error(const char* format, ...)
{
    ++m_errorCount;
    if (m_errorCount > 64)
        return;  // a long garbage file gets a readable report
    char message[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(message, sizeof message, format, arguments);
    va_end(arguments);
    char line[384];
    std::snprintf(line, sizeof line, "%s(%d): error: %s\n", m_sourceName.c_str(), m_line, message);
    m_errors += line;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Trim(const std::string& text)
{
    std::size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    return text.substr(begin, end - begin);
}

// The text without its comments; block comments keep their line breaks so that line numbers hold.
std::string Assembler::StripComments()
{
    std::string out;
    out.reserve(m_length);
    bool inBlock = false;
    for (std::size_t i = 0; i < m_length && m_text[i] != '\0'; ++i) {
        const char c = m_text[i];
        const char next = i + 1 < m_length ? m_text[i + 1] : '\0';
        if (inBlock) {
            if (c == '*' && next == '/') {
                inBlock = false;
                ++i;
            } else if (c == '\n') {
                out.push_back('\n');
            }
            continue;
        }
        if (c == '/' && next == '*') {
            inBlock = true;
            ++i;
            continue;
        }
        if (c == ';' || (c == '/' && next == '/')) {
            while (i < m_length && m_text[i] != '\0' && m_text[i] != '\n')
                ++i;
            if (i < m_length && m_text[i] == '\n')
                out.push_back('\n');
            continue;
        }
        out.push_back(c == '\r' ? ' ' : c);
    }
    return out;
}

bool Assembler::ParseVersion(const std::string& word)
{
    // "vs.1.1", "ps.1.4", "vs_1_1".
    const bool separated = word.size() == 6 && (word[2] == '.' || word[2] == '_') && word[4] == word[2];
    if (!separated || (word[0] != 'v' && word[0] != 'p') || word[1] != 's' ||
        !std::isdigit(static_cast<unsigned char>(word[3])) || !std::isdigit(static_cast<unsigned char>(word[5])))
        return false;
    Version v;
    v.pixel = word[0] == 'p';
    v.major = word[3] - '0';
    v.minor = word[5] - '0';
    const bool supported = v.major == 1 && (v.pixel ? v.minor <= 4 : v.minor <= 1);
    if (!supported) {
        Error("version %s is not supported (vs.1.0, vs.1.1, ps.1.0 to ps.1.4)", word.c_str());
        v.known = true;  // keep going so that further errors are found
        v.major = 1;
        v.minor = v.pixel ? 4 : 1;
    }
    v.known = true;
    m_version = v;
    m_code.push_back(VersionToken(v.pixel, v.major, v.minor));
    return true;
}

RegisterRule RuleFor(const Version& v, std::uint32_t type, bool* known)
{
    *known = true;
    if (!v.pixel) {
        switch (type) {
            case kTemp:
                return {kVertexTemps, true, true};
            case kInput:
                return {kVertexInputs, true, false};
            case kConst:
                return {kVertexConstants, true, false};
            case kAddress:
                return {v.minor >= 1 ? 1 : 0, false, true};
            case kRasterOut:
                return {3, false, true};
            case kAttributeOut:
                return {2, false, true};
            case kTexCoordOut:
                return {kVertexTexCoordOuts, false, true};
            default:
                break;
        }
    } else {
        const bool ps14 = v.minor == 4;
        switch (type) {
            case kTemp:
                return {ps14 ? 6 : 2, true, true};
            case kInput:
                return {2, true, false};
            case kConst:
                return {kPixelConstants, true, false};
            case kTexture:
                return {ps14 ? 6 : 4, true, !ps14};
            default:
                break;
        }
    }
    *known = false;
    return {0, false, false};
}

// A register name at text[*at]: r#, v#, c#, c[a0.x + #], a0, t#, oPos, oFog, oPts, oD#, oT#.
bool Assembler::ParseRegister(const std::string& text, std::size_t* at, Register* out)
{
    std::size_t i = *at;
    auto number = [&](std::uint32_t* value) {
        const std::size_t start = i;
        std::uint32_t n = 0;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && i - start < 6)
            n = n * 10 + static_cast<std::uint32_t>(text[i++] - '0');
        *value = n;
        return i > start;
    };
    auto startsWith = [&](const char* word) { return text.compare(i, std::strlen(word), word) == 0; };
    Register r;
    bool ok = false;
    if (!m_version.pixel && (startsWith("opos") || startsWith("ofog") || startsWith("opts"))) {
        r.type = kRasterOut;
        r.number = startsWith("opos") ? kOutPosition : (startsWith("ofog") ? kOutFog : kOutPointSize);
        i += 4;
        ok = true;
    } else if (!m_version.pixel && (startsWith("od") || startsWith("ot"))) {
        r.type = text[i + 1] == 'd' ? kAttributeOut : kTexCoordOut;
        i += 2;
        ok = number(&r.number);
    } else if (i < text.size()) {
        const char kind = text[i++];
        switch (kind) {
            case 'r':
                r.type = kTemp;
                ok = number(&r.number);
                break;
            case 'v':
                r.type = kInput;
                ok = number(&r.number);
                break;
            case 't':
                r.type = kTexture;
                ok = m_version.pixel && number(&r.number);
                break;
            case 'a':
                r.type = kAddress;
                ok = !m_version.pixel && number(&r.number);
                break;
            case 'c':
                r.type = kConst;
                if (i < text.size() && text[i] == '[') {
                    // c[a0.x + n], c[n + a0.x], c[a0.x], c[n]
                    const std::size_t close = text.find(']', i);
                    if (close == std::string::npos)
                        break;
                    std::string inside;
                    for (std::size_t k = i + 1; k < close; ++k) {
                        if (!std::isspace(static_cast<unsigned char>(text[k])))
                            inside.push_back(text[k]);
                    }
                    i = close + 1;
                    std::size_t k = 0;
                    bool sawAddress = false, sawNumber = false, valid = true;
                    while (k < inside.size() && valid) {
                        if (inside.compare(k, 4, "a0.x") == 0) {
                            valid = !sawAddress;
                            sawAddress = true;
                            k += 4;
                        } else if (std::isdigit(static_cast<unsigned char>(inside[k]))) {
                            std::uint32_t n = 0;
                            const std::size_t start = k;
                            while (k < inside.size() && k - start < 6 &&
                                   std::isdigit(static_cast<unsigned char>(inside[k])))
                                n = n * 10 + static_cast<std::uint32_t>(inside[k++] - '0');
                            valid = !sawNumber;
                            sawNumber = true;
                            r.number = n;
                        } else {
                            valid = false;
                        }
                        if (valid && k < inside.size()) {
                            valid = inside[k] == '+';
                            ++k;
                            valid = valid && k < inside.size();
                        }
                    }
                    if (!valid || (!sawAddress && !sawNumber))
                        break;
                    if (sawAddress && (m_version.pixel || m_version.minor < 1)) {
                        Error("relative addressing needs vs.1.1");
                        return false;
                    }
                    r.relative = sawAddress;
                    ok = true;
                } else {
                    ok = number(&r.number);
                }
                break;
            default:
                break;
        }
    }
    if (!ok) {
        Error("'%s' is not a register", text.c_str());
        return false;
    }
    *at = i;
    *out = r;
    return true;
}

bool Assembler::CheckRegister(const Register& r, bool write)
{
    bool known = false;
    const RegisterRule rule = RuleFor(m_version, r.type, &known);
    static const char* const kVertexNames[] = {"r", "v", "c", "a", "o", "oD", "oT"};
    static const char* const kPixelNames[] = {"r", "v", "c", "t", "?", "?", "?"};
    static const char* const kRasterNames[] = {"oPos", "oFog", "oPts"};
    const char* kind = (m_version.pixel ? kPixelNames : kVertexNames)[r.type & 7];
    char name[16];
    if (!m_version.pixel && r.type == kRasterOut)
        std::snprintf(name, sizeof name, "%s", kRasterNames[r.number % 3]);
    else
        std::snprintf(name, sizeof name, "%s%u", kind, r.number);
    if (!known || rule.count == 0) {
        Error("register %s does not exist in this version", name);
        return false;
    }
    // Relative reads are checked against the range when they run.
    if (!r.relative && r.number >= static_cast<std::uint32_t>(rule.count)) {
        Error("register %s is out of range (%s0 to %s%d)", name, kind, kind, rule.count - 1);
        return false;
    }
    if (write && !rule.write) {
        Error("register %s cannot be written", name);
        return false;
    }
    if (!write && !rule.read) {
        Error("register %s cannot be read", name);
        return false;
    }
    return true;
}

bool ParseMask(const std::string& text, std::uint32_t* mask)
{
    static const char kXyzw[] = "xyzw";
    static const char kRgba[] = "rgba";
    std::uint32_t bits = 0;
    int last = -1;
    for (char c : text) {
        const char* p = std::strchr(kXyzw, c);
        const char* q = std::strchr(kRgba, c);
        const int index = p && c ? static_cast<int>(p - kXyzw) : (q && c ? static_cast<int>(q - kRgba) : -1);
        if (index < 0 || index <= last)
            return false;
        bits |= 1u << index;
        last = index;
    }
    *mask = bits;
    return bits != 0;
}

bool ParseSwizzle(const std::string& text, std::uint32_t* swizzle)
{
    static const char kXyzw[] = "xyzw";
    static const char kRgba[] = "rgba";
    if (text.empty() || text.size() > 4)
        return false;
    int components[4];
    int count = 0;
    for (char c : text) {
        const char* p = std::strchr(kXyzw, c);
        const char* q = std::strchr(kRgba, c);
        if ((!p && !q) || c == '\0')
            return false;
        components[count++] = p ? static_cast<int>(p - kXyzw) : static_cast<int>(q - kRgba);
    }
    // A short swizzle repeats its last component.
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= static_cast<std::uint32_t>(components[i < count ? i : count - 1]) << (2 * i);
    *swizzle = bits;
    return true;
}

bool Assembler::ParseDestination(std::string text, const Mnemonic& m, std::uint32_t modifierBits, std::uint32_t* token)
{
    std::size_t at = 0;
    Register r;
    if (!ParseRegister(text, &at, &r))
        return false;
    std::uint32_t mask = m.defaultMask;
    if (at < text.size()) {
        if (text[at] != '.' || !ParseMask(text.substr(at + 1), &mask)) {
            Error("bad write mask in '%s'", text.c_str());
            return false;
        }
        if (m.flags & kMaskLimited)
            mask &= m.defaultMask;
        if (mask == 0) {
            Error("%s cannot write '%s'", m.name, text.c_str());
            return false;
        }
    }
    if (r.relative) {
        Error("a destination cannot be addressed relatively");
        return false;
    }
    // Texture instructions of ps.1.0 to 1.3 write t registers; every other writes its usual kinds.
    const bool textureDestination = m_version.pixel && !m_version.Is14() && (m.flags & kTextureOp);
    if (textureDestination) {
        if (r.type != kTexture || r.number >= 4) {
            Error("%s writes a texture register t0 to t3", m.name);
            return false;
        }
    } else if (m_version.Is14() && m.opcode == kTexKill) {
        if ((r.type != kTemp && r.type != kTexture) || !CheckRegister(r, false))
            return false;
    } else if (!CheckRegister(r, true)) {
        return false;
    }
    if (r.type == kAddress && mask != 0x1 && !m_version.pixel) {
        Error("a0 is written as a0.x");
        return false;
    }
    *token = RegisterToken(r.type, r.number) | (mask << kWriteMaskShift) | modifierBits;
    return true;
}

bool Assembler::ParseSource(std::string text, std::uint32_t* token)
{
    std::size_t at = 0;
    bool negate = false, complement = false;
    if (at < text.size() && text[at] == '-') {
        negate = true;
        ++at;
        while (at < text.size() && text[at] == ' ')
            ++at;
    }
    if (text.compare(at, 2, "1-") == 0) {
        complement = true;
        at += 2;
        while (at < text.size() && text[at] == ' ')
            ++at;
    }
    Register r;
    if (!ParseRegister(text, &at, &r) || !CheckRegister(r, false))
        return false;
    std::uint32_t swizzle = kIdentitySwizzle;
    std::uint32_t suffix = kModNone;  // bias, bx2, x2, dz, dw
    while (at < text.size()) {
        if (text[at] == '.') {
            std::size_t end = at + 1;
            while (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end])))
                ++end;
            if (!ParseSwizzle(text.substr(at + 1, end - at - 1), &swizzle)) {
                Error("bad swizzle in '%s'", text.c_str());
                return false;
            }
            at = end;
        } else if (text[at] == '_') {
            std::size_t end = at + 1;
            while (end < text.size() && std::isalnum(static_cast<unsigned char>(text[end])))
                ++end;
            const std::string name = text.substr(at + 1, end - at - 1);
            std::uint32_t modifier = kModNone;
            if (name == "bias")
                modifier = kModBias;
            else if (name == "bx2")
                modifier = kModSign;
            else if (name == "x2")
                modifier = kModTimes2;
            else if (name == "dz" || name == "db")
                modifier = kModDivideZ;
            else if (name == "dw" || name == "da")
                modifier = kModDivideW;
            if (modifier == kModNone || suffix != kModNone) {
                Error("bad source modifier '_%s'", name.c_str());
                return false;
            }
            suffix = modifier;
            at = end;
        } else {
            Error("unexpected text after the register in '%s'", text.c_str());
            return false;
        }
    }
    if (!m_version.pixel && (complement || suffix != kModNone)) {
        Error("vertex shaders know only the negation of a source");
        return false;
    }
    if ((suffix == kModTimes2 || suffix == kModDivideZ || suffix == kModDivideW) && !m_version.Is14()) {
        Error("this source modifier needs ps.1.4");
        return false;
    }
    std::uint32_t modifier = kModNone;
    if (complement) {
        if (negate || suffix != kModNone) {
            Error("'1-' does not combine with other source modifiers");
            return false;
        }
        modifier = kModComplement;
    } else if ((suffix == kModDivideZ || suffix == kModDivideW) && negate) {
        Error("'_dz' and '_dw' do not combine with negation");
        return false;
    } else {
        switch (suffix) {
            case kModBias:
                modifier = negate ? kModBiasNegate : kModBias;
                break;
            case kModSign:
                modifier = negate ? kModSignNegate : kModSign;
                break;
            case kModTimes2:
                modifier = negate ? kModTimes2Negate : kModTimes2;
                break;
            case kModNone:
                modifier = negate ? kModNegate : kModNone;
                break;
            default:
                modifier = suffix;
                break;
        }
    }
    *token = RegisterToken(r.type, r.number) | (swizzle << kSwizzleShift) | (modifier << kSourceModifierShift) |
             (r.relative ? kRelativeAddress : 0);
    return true;
}

void Assembler::Definition(const std::vector<std::string>& operands)
{
    if (operands.size() != 5) {
        Error("def takes a constant register and four numbers");
        return;
    }
    std::size_t at = 0;
    Register r;
    if (!ParseRegister(operands[0], &at, &r) || at != operands[0].size())
        return;
    if (r.type != kConst || r.relative) {
        Error("def defines a constant register");
        return;
    }
    if (!CheckRegister(r, false))
        return;
    float values[4];
    for (int i = 0; i < 4; ++i) {
        const std::string& text = operands[1 + i];
        char* end = nullptr;
        values[i] = std::strtof(text.c_str(), &end);
        if (text.empty() || !end || *end != '\0') {
            Error("'%s' is not a number", text.c_str());
            return;
        }
    }
    m_code.push_back(kDef | (5u << kLengthShift));
    m_code.push_back(RegisterToken(kConst, r.number) | (0xFu << kWriteMaskShift));
    for (float value : values) {
        std::uint32_t word;
        std::memcpy(&word, &value, sizeof word);
        m_code.push_back(word);
    }
    if (!m_version.pixel) {
        m_constants.push_back(D3DVSD_CONST(r.number, 1));
        for (float value : values) {
            std::uint32_t word;
            std::memcpy(&word, &value, sizeof word);
            m_constants.push_back(word);
        }
    }
}

// Splits at commas; the parts trimmed and lowered.
std::vector<std::string> SplitOperands(const std::string& text)
{
    std::vector<std::string> parts;
    std::string current;
    int depth = 0;
    for (char c : text) {
        if (c == '[')
            ++depth;
        else if (c == ']')
            --depth;
        if (c == ',' && depth == 0) {
            parts.push_back(Lower(Trim(current)));
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!Trim(current).empty() || !parts.empty())
        parts.push_back(Lower(Trim(current)));
    return parts;
}

void Assembler::Statement(std::string line)
{
    line = Trim(line);
    if (line.empty())
        return;
    if (line[0] == '#') {
        Error("preprocessor directives are not supported");
        return;
    }
    bool coissue = false;
    if (line[0] == '+') {
        coissue = true;
        line = Trim(line.substr(1));
    }
    std::size_t nameEnd = 0;
    while (nameEnd < line.size() && !std::isspace(static_cast<unsigned char>(line[nameEnd])))
        ++nameEnd;
    const std::string word = Lower(line.substr(0, nameEnd));
    const std::string rest = Trim(line.substr(nameEnd));

    if (!m_version.known) {
        if (!ParseVersion(word) || !rest.empty()) {
            Error("the first statement must be the version (vs.1.1, ps.1.1 ...), not '%s'", word.c_str());
            m_version.known = true;  // report the version once
            m_version.pixel = word.size() > 1 && word[0] == 'p';
            m_version.major = 1;
            m_version.minor = 1;
        }
        return;
    }

    // name[_mod...]
    const std::size_t underscore = word.find('_');
    const std::string name = word.substr(0, underscore);
    std::uint32_t modifierBits = 0;
    if (underscore != std::string::npos) {
        std::string mods = word.substr(underscore + 1);
        std::size_t start = 0;
        while (start <= mods.size()) {
            std::size_t end = mods.find('_', start);
            if (end == std::string::npos)
                end = mods.size();
            const std::string mod = mods.substr(start, end - start);
            std::uint32_t shift = 0;
            if (mod == "sat")
                modifierBits |= kSaturate;
            else if (mod == "x2")
                shift = 1;
            else if (mod == "x4")
                shift = 2;
            else if (mod == "x8" && m_version.Is14())
                shift = 3;
            else if (mod == "d2")
                shift = 15;
            else if ((mod == "d4" || mod == "d8") && m_version.Is14())
                shift = mod == "d4" ? 14 : 13;
            else {
                Error("unknown instruction modifier '_%s'", mod.c_str());
                return;
            }
            if (shift != 0) {
                if (modifierBits & (0xFu << kResultShiftShift)) {
                    Error("two scale modifiers on one instruction");
                    return;
                }
                modifierBits |= shift << kResultShiftShift;
            }
            start = end + 1;
        }
        if (!m_version.pixel) {
            Error("vertex shader instructions take no modifiers");
            return;
        }
    }

    if (name == "def") {
        if (coissue || modifierBits) {
            Error("def takes no modifiers");
            return;
        }
        Definition(SplitOperands(rest));
        return;
    }
    if (name == "phase") {
        if (!m_version.Is14()) {
            Error("phase needs ps.1.4");
            return;
        }
        if (!rest.empty()) {
            Error("phase takes no operands");
            return;
        }
        if (m_sawPhase) {
            Error("a second phase");
            return;
        }
        m_sawPhase = true;
        m_code.push_back(kPhase);
        return;
    }

    const Mnemonic* found = nullptr;
    for (const Mnemonic& m : kMnemonics) {
        if (name == m.name && Allowed(m, m_version)) {
            found = &m;
            break;
        }
    }
    if (!found) {
        Error("unknown instruction '%s' in %s.%d.%d", name.c_str(), m_version.pixel ? "ps" : "vs", m_version.major,
              m_version.minor);
        return;
    }
    const Mnemonic& m = *found;
    if (coissue && !m_version.pixel) {
        Error("co-issue ('+') needs a pixel shader");
        return;
    }
    if (m_version.pixel && !m_version.Is14()) {
        if (m.flags & kTextureOp) {
            if (m_sawArithmetic) {
                Error("texture instruction %s after an arithmetic instruction", m.name);
                return;
            }
            if (modifierBits) {
                Error("texture instructions take no modifiers");
                return;
            }
        } else if (m.opcode != kNop) {
            m_sawArithmetic = true;
        }
    }
    const std::vector<std::string> operands = SplitOperands(rest);
    const int wanted = (m.flags & kNoDest) ? 0 : 1 + m.sources;
    if (static_cast<int>(operands.size()) != wanted) {
        Error("%s takes %d operand%s, not %d", m.name, wanted, wanted == 1 ? "" : "s",
              static_cast<int>(operands.size()));
        return;
    }
    std::uint32_t words[4] = {};
    int count = 0;
    if (!(m.flags & kNoDest)) {
        if (!ParseDestination(operands[0], m, modifierBits, &words[count++]))
            return;
        for (int i = 0; i < m.sources; ++i) {
            if (!ParseSource(operands[1 + i], &words[count++]))
                return;
        }
    }
    std::uint32_t opcodeWord = m.opcode | (static_cast<std::uint32_t>(count) << kLengthShift);
    if (coissue)
        opcodeWord |= kCoissue;
    m_code.push_back(opcodeWord);
    m_code.insert(m_code.end(), words, words + count);
}

bool Assembler::Run()
{
    const std::string text = StripComments();
    std::size_t start = 0;
    m_line = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        ++m_line;
        Statement(text.substr(start, end - start));
        start = end + 1;
    }
    if (!m_version.known) {
        m_line = 1;
        Error("no shader version");
    }
    if (m_errorCount > 64) {
        char line[96];
        std::snprintf(line, sizeof line, "%s: %d more errors\n", m_sourceName.c_str(), m_errorCount - 64);
        m_errors += line;
    }
    m_code.push_back(kEndToken);
    if (!m_constants.empty())
        m_constants.push_back(D3DVSD_END());
    return m_errorCount == 0;
}

HRESULT MakeBuffer(const void* data, std::size_t bytes, ID3DXBuffer** out)
{
    if (!out)
        return D3D_OK;
    *out = nullptr;
    const HRESULT result = D3DXCreateBuffer(static_cast<DWORD>(bytes), out);
    if (FAILED(result))
        return result;
    if (bytes)
        std::memcpy((*out)->GetBufferPointer(), data, bytes);
    return D3D_OK;
}

HRESULT Assemble(const char* text, std::size_t length, const char* sourceName, ID3DXBuffer** constants,
                 ID3DXBuffer** code, ID3DXBuffer** errors)
{
    if (constants)
        *constants = nullptr;
    if (errors)
        *errors = nullptr;
    *code = nullptr;
    Assembler assembler(text, length, sourceName);
    if (!assembler.Run()) {
        const std::string& report = assembler.Errors();
        MakeBuffer(report.c_str(), report.size() + 1, errors);
        return E_FAIL;
    }
    const auto& words = assembler.Code();
    HRESULT result = MakeBuffer(words.data(), words.size() * sizeof(std::uint32_t), code);
    if (SUCCEEDED(result) && constants && !assembler.Constants().empty()) {
        const auto& declaration = assembler.Constants();
        result = MakeBuffer(declaration.data(), declaration.size() * sizeof(std::uint32_t), constants);
    }
    if (FAILED(result) && *code) {
        (*code)->Release();
        *code = nullptr;
    }
    return result;
}

}  // namespace

HRESULT D3DXAssembleShader(const void* source, UINT length, DWORD, ID3DXBuffer** constants, ID3DXBuffer** code,
                           ID3DXBuffer** errors)
{
    if (!source || !code)
        return D3DERR_INVALIDCALL;
    return Assemble(static_cast<const char*>(source), length, "", constants, code, errors);
}

HRESULT D3DXAssembleShaderFromFileA(const char* file, DWORD, ID3DXBuffer** constants, ID3DXBuffer** code,
                                    ID3DXBuffer** errors)
{
    if (!file || !code)
        return D3DERR_INVALIDCALL;
    if (constants)
        *constants = nullptr;
    if (errors)
        *errors = nullptr;
    *code = nullptr;
    std::string text;
    std::FILE* stream = PlatformOpenFile(file, "rb");
    if (stream) {
        char chunk[4096];
        std::size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, stream)) > 0)
            text.append(chunk, got);
        const bool failed = std::ferror(stream) != 0;
        std::fclose(stream);
        if (failed)
            stream = nullptr;
    }
    if (!stream) {
        const std::string report = std::string(file) + ": error: cannot read the file\n";
        MakeBuffer(report.c_str(), report.size() + 1, errors);
        return D3DERR_NOTFOUND;
    }
    return Assemble(text.data(), text.size(), file, constants, code, errors);
}
