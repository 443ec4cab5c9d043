#include "shell/Verbs.h"

std::string UpperVerb(const std::string& verb)
{
    std::string upper = verb;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

bool SameVerb(const std::string& a, const std::string& b)
{
    return UpperVerb(a) == UpperVerb(b);
}

bool IsModifyingVerb(const std::string& verb)
{
    const std::string upper = UpperVerb(verb);
    return upper == kVerbDelete || upper == kVerbCut || upper == kVerbPaste;
}
