// The SDL2 sound device, on SDL's "disk" driver (which writes every sample it is given to a
// file) and its silent "dummy" driver.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "hosts/sdl_audio/sdl_audio_output.h"
#include "os/sound.h"
#include "test_wav.h"

namespace {

namespace fs = std::filesystem;
using os::SdlAudioOutput;

// A stereo 16-bit clip at the device rate whose samples are all different and non-zero.
std::vector<std::int16_t> Marker(int frames) {
    std::vector<std::int16_t> samples;
    for (int i = 0; i < frames; ++i) {
        samples.push_back(static_cast<std::int16_t>(1000 + i));
        samples.push_back(static_cast<std::int16_t>(-1000 - i));
    }
    return samples;
}

// How many times needle appears in haystack.
int CountOccurrences(const std::vector<std::int16_t>& haystack,
                     const std::vector<std::int16_t>& needle) {
    int count = 0;
    auto it = haystack.begin();
    while ((it = std::search(it, haystack.end(), needle.begin(), needle.end())) !=
           haystack.end()) {
        ++count;
        it += static_cast<std::ptrdiff_t>(needle.size());
    }
    return count;
}

class SdlAudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tavro-sdl-audio-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        raw_ = dir_ + "/out.raw";
        const char* old = getenv("SDL_AUDIODRIVER");
        old_driver_ = old ? std::optional<std::string>(old) : std::nullopt;
    }
    void TearDown() override {
        if (old_driver_) setenv("SDL_AUDIODRIVER", old_driver_->c_str(), 1);
        else unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
        fs::remove_all(dir_);
    }
    void UseDiskDriver() {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", raw_.c_str(), 1);
    }
    std::string WriteMarkerWav(const std::string& name, int frames) {
        std::string path = dir_ + "/" + name;
        test_wav::WriteFile(path, test_wav::Pcm16(Marker(frames), 2, SdlAudioOutput::kRate));
        return path;
    }
    // The samples the disk driver wrote (read after the device is closed).
    std::vector<std::int16_t> WrittenSamples() {
        std::ifstream in(raw_, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
        std::vector<std::int16_t> samples(bytes.size() / 2);
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
        return samples;
    }

    std::string dir_, raw_;
    std::optional<std::string> old_driver_;
};

TEST_F(SdlAudioTest, DummyDriverOffersOneDevice) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SdlAudioOutput out;
    EXPECT_EQ(out.DeviceCount(), 1);
    EXPECT_FALSE(out.IsPlaying());
}

TEST_F(SdlAudioTest, DriverThatDoesNotExistOffersNoDevice) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    SdlAudioOutput out;
    EXPECT_EQ(out.DeviceCount(), 0);
    std::string wav = WriteMarkerWav("clip.wav", 100);
    EXPECT_FALSE(out.Play(wav, false));
}

TEST_F(SdlAudioTest, ClipPlaysOnceAndItsSamplesReachTheDevice) {
    UseDiskDriver();
    std::string wav = WriteMarkerWav("clip.wav", 2000);
    {
        SdlAudioOutput out;
        ASSERT_EQ(out.DeviceCount(), 1);
        ASSERT_TRUE(out.Play(wav, false));
        EXPECT_TRUE(out.IsPlaying());
        out.WaitUntilDone(3000);
        EXPECT_FALSE(out.IsPlaying());
        std::this_thread::sleep_for(std::chrono::milliseconds(100));  // a few more buffers of silence after the clip
    }
    std::vector<std::int16_t> written = WrittenSamples();
    EXPECT_EQ(CountOccurrences(written, Marker(2000)), 1);
}

TEST_F(SdlAudioTest, LoopRepeatsUntilStopped) {
    UseDiskDriver();
    std::string wav = WriteMarkerWav("loop.wav", 1500);  // 34 ms per pass
    {
        SdlAudioOutput out;
        ASSERT_TRUE(out.Play(wav, true));
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        EXPECT_TRUE(out.IsPlaying());
        out.Stop();
        EXPECT_FALSE(out.IsPlaying());
    }
    EXPECT_GE(CountOccurrences(WrittenSamples(), Marker(1500)), 3);
}

TEST_F(SdlAudioTest, OtherRatesAndLayoutsAreConvertedToTheDeviceFormat) {
    UseDiskDriver();
    struct Source {
        std::uint32_t rate;
        int channels;
    };
    // 100 ms of a constant level in each source must come out as 100 ms of stereo at the
    // device rate carrying the same level.
    for (Source source : {Source{11025, 1}, Source{8000, 1}, Source{48000, 2}}) {
        SCOPED_TRACE(testing::Message() << source.rate << " Hz x" << source.channels);
        std::vector<std::int16_t> level(source.rate / 10 * source.channels, 8000);
        std::string wav = dir_ + "/level.wav";
        test_wav::WriteFile(wav, test_wav::Pcm16(level, source.channels, source.rate));
        {
            SdlAudioOutput out;
            ASSERT_TRUE(out.Play(wav, false));
            out.WaitUntilDone(3000);
        }
        std::vector<std::int16_t> written = WrittenSamples();
        long loud = std::count_if(written.begin(), written.end(),
                                  [](std::int16_t s) { return s > 7000 && s < 9000; });
        EXPECT_NEAR(loud, 2 * SdlAudioOutput::kRate / 10, 100);
    }
}

TEST_F(SdlAudioTest, UndecodableFileIsRefusedAndSilenceFollows) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::string good = WriteMarkerWav("clip.wav", 44100);
    std::string bad = dir_ + "/bad.wav";
    test_wav::WriteFile(bad, {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'});
    SdlAudioOutput out;
    ASSERT_TRUE(out.Play(good, false));
    EXPECT_FALSE(out.Play(bad, false));
    EXPECT_FALSE(out.IsPlaying());
}

TEST_F(SdlAudioTest, FileWhoseDataIsCutShortIsRefused) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const std::string whole = WriteMarkerWav("whole.wav", 8000);
    std::vector<std::uint8_t> bytes;
    {
        std::ifstream in(whole, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ASSERT_GT(bytes.size(), 200u);
    bytes.resize(bytes.size() - 100);  // the header still claims the full data
    const std::string cut = dir_ + "/cut.wav";
    test_wav::WriteFile(cut, bytes);
    SdlAudioOutput out;
    EXPECT_TRUE(out.Play(whole, false));
    EXPECT_FALSE(out.Play(cut, false));
}

TEST_F(SdlAudioTest, FileWithAnAbsurdSampleRateIsRefused) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const std::string path = dir_ + "/fast.wav";
    std::vector<std::int16_t> samples(64, 1000);
    test_wav::WriteFile(path, test_wav::Pcm16(samples, 1, 16769344));
    SdlAudioOutput out;
    EXPECT_FALSE(out.Play(path, false));
    test_wav::WriteFile(path, test_wav::Pcm16(samples, 1, 22050));
    EXPECT_TRUE(out.Play(path, false));
}

TEST_F(SdlAudioTest, SoundRequestsReachTheSdlDevice) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::string wav = WriteMarkerWav("clip.wav", 44100);  // one second
    os::InstallAudioOutput(std::make_unique<SdlAudioOutput>());
    EXPECT_EQ(os::waveOutGetNumDevs(), 1u);
    EXPECT_EQ(os::sndPlaySoundA(wav.c_str(), os::SND_ASYNC | os::SND_NODEFAULT), 1);
    EXPECT_EQ(os::sndPlaySoundA(wav.c_str(), 27), 0);  // refused: the clip still plays
    EXPECT_EQ(os::sndPlaySoundA("", os::SND_NODEFAULT), 1);
    EXPECT_EQ(os::sndPlaySoundA(wav.c_str(), 27), 1);  // silence: the loop starts
    os::InstallAudioOutput(nullptr);
}

TEST(AudioDriverChoiceTest, AlsaOnlyWhereAPlaybackNodeExists) {
    char pattern[] = "/tmp/tavro-dev-snd-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    std::string dir = pattern;
    auto has_alsa = [&] {
        auto drivers = os::PreferredAudioDrivers(dir);
        return std::find(drivers.begin(), drivers.end(), "alsa") != drivers.end();
    };
    EXPECT_FALSE(has_alsa());
    std::ofstream(dir + "/pcmC0D0c");  // capture only
    std::ofstream(dir + "/controlC0");
    EXPECT_FALSE(has_alsa());
    std::ofstream(dir + "/pcmC0D0p");
    EXPECT_TRUE(has_alsa());
    fs::remove_all(dir);
    EXPECT_FALSE(has_alsa());
    EXPECT_EQ(os::PreferredAudioDrivers(dir).front(), "pipewire");
}

}  // namespace
