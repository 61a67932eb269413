#include "universal/diagnostics_report.h"

#include <cstdarg>
#include <cstdio>

#include "universal/hook_decision.h"

namespace qorva::universal {
namespace {

const char* YesNo(bool value) { return value ? "yes" : "no"; }

constexpr char kPhoneticOnly[] =
    "every candidate, the test words below too, is a rough phonetic spelling.\n";

bool LexiconLoaded(const DiagnosticsFacts& f) { return f.engineCreated && f.lexiconEntries > 0; }

// The plain statement ahead of everything else when the engine has no lexicon to rank words from.
void ReportMissingLexicon(std::string& r, const DiagnosticsFacts& f) {
    if (LexiconLoaded(f)) return;
    if (f.lexiconPath.empty()) {
        Report(r, "lexicon.bin not found: %s", kPhoneticOnly);
        const char* label = "  looked for it at: ";
        for (const std::string& place : f.lexiconSearched) {
            Report(r, "%s%s\n", label, place.c_str());
            label = "                    ";
        }
    } else if (f.engineCreated) {
        Report(r, "lexicon.bin could not be loaded (damaged or unreadable): %s", kPhoneticOnly);
        Report(r, "  file: %s\n", f.lexiconPath.c_str());
    } else {
        return;
    }
    Report(r, "\n");
}

void ReportLexiconLine(std::string& r, const DiagnosticsFacts& f) {
    Report(r, "  lexicon            : ");
    if (f.lexiconPath.empty()) {
        if (LexiconLoaded(f)) {
            Report(r, "(not found there; one of %u entries from the current folder)\n",
                   f.lexiconEntries);
        } else {
            Report(r, "(not found!)\n");
        }
    } else if (LexiconLoaded(f)) {
        Report(r, "%s (%u entries)\n", f.lexiconPath.c_str(), f.lexiconEntries);
    } else {
        Report(r, "%s%s\n", f.lexiconPath.c_str(), f.engineCreated ? " (NOT LOADED)" : "");
    }
}

const char* EngineCreatedWord(const DiagnosticsFacts& f) {
    if (!f.engineCreated) return "NO";
    return LexiconLoaded(f) ? "yes" : "yes, without a lexicon (phonetic spellings only)";
}

}  // namespace

void Report(std::string& report, const char* format, ...) {
    char buffer[1024] = {};
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(buffer, sizeof(buffer), format, arguments);
    va_end(arguments);
    report += buffer;
}

std::vector<std::pair<std::string, std::string>> TestWordResults(BanglaEngineHandle engine) {
    std::vector<std::pair<std::string, std::string>> results;
    if (!engine) return results;
    for (const char* word : kDiagnosticsTestWords) {
        EngineCandidateList list{};
        BanglaEngine_SetComposition(engine, word);
        BanglaEngine_GetCandidates(engine, &list);
        results.emplace_back(word, list.count > 0 ? list.candidates[0].text : "");
    }
    return results;
}

std::string BuildDiagnosticsReport(const DiagnosticsFacts& f) {
    std::string r;
    ReportMissingLexicon(r, f);
    Report(r, "QORVA UNIVERSAL MODE - DIAGNOSTICS\n");
    Report(r, "==================================\n\n");
    Report(r, "[engine]\n");
    ReportLexiconLine(r, f);
    Report(r, "  user dictionary    : %s\\user_dict.txt (shared with TSF; not read by --check)\n",
           f.dataFolder.c_str());
    Report(r, "  engine created     : %s\n", EngineCreatedWord(f));
    if (f.engineCreated) {
        for (const auto& [word, first] : f.testWords) {
            Report(r, "  %-12s -> %s\n", word.c_str(), first.c_str());
        }
    }
    Report(r, "\n[focused window]\n");
    Report(r, "  process             : %s\n",
           f.processPath.empty() ? "(none)" : f.processPath.c_str());
    Report(r, "  keyboard layout     : 0x%04X %s\n", static_cast<unsigned>(f.layoutLanguage),
           f.layoutLanguage == kBengaliLanguage ? "(Bengali - Qorva selected)" : "(not Bengali)");
    Report(r, "  qorva_tsf.dll there: %s\n",
           f.tsfLoaded ? "yes (TSF in charge)" : "no (universal can help)");
    Report(r, "\n[policy]\n");
    Report(r, "  host enabled        : %s\n", YesNo(f.hostEnabled));
    Report(r, "  input mode          : %s\n", InputModeWord(f.inputMode));
    Report(r, "  would handle keys   : %s\n", f.wouldHandle ? "YES" : "no");
    Report(r, "\n[hook]\n");
    Report(r, "  keyboard hook test  : %s\n", f.hookInstalled ? "installed OK" : "FAILED");
    Report(r, "\nNo hook is left installed by --check.\n");
    return r;
}

}  // namespace qorva::universal
