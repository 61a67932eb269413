#include "engine/informal_spelling.h"

#include <algorithm>
#include <iterator>

namespace bangla {

namespace {

enum class Where { Anywhere, WordStart, WordEnd, NotBeforeH };

// One chat habit, undone: `from` as the chat writer types it, `to` as the
// careful spelling has it.
struct Habit {
    const char* from;
    const char* to;
    Where where;
};

// Most telling habits first: when a long word allows many rewrites, the cap
// keeps these.
constexpr Habit kHabits[] = {
    {"c", "ch", Where::NotBeforeH},  // korcen, kicu
    {"s", "ch", Where::NotBeforeH},  // kisu, ase, disen
    {"v", "bh", Where::NotBeforeH},  // vai, valo
    {"vh", "bh", Where::Anywhere},   // vhai
    {"v", "b", Where::NotBeforeH},   // korvo
    {"u", "o", Where::Anywhere},     // kuno, tumar
    {"a", "e", Where::WordStart},    // akono, akhon
    {"a", "o", Where::Anywhere},     // sahaj, the inherent vowel as a
    {"ai", "e", Where::WordStart},   // aita
    {"ei", "e", Where::WordStart},   // eita
    {"ee", "i", Where::Anywhere},    // jeeban, nodee
    {"ey", "e", Where::WordEnd},     // korey, amakey
    {"oo", "u", Where::Anywhere},    // shoondor
    {"aa", "a", Where::Anywhere},    // aamar
    {"ck", "k", Where::Anywhere},    // thick
    {"ii", "i", Where::Anywhere},    // nadii
    {"uu", "u", Where::Anywhere},    // puuja
    {"ph", "f", Where::Anywhere},    // phul
    {"kk", "k", Where::Anywhere},    // pakka
    {"ow", "o", Where::WordEnd},     // kow
    {"au", "o", Where::Anywhere},    // maudel
    {"ee", "e", Where::Anywhere},    // teenis
    {"c", "k", Where::NotBeforeH},   // konflict
    {"y", "i", Where::Anywhere},     // artilary
    {"x", "ks", Where::Anywhere},    // forex
    {"sh", "s", Where::Anywhere},    // proshtut
    {"w", "o", Where::Anywhere},     // mawdel
    {"oo", "o", Where::Anywhere},    // stoon
    {"z", "j", Where::Anywhere},     // zibon
    {"s", "sh", Where::NotBeforeH},  // sesh, bisoy
    {"k", "kh", Where::NotBeforeH},  // deka, kub
    {"t", "th", Where::NotBeforeH},  // kota, tik
    {"d", "dh", Where::NotBeforeH},  // dormo, bud
    {"b", "bh", Where::NotBeforeH},  // bul
    {"g", "gh", Where::NotBeforeH},  // gor, bag
    {"p", "ph", Where::NotBeforeH},  // pul
    {"j", "jh", Where::NotBeforeH},  // bujo
    {"o", "u", Where::Anywhere},     // bondho typed for bondhu
    {"ss", "cch", Where::Anywhere},  // hosse
    {"q", "k", Where::Anywhere},     // qoto
};

constexpr std::size_t kMaxTypedBytes = 24;
// A letter held down or repeated for emphasis (plzzz, vaiii): no key
// repeats a letter this often.
constexpr std::size_t kStretchedRun = 3;

bool IsPlainKey(const std::string& typed) {
    return !typed.empty() && typed.size() <= kMaxTypedBytes &&
           std::all_of(typed.begin(), typed.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

bool AppliesAt(const Habit& habit, const std::string& word, std::size_t at) {
    if (word.compare(at, std::char_traits<char>::length(habit.from), habit.from) != 0) return false;
    const std::size_t after = at + std::char_traits<char>::length(habit.from);
    switch (habit.where) {
        case Where::WordStart: return at == 0;
        case Where::WordEnd: return after == word.size();
        case Where::NotBeforeH: return after >= word.size() || word[after] != 'h';
        case Where::Anywhere: return true;
    }
    return false;
}

bool ShowsIn(const Habit& habit, const std::string& word) {
    for (std::size_t at = word.find(habit.from[0]); at != std::string::npos;
         at = word.find(habit.from[0], at + 1)) {
        if (AppliesAt(habit, word, at)) return true;
    }
    return false;
}

// The word with the habit undone everywhere it shows; the word unchanged when
// it shows nowhere.
std::string Undo(const Habit& habit, const std::string& word) {
    std::string out;
    const std::size_t fromLength = std::char_traits<char>::length(habit.from);
    for (std::size_t i = 0; i < word.size();) {
        if (AppliesAt(habit, word, i)) {
            out += habit.to;
            i += fromLength;
        } else {
            out += word[i++];
        }
    }
    return out;
}

// The word with every run of kStretchedRun or more equal letters cut to
// `keep` letters.
std::string ShortenStretchedRuns(const std::string& word, std::size_t keep) {
    std::string out;
    for (std::size_t i = 0; i < word.size();) {
        std::size_t run = 1;
        while (i + run < word.size() && word[i + run] == word[i]) ++run;
        out.append(run >= kStretchedRun ? keep : run, word[i]);
        i += run;
    }
    return out;
}

void AddKey(std::vector<std::string>& keys, const std::string& typed, const std::string& key) {
    if (keys.size() >= InformalSpelling::kMaxAlternatives || key == typed) return;
    if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
}

}  // namespace

std::vector<std::string> InformalSpelling::AlternativeKeys(const std::string& typed) {
    std::vector<std::string> keys;
    if (!IsPlainKey(typed)) return keys;
    keys.reserve(kMaxAlternatives);
    // A stretched word is read as its plain letters first, and the habits
    // are undone on those.
    const std::string plain = ShortenStretchedRuns(typed, 1);
    if (plain != typed) {
        AddKey(keys, typed, plain);
        AddKey(keys, typed, ShortenStretchedRuns(typed, 2));
    }
    std::vector<const Habit*> shown;
    std::vector<std::string> singles;
    shown.reserve(std::size(kHabits));
    singles.reserve(std::size(kHabits));
    for (const Habit& habit : kHabits) {
        if (!ShowsIn(habit, plain)) continue;
        std::string undone = Undo(habit, plain);
        if (undone == plain) continue;
        shown.push_back(&habit);
        singles.push_back(std::move(undone));
    }
    for (const std::string& single : singles) AddKey(keys, typed, single);
    // Then pairs, ordered by their less telling habit: the pairs of the
    // first habits before those of later ones.
    for (std::size_t second = 1; second < shown.size(); ++second) {
        for (std::size_t first = 0; first < second; ++first) {
            if (keys.size() >= kMaxAlternatives) return keys;
            AddKey(keys, typed, Undo(*shown[second], singles[first]));
        }
    }
    return keys;
}

}  // namespace bangla
