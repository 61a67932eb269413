// The top bar's add-word dialog without the window system: where it opens, which fields it
// refuses, how a pair reaches both word files of the data folder and the running engine, and what
// it tells the user afterwards. Portable.
#pragma once

#include <cstdint>
#include <string>

#include "engine/bangla_engine.h"
#include "tsf/candidate_layout.h"

namespace qorva::universal {

using qorva_tsf::LayoutPoint;
using qorva_tsf::LayoutRect;

inline constexpr int32_t kAddWordDialogWidth = 390;
inline constexpr int32_t kAddWordDialogHeight = 255;
// What user_dict.txt gives a word added by hand: a count that ranks it among the user's own words.
inline constexpr uint32_t kAddedWordFrequency = 100;

inline constexpr wchar_t kAddWordTitle[] = L"Qorva Word Manager";

// The dialog's top-left corner: centred under the bar (its window rectangle and current width),
// kept inside the screen's sides, and above the bar when there is no room below it.
LayoutPoint AddWordDialogPosition(const LayoutRect& barWindow, int32_t barWidth,
                                  int32_t screenWidth, int32_t screenHeight);

enum class AddWordFields {
    Ok,
    Missing,      // the key or the word is empty
    BreaksLines,  // a tab, CR or LF, which would shift or split the files' columns
};

AddWordFields CheckAddWordFields(const std::wstring& key, const std::wstring& word);

// The warning for fields that are not Ok.
const wchar_t* AddWordFieldsWarning(AddWordFields fields);

// Which files took the pair.
struct AddWordWrites {
    bool wordList = false;    // personal_dict.txt, the dashboard's list
    bool dictionary = false;  // user_dict.txt, the engines' words
};

// Appends the pair to personal_dict.txt and user_dict.txt in `dataFolder`, and gives it to the
// running engine (when there is one) so that it is offered at once; the engine's save then keeps
// the file's line. An empty folder writes nothing.
AddWordWrites AddWordToDataFolder(const std::wstring& dataFolder, const std::wstring& key,
                                  const std::wstring& word, BanglaEngineHandle runningEngine);

struct AddWordReport {
    std::wstring text;
    bool warning = false;
};

// What the dialog says once it wrote: success only when both files took the pair, otherwise a
// warning naming the files that did not.
AddWordReport ReportOfAddWord(const AddWordWrites& writes);

}  // namespace qorva::universal
