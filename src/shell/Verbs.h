#pragma once
// Shell verbs: the narrow command names a context menu reports for its entries. The program
// compares them without regard to case.
#include <string>

inline constexpr char kVerbDefault[] = "DEFAULT";
inline constexpr char kVerbDelete[] = "DELETE";
inline constexpr char kVerbCut[] = "CUT";
inline constexpr char kVerbCopy[] = "COPY";
inline constexpr char kVerbPaste[] = "PASTE";
inline constexpr char kVerbRename[] = "RENAME";
inline constexpr char kVerbProperties[] = "PROPERTIES";

// The verb in upper case (ASCII letters only: verbs are plain identifiers).
std::string UpperVerb(const std::string& verb);
bool SameVerb(const std::string& a, const std::string& b);
// Verbs that change the folder's contents: a read-only control does not run them.
bool IsModifyingVerb(const std::string& verb);
