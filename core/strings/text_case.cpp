#include "core/strings/text_case.h"

namespace {

int Lower(char c)
{
    const unsigned char byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte;
}

}  // namespace

int CompareNoCase(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        const int difference = Lower(*a) - Lower(*b);
        if (difference != 0 || *a == '\0')
            return difference;
    }
}

int CompareNoCaseN(const char* a, const char* b, std::size_t count)
{
    for (; count > 0; --count, ++a, ++b) {
        const int difference = Lower(*a) - Lower(*b);
        if (difference != 0 || *a == '\0')
            return difference;
    }
    return 0;
}
