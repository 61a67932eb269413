#pragma once

#include <string>

namespace qorva {

// Turns the body of a translation reply into polished English (UTF-8): the first JSON string of
// the reply, tidied into one sentence. `out` is emptied first; false, with `out` empty, when the
// reply holds no usable translation. Pure: safe on any thread.
bool ParseTranslationResponse(const std::string& reply, std::string& out);

}  // namespace qorva
