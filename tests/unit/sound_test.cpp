// The one-sound rules of sndPlaySoundA, checked against the recording fake device, and the
// fake's own WAV header reading.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

#include "hosts/headless/fake_audio_output.h"
#include "os/sound.h"
#include "support/temp_dir.h"
#include "support/test_wav.h"

namespace {

namespace fs = std::filesystem;
using hosts::FakeAudioOutput;

constexpr os::UINT kBackgroundFlags = os::SND_ASYNC | os::SND_NODEFAULT | os::SND_LOOP |
                                      os::SND_NOSTOP;                     // 27
constexpr os::UINT kThunderFlags = os::SND_ASYNC | os::SND_NODEFAULT;     // 3
constexpr os::UINT kStopFlags = os::SND_NODEFAULT;                        // 2

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp_.ok());
        background_ = dir_ + "/planes.wav";
        thunder_ = dir_ + "/thunder.wav";
        // 8 kHz mono, 16 bits: 8000 frames last 1000 ms, 12000 frames 1500 ms.
        test_wav::WriteFile(background_, test_wav::Pcm16(std::vector<std::int16_t>(8000, 1), 1, 8000));
        test_wav::WriteFile(thunder_, test_wav::Pcm16(std::vector<std::int16_t>(12000, 2), 1, 8000));
        auto fake = std::make_unique<FakeAudioOutput>(1, [this] { return now_; });
        fake_ = fake.get();
        os::InstallAudioOutput(std::move(fake));
    }
    void TearDown() override {
        os::InstallAudioOutput(nullptr);
    }

    tavro_test::TempDir temp_{"tavro-sound"};
    const std::string dir_ = temp_.path();
    std::string background_, thunder_;
    std::uint64_t now_ = 1000;
    FakeAudioOutput* fake_ = nullptr;
};

TEST_F(SoundTest, LoopingBackgroundPlaysOnPastItsLength) {
    EXPECT_EQ(os::sndPlaySoundA(background_.c_str(), kBackgroundFlags), 1);
    now_ += 5000;
    EXPECT_EQ(fake_->Playing(), background_);
    ASSERT_EQ(fake_->Plays().size(), 1u);
    EXPECT_TRUE(fake_->Plays()[0].loop);
}

TEST_F(SoundTest, NoStopRequestGivesUpWhileAnySoundPlays) {
    ASSERT_EQ(os::sndPlaySoundA(thunder_.c_str(), kThunderFlags), 1);
    now_ += 1499;
    EXPECT_EQ(os::sndPlaySoundA(background_.c_str(), kBackgroundFlags), 0);
    EXPECT_EQ(fake_->Playing(), thunder_);
    EXPECT_EQ(fake_->Plays().size(), 1u);
    EXPECT_EQ(fake_->Interruptions(), 0);
}

TEST_F(SoundTest, ThunderCutsTheLoopOffAndTheLoopReturnsAfterIt) {
    // The frame tick asks for the background on every frame; the event tick claps once.
    ASSERT_EQ(os::sndPlaySoundA(background_.c_str(), kBackgroundFlags), 1);
    now_ += 40;
    EXPECT_EQ(os::sndPlaySoundA(background_.c_str(), kBackgroundFlags), 0);
    ASSERT_EQ(os::sndPlaySoundA(thunder_.c_str(), kThunderFlags), 1);
    EXPECT_EQ(fake_->Interruptions(), 1);
    EXPECT_EQ(fake_->Playing(), thunder_);

    for (int frame = 0; frame < 37; ++frame) {  // 37 x 40 ms = 1480 ms, the clap goes on
        now_ += 40;
        EXPECT_EQ(os::sndPlaySoundA(background_.c_str(), kBackgroundFlags), 0);
    }
    EXPECT_EQ(fake_->Playing(), thunder_);
    now_ += 40;  // 1520 ms after the clap began: it has ended
    EXPECT_FALSE(fake_->Playing().has_value());
    EXPECT_EQ(os::sndPlaySoundA(background_.c_str(), kBackgroundFlags), 1);
    EXPECT_EQ(fake_->Playing(), background_);
    ASSERT_EQ(fake_->Plays().size(), 3u);
    EXPECT_EQ(fake_->Plays()[2].path, background_);
    EXPECT_TRUE(fake_->Plays()[2].loop);
    EXPECT_EQ(fake_->Interruptions(), 1);
}

TEST_F(SoundTest, EmptyOrNullNameStopsTheSound) {
    ASSERT_EQ(os::sndPlaySoundA(background_.c_str(), kBackgroundFlags), 1);
    EXPECT_EQ(os::sndPlaySoundA("", kStopFlags), 1);
    EXPECT_FALSE(fake_->Playing().has_value());
    EXPECT_EQ(fake_->Interruptions(), 1);

    ASSERT_EQ(os::sndPlaySoundA(background_.c_str(), kBackgroundFlags), 1);
    EXPECT_EQ(os::sndPlaySoundA(nullptr, kStopFlags), 1);
    EXPECT_FALSE(fake_->Playing().has_value());
    EXPECT_EQ(fake_->Plays().size(), 2u);  // stopping plays nothing
}

TEST_F(SoundTest, MissingFilePlaysNothingButStillStopsWhatPlayed) {
    ASSERT_EQ(os::sndPlaySoundA(background_.c_str(), kBackgroundFlags), 1);
    std::string missing = dir_ + "/nothing-here.wav";
    EXPECT_EQ(os::sndPlaySoundA(missing.c_str(), kThunderFlags), 0);
    EXPECT_FALSE(fake_->Playing().has_value());
    EXPECT_EQ(fake_->Plays().size(), 1u);
    EXPECT_EQ(fake_->Interruptions(), 1);
}

TEST_F(SoundTest, MissingFileWithNoStopLeavesThePlayingSoundAlone) {
    ASSERT_EQ(os::sndPlaySoundA(thunder_.c_str(), kThunderFlags), 1);
    std::string missing = dir_ + "/nothing-here.wav";
    EXPECT_EQ(os::sndPlaySoundA(missing.c_str(), kBackgroundFlags), 0);
    EXPECT_EQ(fake_->Playing(), thunder_);
}

TEST_F(SoundTest, UndecodableFilePlaysNothingAndIsNotTriedAgainUntilItChanges) {
    std::string garbage = dir_ + "/noise.wav";
    test_wav::WriteFile(garbage, {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v', 'e'});
    ASSERT_EQ(os::sndPlaySoundA(background_.c_str(), kBackgroundFlags), 1);
    EXPECT_EQ(os::sndPlaySoundA(garbage.c_str(), kThunderFlags), 0);
    EXPECT_FALSE(fake_->Playing().has_value());
    ASSERT_EQ(fake_->Plays().size(), 2u);
    EXPECT_FALSE(fake_->Plays()[1].accepted);

    // Asked for on every frame, the refused file reaches the device no more; once it has
    // changed it is tried again.
    for (int frame = 0; frame < 10; ++frame)
        EXPECT_EQ(os::sndPlaySoundA(garbage.c_str(), kBackgroundFlags), 0);
    EXPECT_EQ(fake_->Plays().size(), 2u);
    fs::copy_file(background_, garbage, fs::copy_options::overwrite_existing);
    EXPECT_EQ(os::sndPlaySoundA(garbage.c_str(), kBackgroundFlags), 1);
    EXPECT_EQ(fake_->Playing(), garbage);
}

TEST_F(SoundTest, NoDeviceSkipsEveryRequestTheStopIncluded) {
    ASSERT_EQ(os::sndPlaySoundA(background_.c_str(), kBackgroundFlags), 1);
    fake_->SetDeviceCount(0);
    EXPECT_EQ(os::waveOutGetNumDevs(), 0u);
    EXPECT_EQ(os::sndPlaySoundA("", kStopFlags), 0);
    EXPECT_EQ(os::sndPlaySoundA(thunder_.c_str(), kThunderFlags), 0);
    EXPECT_EQ(fake_->Plays().size(), 1u);
    EXPECT_EQ(fake_->Interruptions(), 0);
    EXPECT_EQ(fake_->Playing(), background_);  // nothing reached the device

    os::InstallAudioOutput(nullptr);
    fake_ = nullptr;
    EXPECT_EQ(os::waveOutGetNumDevs(), 0u);
    EXPECT_EQ(os::sndPlaySoundA(thunder_.c_str(), kThunderFlags), 0);
}

TEST_F(SoundTest, SynchronousRequestWaitsForTheEndButALoopNeverWaits) {
    EXPECT_EQ(os::sndPlaySoundA(thunder_.c_str(), kStopFlags), 1);
    ASSERT_EQ(fake_->SyncWaits().size(), 1u);
    EXPECT_EQ(fake_->SyncWaits()[0], 1500u);
    EXPECT_FALSE(fake_->Playing().has_value());

    EXPECT_EQ(os::sndPlaySoundA(background_.c_str(), os::SND_LOOP | os::SND_NODEFAULT), 1);
    EXPECT_EQ(fake_->SyncWaits().size(), 1u);
    EXPECT_EQ(fake_->Playing(), background_);
}

TEST_F(SoundTest, RelativeNameIsFoundInTheCurrentFolderWithBackslashesAndAnyCase) {
    fs::create_directory(dir_ + "/Media");
    std::string inner = dir_ + "/Media/Rain.Wav";
    fs::copy_file(thunder_, inner);
    std::string previous = fs::current_path();
    fs::current_path(dir_);
    os::BOOL played = os::sndPlaySoundA("media\\RAIN.wav", kThunderFlags);
    fs::current_path(previous);
    EXPECT_EQ(played, 1);
    ASSERT_TRUE(fake_->Playing().has_value());
    EXPECT_TRUE(fs::equivalent(*fake_->Playing(), inner));
}

TEST_F(SoundTest, DurationComesFromTheHeaderOrFromTheTest) {
    ASSERT_EQ(os::sndPlaySoundA(thunder_.c_str(), kThunderFlags), 1);
    now_ += 1499;
    EXPECT_TRUE(fake_->Playing().has_value());
    now_ += 1;
    EXPECT_FALSE(fake_->Playing().has_value());

    fake_->SetDuration("thunder.wav", 200);
    ASSERT_EQ(os::sndPlaySoundA(thunder_.c_str(), kThunderFlags), 1);
    now_ += 199;
    EXPECT_TRUE(fake_->Playing().has_value());
    now_ += 1;
    EXPECT_FALSE(fake_->Playing().has_value());
}

// --- the fake's WAV header reader ------------------------------------------------------

std::vector<std::uint8_t> StereoWav(std::size_t frames) {
    return test_wav::Pcm16(std::vector<std::int16_t>(frames * 2, 7), 2, 22050);
}

TEST(WavHeaderTest, ReadsFormatAndDuration) {
    std::vector<std::uint8_t> wav = StereoWav(22050 / 2);
    auto info = os::ParseWavHeader(wav.data(), wav.size());
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->channels, 2);
    EXPECT_EQ(info->sample_rate, 22050u);
    EXPECT_EQ(info->block_align, 4);
    EXPECT_EQ(info->data_bytes, 22050u * 2);
    EXPECT_EQ(info->DurationMs(), 500u);
}

TEST(WavHeaderTest, DataChunkLongerThanTheFileIsCutToWhatIsThere) {
    std::vector<std::uint8_t> wav = StereoWav(1000);
    wav.resize(wav.size() - 400);  // the header still claims 4000 data bytes
    auto info = os::ParseWavHeader(wav.data(), wav.size());
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->data_bytes, 3600u);
}

TEST(WavHeaderTest, SkipsUnknownChunksWithTheirPadding) {
    std::vector<std::uint8_t> wav = StereoWav(10);
    // An odd-sized "LIST" chunk between "fmt " and "data" is padded to an even length.
    std::vector<std::uint8_t> extra = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    wav.insert(wav.begin() + 36, extra.begin(), extra.end());
    auto info = os::ParseWavHeader(wav.data(), wav.size());
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->data_bytes, 40u);
}

TEST(WavHeaderTest, RejectsWhatIsNotAnUncompressedWave) {
    std::vector<std::uint8_t> wav = StereoWav(10);
    EXPECT_FALSE(os::ParseWavHeader(wav.data(), 11).has_value());  // cut inside the header
    EXPECT_FALSE(os::ParseWavHeader(wav.data(), 30).has_value());  // cut inside "fmt "
    EXPECT_FALSE(os::ParseWavHeader(nullptr, 0).has_value());

    std::vector<std::uint8_t> not_riff = wav;
    not_riff[0] = 'X';
    EXPECT_FALSE(os::ParseWavHeader(not_riff.data(), not_riff.size()).has_value());

    std::vector<std::uint8_t> compressed = wav;
    compressed[20] = 2;  // format tag 2: a compressed coding
    EXPECT_FALSE(os::ParseWavHeader(compressed.data(), compressed.size()).has_value());

    std::vector<std::uint8_t> no_rate = wav;
    std::fill(no_rate.begin() + 24, no_rate.begin() + 28, 0);
    EXPECT_FALSE(os::ParseWavHeader(no_rate.data(), no_rate.size()).has_value());

    std::vector<std::uint8_t> huge_chunk = wav;
    huge_chunk[16] = 0xFF;  // "fmt " claims far more than the file holds
    huge_chunk[17] = 0xFF;
    huge_chunk[18] = 0xFF;
    huge_chunk[19] = 0x7F;
    EXPECT_FALSE(os::ParseWavHeader(huge_chunk.data(), huge_chunk.size()).has_value());
}

}  // namespace
