// Voice typing from the top bar: starts and stops over a recorder, sounds and a transcription that
// are recorded instead of run, and the transcription thread's work over a made-up speech service.
#include "universal/voice_typing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"

namespace qorva::universal {
namespace {

// Records what voice typing asked of the window side, in order.
class FakeBar {
public:
    VoiceConfig config{"gemini", "key", "gemini-3.6-flash", "bn"};
    bool microphoneOpens = true;
    Samples recorded = {1, 2, 3};
    std::vector<std::string> events;
    std::vector<Samples> transcriptions;

    VoiceTypingPorts Ports() {
        VoiceTypingPorts ports;
        ports.loadConfig = [this] {
            events.push_back("load");
            return config;
        };
        ports.startRecording = [this] {
            events.push_back("start");
            return microphoneOpens;
        };
        ports.stopRecording = [this] {
            events.push_back("stop");
            return recorded;
        };
        ports.playSystemSound = [this](const wchar_t* alias) {
            events.push_back("sound " + Utf16ToUtf8(alias));
        };
        ports.launchSettings = [this](const wchar_t* arguments) {
            events.push_back("settings " + Utf16ToUtf8(arguments));
        };
        ports.startTranscription = [this](Samples samples, VoiceConfig given) {
            events.push_back("transcribe with " + given.api_key);
            transcriptions.push_back(std::move(samples));
        };
        ports.redrawButton = [this] { events.push_back("redraw"); };
        return ports;
    }
};

using Events = std::vector<std::string>;

TEST(VoiceTypingTest, StartListensAndStopHandsTheSamplesToATranscription) {
    FakeBar bar;
    VoiceTyping voice;
    EXPECT_EQ(voice.ButtonState(), VoiceButtonState::Idle);

    voice.Toggle(bar.Ports());
    EXPECT_EQ(bar.events, (Events{"load", "start", "sound SystemQuestion", "redraw"}));
    EXPECT_EQ(voice.ButtonState(), VoiceButtonState::Listening);

    bar.events.clear();
    voice.Toggle(bar.Ports());
    EXPECT_EQ(bar.events,
              (Events{"stop", "redraw", "sound SystemAsterisk", "transcribe with key"}));
    EXPECT_EQ(bar.transcriptions, (std::vector<Samples>{{1, 2, 3}}));
    EXPECT_EQ(voice.ButtonState(), VoiceButtonState::Transcribing);

    // A new recording may begin before the transcription ends: the button then shows red.
    bar.events.clear();
    voice.Toggle(bar.Ports());
    EXPECT_TRUE(voice.Recording());
    EXPECT_TRUE(voice.Transcribing());
    EXPECT_EQ(voice.ButtonState(), VoiceButtonState::Listening);
}

TEST(VoiceTypingTest, WithoutAnApiKeyNothingIsRecordedAndTheSettingsOpenAtVoiceTyping) {
    FakeBar bar;
    bar.config.api_key.clear();
    VoiceTyping voice;
    voice.Toggle(bar.Ports());
    EXPECT_EQ(bar.events, (Events{"load", "sound SystemHand", "settings -voice"}));
    EXPECT_EQ(voice.ButtonState(), VoiceButtonState::Idle);
}

// voice.json is read at every start: a key entered after a refused start counts at the next one.
TEST(VoiceTypingTest, EachStartReadsTheSettingsAgain) {
    FakeBar bar;
    bar.config.api_key.clear();
    VoiceTyping voice;
    voice.Toggle(bar.Ports());
    bar.config.api_key = "new";
    voice.Toggle(bar.Ports());
    EXPECT_TRUE(voice.Recording());
    EXPECT_EQ(voice.Config().api_key, "new");
}

TEST(VoiceTypingTest, AMicrophoneThatCannotBeOpenedChangesNothing) {
    FakeBar bar;
    bar.microphoneOpens = false;
    VoiceTyping voice;
    voice.Toggle(bar.Ports());
    EXPECT_EQ(bar.events, (Events{"load", "start"}));
    EXPECT_EQ(voice.ButtonState(), VoiceButtonState::Idle);
}

TEST(VoiceTypingTest, StoppingARecordingWithoutSamplesStartsNoTranscription) {
    FakeBar bar;
    bar.recorded.clear();
    VoiceTyping voice;
    voice.Toggle(bar.Ports());
    bar.events.clear();
    voice.Toggle(bar.Ports());
    EXPECT_EQ(bar.events, (Events{"stop", "redraw", "sound SystemAsterisk", "redraw"}));
    EXPECT_TRUE(bar.transcriptions.empty());
    EXPECT_EQ(voice.ButtonState(), VoiceButtonState::Idle);
}

// The thread clears the flag before it types, and types the transcript as it came: one down and
// one up per UTF-16 unit, all in one call, no space after it.
TEST(VoiceTypingTest, TranscriptionTypesTheTextInOneCallOrSoundsTheFailure) {
    struct Case {
        const char* name;
        std::string transcript;
        Events events;
        std::vector<size_t> sentSizes;
    };
    const Case cases[] = {
        {"three units",
         "\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xBF",  // আমি
         {"cleared", "redraw", "sound SystemDefault", "pause 60", "send"},
         {6}},
        {"a character beyond the plane, two units",
         "\xF0\x9F\x98\x80",
         {"cleared", "redraw", "sound SystemDefault", "pause 60", "send"},
         {4}},
        {"nothing recognised", "", {"cleared", "redraw", "sound SystemHand"}, {}},
    };
    for (const Case& c : cases) {
        std::atomic<bool> transcribing{true};
        Events events;
        std::vector<size_t> sentSizes;
        Keystrokes sent;
        TranscriptionPorts ports;
        ports.transcribe = [&](const Samples& samples, const VoiceConfig& config) {
            EXPECT_EQ(samples, (Samples{7, 8}));
            EXPECT_EQ(config.api_key, "key");
            return c.transcript;
        };
        ports.redrawButton = [&] {
            if (!transcribing.load()) events.push_back("cleared");
            events.push_back("redraw");
        };
        ports.playSystemSound = [&](const wchar_t* alias) {
            events.push_back("sound " + Utf16ToUtf8(alias));
        };
        ports.pause = [&](uint32_t ms) { events.push_back("pause " + std::to_string(ms)); };
        ports.send = [&](const Keystrokes& keys) {
            events.push_back("send");
            sentSizes.push_back(keys.size());
            sent = keys;
        };
        RunTranscription({7, 8}, VoiceConfig{"gemini", "key", "", "bn"}, transcribing, ports);
        EXPECT_FALSE(transcribing.load()) << c.name;
        EXPECT_EQ(events, c.events) << c.name;
        EXPECT_EQ(sentSizes, c.sentSizes) << c.name;
        if (!sent.empty()) {
            EXPECT_EQ(sent, TranscriptKeystrokes(Utf8ToUtf16(c.transcript)));
        }
    }
    const Keystrokes keys = TranscriptKeystrokes(L"আমি");
    ASSERT_EQ(keys.size(), 6u);
    EXPECT_EQ(keys[0], (KeyRecord{0, 0x0986, kUnicode}));
    EXPECT_EQ(keys[1], (KeyRecord{0, 0x0986, kUnicode | kKeyUp}));
    EXPECT_EQ(keys[5], (KeyRecord{0, 0x09BF, kUnicode | kKeyUp}));
}

TEST(VoiceTypingTest, ButtonShowsRedWhileListeningBlueWhileOnlyTranscribing) {
    EXPECT_EQ(VoiceButtonStateOf(false, false), VoiceButtonState::Idle);
    EXPECT_EQ(VoiceButtonStateOf(true, false), VoiceButtonState::Listening);
    EXPECT_EQ(VoiceButtonStateOf(true, true), VoiceButtonState::Listening);
    EXPECT_EQ(VoiceButtonStateOf(false, true), VoiceButtonState::Transcribing);
}

}  // namespace
}  // namespace qorva::universal
