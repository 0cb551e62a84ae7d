// The SDL2 sound device, on SDL's "disk" driver (which writes every sample it is given to a
// file) and its silent "dummy" driver.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "hosts/sdl_audio/sdl_audio_output.h"
#include "os/sound.h"
#include "support/temp_dir.h"
#include "support/test_wav.h"

namespace {

namespace fs = std::filesystem;
using hosts::SdlAudioOutput;

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

// Counts the opens of one file by anyone, through inotify.
class OpenCounter {
public:
    explicit OpenCounter(const std::string& path) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        // Opens and closes alternate, so the kernel never merges two opens into one event.
        if (fd_ >= 0) inotify_add_watch(fd_, path.c_str(), IN_OPEN | IN_CLOSE_NOWRITE);
    }
    ~OpenCounter() {
        if (fd_ >= 0) close(fd_);
    }
    bool ok() const { return fd_ >= 0; }
    int Opens() {
        alignas(inotify_event) char buffer[4096];
        ssize_t got;
        while ((got = read(fd_, buffer, sizeof buffer)) > 0) {
            for (char* p = buffer; p < buffer + got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                if (event->mask & IN_OPEN) ++opens_;
                p += sizeof(inotify_event) + event->len;
            }
        }
        return opens_;
    }

private:
    int fd_;
    int opens_ = 0;
};

// Bytes this process has read through read calls so far.
std::uint64_t BytesReadSoFar() {
    std::ifstream in("/proc/self/io");
    std::string key;
    std::uint64_t value = 0;
    while (in >> key >> value)
        if (key == "rchar:") return value;
    return 0;
}

class SdlAudioTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp_.ok()); }
    void UseDiskDriver() {
        driver_.Set("disk");
        disk_file_.Set(raw_);
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

    tavro_test::TempDir temp_{"tavro-sdl-audio"};
    const std::string dir_ = temp_.path();
    const std::string raw_ = dir_ + "/out.raw";
    // Both put back after each case.
    tavro_test::ScopedEnv driver_{"SDL_AUDIODRIVER"};
    tavro_test::ScopedEnv disk_file_{"SDL_DISKAUDIOFILE"};
};

TEST_F(SdlAudioTest, DummyDriverOffersOneDeviceAndLeavesTheEndingSignalsAlone) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SdlAudioOutput out;
    EXPECT_EQ(out.DeviceCount(), 1);
    EXPECT_FALSE(out.IsPlaying());
    // SDL would catch them into a quit event nobody reads; they must still end the program.
    for (int sig : {SIGTERM, SIGINT}) {
        struct sigaction now = {};
        ASSERT_EQ(sigaction(sig, nullptr, &now), 0);
        EXPECT_EQ(now.sa_handler, SIG_DFL) << "signal " << sig;
    }
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

// The frame tick asks for the background sound on every frame while nothing plays: a
// refused file is judged from its header and size alone, once, until it changes.
TEST_F(SdlAudioTest, ARefusedFileIsOpenedOnceAndItsDataNeverReadUntilItChanges) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    os::InstallAudioOutput(std::make_unique<SdlAudioOutput>());
    ASSERT_EQ(os::waveOutGetNumDevs(), 1u);
    constexpr os::UINT kBackground = 27;

    // A playable header in front of 65 MiB of samples (a sparse file), and 8 MiB of
    // samples at a rate no sound card plays.
    const std::string huge = dir_ + "/huge.wav";
    {
        std::vector<std::uint8_t> bytes = test_wav::Pcm16({}, 2, 44100);
        const std::uint32_t data_bytes = 65u << 20;
        for (int i = 0; i < 4; ++i) {
            bytes[4 + i] = static_cast<std::uint8_t>((36 + data_bytes) >> (8 * i));
            bytes[40 + i] = static_cast<std::uint8_t>(data_bytes >> (8 * i));
        }
        test_wav::WriteFile(huge, bytes);
        fs::resize_file(huge, bytes.size() + data_bytes);
    }
    const std::string slow = dir_ + "/slow.wav";
    test_wav::WriteFile(slow, test_wav::Pcm16(std::vector<std::int16_t>(4 << 20, 5), 1, 500));

    for (const std::string& path : {huge, slow}) {
        OpenCounter counter(path);
        ASSERT_TRUE(counter.ok());
        const std::uint64_t read_before = BytesReadSoFar();
        for (int frame = 0; frame < 20; ++frame)
            EXPECT_EQ(os::sndPlaySoundA(path.c_str(), kBackground), 0) << path;
        EXPECT_EQ(counter.Opens(), 1) << path;
        EXPECT_LT(BytesReadSoFar() - read_before, 64u << 10) << path;

        // Rewritten (another size), it is judged again: now it plays.
        test_wav::WriteFile(path, test_wav::Pcm16(std::vector<std::int16_t>(8000, 5), 1, 8000));
        EXPECT_EQ(os::sndPlaySoundA(path.c_str(), kBackground), 1) << path;
        EXPECT_EQ(os::sndPlaySoundA("", os::SND_NODEFAULT), 1);
    }
    os::InstallAudioOutput(nullptr);
}

TEST(AudioDriverChoiceTest, AlsaOnlyWhereAPlaybackNodeExists) {
    tavro_test::TempDir temp("tavro-dev-snd");
    ASSERT_TRUE(temp.ok());
    const std::string dir = temp.path();
    auto has_alsa = [&] {
        auto drivers = hosts::PreferredAudioDrivers(dir);
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
    EXPECT_EQ(hosts::PreferredAudioDrivers(dir).front(), "pipewire");
}

}  // namespace
