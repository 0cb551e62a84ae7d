// Synthesises the two sounds: a seamlessly looping jet-engine drone and a thunder clap.
//   make_sounds <Planes.Wav> <Thunder.Wav>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "random.h"
#include "wav.h"

using namespace tools;

namespace {

constexpr double kTwoPi = 2 * M_PI;

// One-pole low-pass filter.
class LowPass {
public:
    explicit LowPass(double cutoff_hz)
        : k_(1 - std::exp(-kTwoPi * cutoff_hz / kSampleRate)) {}
    double operator()(double x) { return state_ += k_ * (x - state_); }

private:
    double k_;
    double state_ = 0;
};

// Band of noise between two cut-offs (difference of two low-passes), settled before use.
std::vector<double> BandNoise(size_t count, double low_hz, double high_hz, Random& random) {
    LowPass upper(high_hz), lower(low_hz), smooth(high_hz);
    std::vector<double> out(count);
    const size_t settle = kSampleRate / 2;
    for (size_t i = 0; i < settle + count; ++i) {
        double x = random.Range(-1, 1);
        double band = smooth(upper(x) - lower(x));
        if (i >= settle) out[i - settle] = band;
    }
    return out;
}

void Normalise(std::vector<double>& samples, double peak) {
    double top = 0;
    for (double s : samples) top = std::max(top, std::abs(s));
    if (top > 0)
        for (double& s : samples) s *= peak / top;
}

// The drone repeats with period n: tones have a whole number of cycles in n samples, and
// the noise is looped by cross-fading its continuation past n into its start.
std::vector<double> JetDrone(size_t n) {
    Random random(0x0DDBA11u);
    const size_t fade = kSampleRate / 5;
    std::vector<double> rumble = BandNoise(n + fade, 25, 260, random);
    std::vector<double> roar = BandNoise(n + fade, 500, 2400, random);
    std::vector<double> hiss = BandNoise(n + fade, 3000, 8000, random);
    std::vector<double> noise(n);
    for (size_t i = 0; i < n; ++i) {
        double mix = 1.6 * rumble[i] + 1.0 * roar[i] + 0.35 * hiss[i];
        if (i < fade) {
            // Equal-power blend: at i = 0 this is the sample right after n - 1.
            double t = double(i) / fade;
            double tail = 1.6 * rumble[n + i] + 1.0 * roar[n + i] + 0.35 * hiss[n + i];
            mix = mix * std::sin(t * M_PI / 2) + tail * std::cos(t * M_PI / 2);
        }
        noise[i] = mix;
    }
    Normalise(noise, 1.0);

    // Whole cycles over the loop: frequency f becomes round(f * n / rate) cycles.
    auto cycles = [n](double hz) { return std::round(hz * double(n) / kSampleRate); };
    const double whine = cycles(1870), whine_wobble = cycles(3), hum = cycles(62),
                 throb = cycles(0.6);
    std::vector<double> out(n);
    for (size_t i = 0; i < n; ++i) {
        double phase = kTwoPi * double(i) / double(n);  // one turn per loop
        double turbine = std::sin(whine * phase + 0.8 * std::sin(whine_wobble * phase)) +
                         0.35 * std::sin(2 * whine * phase + 1.6 * std::sin(whine_wobble * phase));
        double engine = std::sin(hum * phase) + 0.5 * std::sin(2 * hum * phase + 0.7) +
                        0.25 * std::sin(3 * hum * phase + 1.9);
        double swell = 1 + 0.18 * std::sin(throb * phase);
        out[i] = swell * (0.62 * noise[i] + 0.10 * turbine + 0.16 * engine);
    }
    Normalise(out, 0.7);
    return out;
}

// A sharp crack followed by a long rolling rumble that dies away.
std::vector<double> ThunderClap(size_t n) {
    Random random(0x7403DE2u);
    std::vector<double> crack = BandNoise(n, 300, 6000, random);
    std::vector<double> rumble = BandNoise(n, 18, 140, random);
    std::vector<double> growl = BandNoise(n, 60, 420, random);
    std::vector<double> out(n);
    // Slow random swells of the rumble: a few low sines with random phases.
    double swell_phase[3] = {random.Range(0, kTwoPi), random.Range(0, kTwoPi),
                             random.Range(0, kTwoPi)};
    const double length = double(n) / kSampleRate;
    for (size_t i = 0; i < n; ++i) {
        double t = double(i) / kSampleRate;
        double attack = std::min(1.0, t / 0.003);
        double crack_env = attack * (std::exp(-t / 0.05) + 0.5 * std::exp(-std::abs(t - 0.12) / 0.03) +
                                     0.3 * std::exp(-std::abs(t - 0.27) / 0.04));
        double swell = 0.65 + 0.2 * std::sin(kTwoPi * 1.3 * t + swell_phase[0]) +
                       0.15 * std::sin(kTwoPi * 2.9 * t + swell_phase[1]) +
                       0.1 * std::sin(kTwoPi * 0.7 * t + swell_phase[2]);
        double rumble_env = std::min(1.0, t / 0.15) * std::exp(-std::max(0.0, t - 0.25) / 0.75);
        double tail = std::min(1.0, (length - t) / 0.35);  // fades to silence at the end
        out[i] = tail * (crack_env * 1.3 * crack[i] +
                         rumble_env * swell * (2.2 * rumble[i] + 0.8 * growl[i]));
    }
    Normalise(out, 0.9);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <Planes.Wav> <Thunder.Wav>\n", argv[0]);
        return 2;
    }
    const size_t drone_samples = static_cast<size_t>(kSampleRate * 3.5);
    const size_t thunder_samples = static_cast<size_t>(kSampleRate * 3.0);
    if (!WriteWav16Mono(argv[1], JetDrone(drone_samples)) ||
        !WriteWav16Mono(argv[2], ThunderClap(thunder_samples))) {
        std::fprintf(stderr, "make_sounds: cannot write the sounds\n");
        return 1;
    }
    return 0;
}
