// What the composition tests share: a private per-user data folder with a small lexicon and a
// settings file, and a text service with the real composition manager driven through the
// framework stand-ins key by key.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/lexicon_trie.h"
#include "tests/support/temp_app_data.h"
#include "tests/tsf/tsf_doubles.h"
#include "tsf/composition_handler.h"
#include "tsf/online_services.h"
#include "tsf/text_service.h"
#include "universal/mode_ipc.h"

namespace qorva_tsf_test {

using qorva_test::ReadFileBytes;
using qorva_test::TempAppData;
using qorva_test::WriteFileBytes;

// The words the composition tests type.
std::vector<bangla::LexiconEntry> SmallLexicon();

// A text service with the real composition manager, activated on stand-ins of the framework,
// typing into `document`. The shared typing mode starts in Bangla; online clients stay offline.
class CompositionServiceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Presses keys as the framework delivers them. Plain characters are keys ('a' to 'z' letters,
    // digits, ' ' Space, '.' full stop); named keys go in braces: {enter} {esc} {bs} {up} {down}.
    void Press(const std::string& keys);
    qorva_tsf::CompositionManager& Manager() { return handler_->Manager(); }
    void Activate();
    void Deactivate();
    // The document the keys go to.
    void Focus(FakeContext* context) { threadMgr_->focus = context; }

    TempAppData appData_;
    // Where the online helpers of the text service that SetUp makes send their requests; a derived
    // fixture points them elsewhere before SetUp.
    qorva_tsf::OnlineServices online_ = qorva_tsf::DefaultOnlineServices();
    FakeThreadMgr* threadMgr_ = nullptr;
    FakeContext* document_ = nullptr;
    qorva_tsf::TextService* service_ = nullptr;
    qorva_tsf::ManagedCompositionHandler* handler_ = nullptr;
    bool active_ = false;
};

}  // namespace qorva_tsf_test
