// personal_dict.txt in the per-user data folder: the word list the user keeps in the dashboard and
// adds to from the top bar. One entry per line: the Latin key, a TAB, the Bengali word. The file is
// UTF-8 without a byte order mark, with CR LF line ends; readers also take LF alone, skip blank
// lines and a byte order mark that an editor may have added. No engine reads it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qorva {

inline constexpr wchar_t kPersonalWordListName[] = L"personal_dict.txt";

// The most UTF-16 units kept of a key and of a word.
constexpr size_t kWordFieldLimit = 127;

// The entries of the file's bytes, in file order.
std::vector<std::wstring> ParseWordList(const std::string& bytes);

// The entry for a key and a word: each cut to kWordFieldLimit units, with line breaks inside it
// turned into spaces so that an entry stays one line.
std::wstring WordListEntry(const std::wstring& key, const std::wstring& word);

// The file's entries. A missing file is an empty list; none when the file exists but cannot be
// read.
std::optional<std::vector<std::wstring>> ReadWordList(const std::wstring& path);

// Appends the entry of the key and the word at the end of the file, creating it when missing; true
// when the line is on disk. An empty key or word writes nothing and gives false. The dashboard's
// Add and the top bar's add-word dialog both write through this.
bool AppendWordListEntry(const std::wstring& path, const std::wstring& key,
                         const std::wstring& word);

// Rewrites the file whole without every entry equal to `entry` and without blank lines. False when
// the file could not be read or rewritten; it then keeps its bytes.
bool RemoveWordListEntry(const std::wstring& path, const std::wstring& entry);

}  // namespace qorva
