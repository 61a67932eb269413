#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "update/update_service.h"

// Reading of release feeds without a general JSON parser: a quoted key is found by plain byte
// search and the value after the next colon is read. The update cache reads its file the same way.
namespace qorva::release_feed {

// The maker's release page, the same for every release.
extern const char* const kReleasePageUrl;

// The value is written only when found.
bool ExtractJsonBool(const std::string& text, const std::string& key, bool& value);
bool ExtractJsonNumber(const std::string& text, const std::string& key, uint64_t& value,
                       std::size_t start = 0);
// end, when given, receives the index just after the closing quote.
bool ExtractJsonString(const std::string& text, const std::string& key, std::string& value,
                       std::size_t start = 0, std::size_t* end = nullptr);

// True when the object has a "tag_name" or a "version"; the record is left as it was otherwise.
bool ParseSingleReleaseObject(const std::string& text, ReleaseInfo& release);

}  // namespace qorva::release_feed
