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
    facts.lexiconSearched = {facts.lexiconPath};
    facts.engineCreated = true;
    facts.lexiconEntries = 381978;
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
              "  lexicon            : C:\\Program Files\\Qorva\\data\\lexicon.bin "
              "(381978 entries)\n"
              "  user dictionary    : C:\\Users\\Rina\\AppData\\Roaming\\Pelorin\\user_dict.txt "
              "(shared with TSF; not read by --check)\n"
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

// Without a lexicon the test words are phonetic spellings: the report says so before anything
// else, and "engine created" does not pass for a working engine.
TEST(DiagnosticsReportTest, ALexiconThatDidNotLoadIsTheFirstLine) {
    const std::string kFile = "C:\\Qorva\\data\\lexicon.bin";
    const std::string kPhonetic =
        "every candidate, the test words below too, is a rough phonetic spelling.\n";
    const std::string kWithout = "yes, without a lexicon (phonetic spellings only)";
    const struct {
        std::string path;
        bool engineCreated;
        uint32_t entries;
        std::string firstLines;  // what comes before the heading
        std::string lexiconLine;
        std::string engineLine;
    } cases[] = {
        {kFile, true, 5, "", kFile + " (5 entries)", "yes"},
        {"", true, 0,
         "lexicon.bin not found: " + kPhonetic +
             "  looked for it at: C:\\Qorva\\data\\lexicon.bin\n" +
             "                    C:\\Users\\Rina\\lexicon.bin\n\n",
         "(not found!)", kWithout},
        {kFile, true, 0,
         "lexicon.bin could not be loaded (damaged or unreadable): " + kPhonetic +
             "  file: " + kFile + "\n\n",
         kFile + " (NOT LOADED)", kWithout},
        {"", true, 7, "", "(not found there; one of 7 entries from the current folder)", "yes"},
        {kFile, false, 0, "", kFile, "NO"},
        {"", false, 0,
         "lexicon.bin not found: " + kPhonetic +
             "  looked for it at: C:\\Qorva\\data\\lexicon.bin\n" +
             "                    C:\\Users\\Rina\\lexicon.bin\n\n",
         "(not found!)", "NO"},
    };
    for (const auto& c : cases) {
        DiagnosticsFacts facts;
        facts.lexiconPath = c.path;
        facts.lexiconSearched = {kFile, "C:\\Users\\Rina\\lexicon.bin"};
        facts.engineCreated = c.engineCreated;
        facts.lexiconEntries = c.entries;
        facts.testWords = {{"ami", "a"}};
        const std::string report = BuildDiagnosticsReport(facts);
        const std::string heading = "QORVA UNIVERSAL MODE - DIAGNOSTICS\n";
        EXPECT_EQ(report.substr(0, report.find(heading)), c.firstLines) << report;
        EXPECT_NE(report.find("  lexicon            : " + c.lexiconLine + "\n"), std::string::npos)
            << report;
        EXPECT_NE(report.find("  engine created     : " + c.engineLine + "\n"), std::string::npos)
            << report;
        EXPECT_EQ(report.find("  ami          -> a\n") != std::string::npos, c.engineCreated)
            << report;
    }
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
