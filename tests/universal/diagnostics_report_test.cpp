// The diagnostics report's text, as "--check" writes it to universal_check.txt.
#include "universal/diagnostics_report.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/engine_fixtures.h"

namespace qorva::universal {
namespace {

const std::string kAmi = "\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF";  // আমি

TEST(DiagnosticsReportTest, EveryLineInItsPlace) {
    DiagnosticsFacts facts;
    facts.lexiconPath = "C:\\Program Files\\Qorva\\data\\lexicon.bin";
    facts.dataFolder = "C:\\Users\\Rina\\AppData\\Roaming\\Pelorin";
    facts.engineCreated = true;
    facts.testWords = {{"ami", kAmi}, {"poriborton", "x"}, {"somossa", ""}};
    facts.processPath = "C:\\Windows\\notepad.exe";
    facts.layoutLanguage = 0x0409;
    facts.tsfLoaded = false;
    facts.hostEnabled = true;
    facts.inputMode = InputMode::Universal;
    facts.wouldHandle = true;
    facts.hookInstalled = true;
    EXPECT_EQ(BuildDiagnosticsReport(facts),
              "QORVA UNIVERSAL MODE - DIAGNOSTICS\n"
              "==================================\n"
              "\n"
              "[engine]\n"
              "  lexicon            : C:\\Program Files\\Qorva\\data\\lexicon.bin\n"
              "  user dictionary    : C:\\Users\\Rina\\AppData\\Roaming\\Pelorin\\user_dict.txt "
              "(shared with TSF)\n"
              "  engine created     : yes\n"
              "  ami          -> " +
                  kAmi +
                  "\n"
                  "  poriborton   -> x\n"
                  "  somossa      -> \n"
                  "\n"
                  "[focused window]\n"
                  "  process             : C:\\Windows\\notepad.exe\n"
                  "  keyboard layout     : 0x0409 (not Bengali)\n"
                  "  qorva_tsf.dll there: no (universal can help)\n"
                  "\n"
                  "[policy]\n"
                  "  host enabled        : yes\n"
                  "  input mode          : universal\n"
                  "  would handle keys   : YES\n"
                  "\n"
                  "[hook]\n"
                  "  keyboard hook test  : installed OK\n"
                  "\n"
                  "No hook is left installed by --check.\n");
}

TEST(DiagnosticsReportTest, WhatWasNotFoundSaysSo) {
    DiagnosticsFacts facts;
    facts.testWords = {{"ami", kAmi}};  // without an engine no word is listed
    facts.layoutLanguage = 0x0845;
    facts.tsfLoaded = true;
    facts.inputMode = InputMode::TsfOnly;
    const std::string report = BuildDiagnosticsReport(facts);
    for (const char* line :
         {"  lexicon            : (not found!)\n", "  user dictionary    : \\user_dict.txt",
          "  engine created     : NO\n\n[focused window]\n", "  process             : (none)\n",
          "  keyboard layout     : 0x0845 (Bengali - Qorva selected)\n",
          "  qorva_tsf.dll there: yes (TSF in charge)\n", "  host enabled        : no\n",
          "  input mode          : tsf_only\n", "  would handle keys   : no\n",
          "  keyboard hook test  : FAILED\n"}) {
        EXPECT_NE(report.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(report.find("ami"), std::string::npos);
}

TEST(DiagnosticsReportTest, APieceLongerThan1023BytesIsCut) {
    std::string report = "start ";
    Report(report, "%s|", std::string(2000, 'p').c_str());
    EXPECT_EQ(report, "start " + std::string(1023, 'p'));
}

TEST(DiagnosticsReportTest, TestWordsAreTheEnginesFirstCandidates) {
    bangla::TempFolder folder("diagnostics");
    ASSERT_TRUE(bangla::WriteLexiconFile(folder.File("lexicon.bin"),
                                         {bangla::testing_support::Word(kAmi, "ami", 900)}));
    auto engine = bangla::testing_support::MakeEngine(folder.File("lexicon.bin"), "");
    const auto results = TestWordResults(engine.get());
    ASSERT_EQ(results.size(), 5u);
    EXPECT_EQ(results[0], (std::pair<std::string, std::string>{"ami", kAmi}));
    EXPECT_EQ(results[4].first, "sakkho");
    EXPECT_TRUE(TestWordResults(nullptr).empty());
}

}  // namespace
}  // namespace qorva::universal
