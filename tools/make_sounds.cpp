// Writes the game's 53 recordings into one folder as 16-bit mono WAV files.
// Every sound is synthesised from tones, a few filters and the tool's own
// seeded noise, so the build needs no recorded audio and makes the same
// sounds every time.
// The game waits for each sound it plays, so every one is cut as short as it
// can be and still be told apart; the three room sounds are seamless loops.
//
// usage: make_sounds FOLDER
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

const int RATE = 22050;
const double PI = 3.14159265358979323846;

using Samples = std::vector<double>;
using Curve = std::function<double(double)>;  // a value over time, in seconds

static std::size_t sampleCount(double seconds)
{
    return static_cast<std::size_t>(seconds * RATE + 0.5);
}

// ---------------------------------------------------------------------------
// Shapes over time

static Curve constant(double value)
{
    return [value](double) { return value; };
}

// Glides exponentially from one value to another, then stays there.
static Curve slide(double from, double to, double seconds)
{
    return [=](double t) { return from * std::pow(to / from, std::fmin(t / seconds, 1.0)); };
}

static Curve vibrato(Curve pitch, double hz, double depth)
{
    return [=](double t) { return pitch(t) * (1.0 + depth * std::sin(2 * PI * hz * t)); };
}

static Curve expDecay(double rate)
{
    return [rate](double t) { return std::exp(-rate * t); };
}

static Curve attackDecay(double attack, double rate)
{
    return [=](double t) { return t < attack ? t / attack : std::exp(-rate * (t - attack)); };
}

// Rises, holds, then falls away to nothing.
static Curve swell(double attack, double hold, double release)
{
    return [=](double t) {
        if (t < attack)
            return t / attack;
        if (t < attack + hold)
            return 1.0;
        return std::fmax(0.0, 1.0 - (t - attack - hold) / release);
    };
}

// One smooth rise and fall over the given time.
static Curve hump(double seconds)
{
    return [seconds](double t) { return t >= seconds ? 0.0 : std::sin(PI * t / seconds); };
}

// ---------------------------------------------------------------------------
// Sources

// A small deterministic noise source, so a seed gives the same sound anywhere.
struct Noise {
    std::uint32_t state;
    double next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state / 2147483648.0 - 1.0;
    }
    double between(double low, double high) { return low + (next() + 1.0) / 2.0 * (high - low); }
};

// A tone built from harmonics (amplitudes[k] for harmonic k + 1) following a
// pitch curve; harmonics above the Nyquist frequency are left out.
static Samples partials(double seconds, Curve pitch, const std::vector<double>& amplitudes, Curve envelope)
{
    Samples out(sampleCount(seconds));
    std::vector<double> phase(amplitudes.size(), 0.0);
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / RATE;
        double hz = pitch(t);
        double sum = 0.0;
        for (std::size_t k = 0; k < amplitudes.size(); ++k) {
            double harmonic = hz * static_cast<double>(k + 1);
            if (harmonic >= RATE / 2.0)
                break;
            phase[k] += 2 * PI * harmonic / RATE;
            sum += amplitudes[k] * std::sin(phase[k]);
        }
        out[i] = sum * envelope(t);
    }
    return out;
}

// A struck metal body: partials at fixed, inharmonic ratios, each dying away
// at its own rate.
static Samples bell(double hz, double seconds, double decay)
{
    static const double ratios[] = {1.0, 2.0, 2.76, 5.40, 8.93};
    static const double levels[] = {1.0, 0.5, 0.6, 0.25, 0.1};
    Samples out(sampleCount(seconds));
    for (int p = 0; p < 5; ++p) {
        double partialHz = hz * ratios[p];
        if (partialHz >= RATE / 2.0)
            continue;
        double rate = decay * (1.0 + 0.6 * p);
        for (std::size_t i = 0; i < out.size(); ++i) {
            double t = static_cast<double>(i) / RATE;
            out[i] += levels[p] * std::sin(2 * PI * partialHz * t) * std::exp(-rate * t) * std::fmin(1.0, t * 2000);
        }
    }
    return out;
}

// A voice: harmonics of a pitch curve shaped by the resonances of a vowel.
struct Formant {
    double hz;
    double width;
    double level;
};

static Samples voice(double seconds, Curve pitch, const std::vector<Formant>& vowel, Curve envelope)
{
    Samples out(sampleCount(seconds));
    std::vector<double> phase(64, 0.0);
    for (std::size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / RATE;
        double hz = pitch(t);
        double sum = 0.0;
        for (std::size_t k = 0; k < phase.size(); ++k) {
            double harmonic = hz * static_cast<double>(k + 1);
            if (harmonic >= 5000.0)
                break;
            double gain = 0.0;
            for (const Formant& f : vowel) {
                double offset = (harmonic - f.hz) / f.width;
                gain += f.level / (1.0 + offset * offset);
            }
            phase[k] += 2 * PI * harmonic / RATE;
            sum += gain / std::sqrt(static_cast<double>(k + 1)) * std::sin(phase[k]);
        }
        out[i] = sum * envelope(t);
    }
    return out;
}

// A state-variable filter that stays stable up to the Nyquist frequency, so
// its cutoff may sweep freely.
enum FilterKind { LOWPASS, BANDPASS, HIGHPASS };

struct Filter {
    FilterKind kind;
    double q;
    double low = 0.0, band = 0.0;
    double run(double input, double hz)
    {
        double g = std::tan(PI * std::fmin(hz, RATE * 0.45) / RATE);
        double k = 1.0 / q;
        double a1 = 1.0 / (1.0 + g * (g + k));
        double a2 = g * a1;
        double a3 = g * a2;
        double v3 = input - low;
        double v1 = a1 * band + a2 * v3;
        double v2 = low + a2 * band + a3 * v3;
        band = 2 * v1 - band;
        low = 2 * v2 - low;
        if (kind == LOWPASS)
            return v2;
        if (kind == BANDPASS)
            return v1;
        return input - k * v1 - v2;
    }
};

static Samples filtered(Samples in, FilterKind kind, Curve hz, double q)
{
    Filter filter{kind, q};
    for (std::size_t i = 0; i < in.size(); ++i)
        in[i] = filter.run(in[i], hz(static_cast<double>(i) / RATE));
    return in;
}

static Samples whiteNoise(double seconds, std::uint32_t seed, Curve envelope)
{
    Noise noise{seed * 2654435761u + 1u};
    Samples out(sampleCount(seconds));
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = noise.next() * envelope(static_cast<double>(i) / RATE);
    return out;
}

static Samples noise(double seconds, std::uint32_t seed, FilterKind kind, Curve hz, double q, Curve envelope)
{
    return filtered(whiteNoise(seconds, seed, envelope), kind, hz, q);
}

// Noise that grates: its loudness jumps at random a few dozen times a second,
// as wood or stone does when dragged.
static Samples scrape(double seconds, std::uint32_t seed, Curve hz, double q, Curve envelope, double grainsPerSecond)
{
    Noise roughness{seed + 77u};
    double level = 1.0;
    double nextGrain = 0.0;
    Curve rough = [&](double t) {
        if (t >= nextGrain) {
            level = roughness.between(0.25, 1.0);
            nextGrain = t + 1.0 / grainsPerSecond * roughness.between(0.5, 1.5);
        }
        return level * envelope(t);
    };
    return noise(seconds, seed, BANDPASS, hz, q, rough);
}

// Wood or bone hitting something: a resonant knock.
static Samples knock(double hz, std::uint32_t seed, double decay, double seconds = 0.12)
{
    Samples out = noise(seconds, seed, BANDPASS, constant(hz), 6.0, expDecay(decay));
    Samples tone = partials(seconds, constant(hz), {1.0}, expDecay(decay * 1.3));
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = out[i] * 3.0 + tone[i] * 0.5;
    return out;
}

// A heavy body landing: a low tone that drops in pitch as it dies.
static Samples thump(double seconds, double fromHz, double toHz, double decay)
{
    return partials(seconds, slide(fromHz, toHz, seconds), {1.0, 0.35, 0.1}, attackDecay(0.002, decay));
}

static Samples click(double hz, std::uint32_t seed)
{
    return noise(0.02, seed, BANDPASS, constant(hz), 3.0, expDecay(350));
}

// A hinge or a floorboard: a train of tiny stick-slip impulses, its rate
// wandering, ringing the resonances of the wood.
static Samples creak(double seconds, std::uint32_t seed, Curve rate, const std::vector<double>& resonances,
                     Curve envelope)
{
    Noise jitter{seed};
    Samples impulses(sampleCount(seconds));
    double phase = 0.0;
    for (std::size_t i = 0; i < impulses.size(); ++i) {
        double t = static_cast<double>(i) / RATE;
        phase += rate(t) * (1.0 + 0.3 * jitter.next()) / RATE;
        if (phase >= 1.0) {
            phase -= 1.0;
            impulses[i] = envelope(t) * jitter.between(0.6, 1.0);
        }
    }
    Samples out(impulses.size());
    for (double hz : resonances) {
        Samples ring = filtered(impulses, BANDPASS, constant(hz), 14.0);
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] += ring[i];
    }
    return out;
}

// ---------------------------------------------------------------------------
// Putting parts together

static void mixAt(Samples& into, const Samples& part, double at, double gain = 1.0)
{
    std::size_t start = sampleCount(at);
    if (into.size() < start + part.size())
        into.resize(start + part.size());
    for (std::size_t i = 0; i < part.size(); ++i)
        into[start + i] += part[i] * gain;
}

// For a loop: what runs past the end comes round again at the start, so the
// seam cannot be heard.
static void mixAround(Samples& loop, const Samples& part, double at, double gain = 1.0)
{
    std::size_t start = sampleCount(at);
    for (std::size_t i = 0; i < part.size(); ++i)
        loop[(start + i) % loop.size()] += part[i] * gain;
}

static Samples scaled(Samples samples, double gain)
{
    for (double& sample : samples)
        sample *= gain;
    return samples;
}

static double peakOf(const Samples& samples)
{
    double peak = 0.0;
    for (double sample : samples)
        peak = std::fmax(peak, std::fabs(sample));
    return peak;
}

static void normalise(Samples& samples, double peak)
{
    double current = peakOf(samples);
    if (current > 0.0)
        samples = scaled(samples, peak / current);
}

// Cuts the tail once it has died away below hearing, then fades the last
// few milliseconds so the cut does not click.
static void trimTail(Samples& samples)
{
    double threshold = peakOf(samples) * 0.003;
    std::size_t end = samples.size();
    while (end > 0 && std::fabs(samples[end - 1]) < threshold)
        --end;
    samples.resize(end);
    std::size_t fade = std::min(samples.size(), sampleCount(0.005));
    for (std::size_t i = 0; i < fade; ++i)
        samples[samples.size() - 1 - i] *= static_cast<double>(i) / fade;
}

static Samples echoed(Samples samples, double delay, double gain, int repeats)
{
    Samples dry = samples;
    for (int r = 1; r <= repeats; ++r)
        mixAt(samples, dry, delay * r, std::pow(gain, r));
    return samples;
}

// ---------------------------------------------------------------------------
// Gunfire and blows

static Samples gunshot(std::uint32_t seed, double brightness, double tailDecay)
{
    Samples out = whiteNoise(0.02, seed, expDecay(180));
    mixAt(out, noise(0.6, seed + 1, LOWPASS, slide(7000 * brightness, 400, 0.35), 0.7, expDecay(tailDecay)), 0, 1.2);
    mixAt(out, thump(0.3, 120, 40, 12), 0, 0.9);
    return out;
}

static Samples gush() { return echoed(gunshot(1, 1.0, 10), 0.13, 0.25, 2); }
static Samples gus2() { return echoed(gunshot(2, 0.55, 7), 0.21, 0.3, 2); }

static Samples rico()
{
    Samples out = gunshot(3, 1.0, 25);
    Curve whine = vibrato(slide(2900, 700, 0.65), 28, 0.02);
    mixAt(out, partials(0.65, whine, {1.0, 0.15}, attackDecay(0.01, 4.5)), 0.03, 0.35);
    return out;
}

static Samples plug()
{
    Samples out = noise(0.15, 4, BANDPASS, constant(500), 1.5, expDecay(30));
    mixAt(out, thump(0.2, 160, 60, 20), 0, 0.6);
    return out;
}

static Samples shsh()
{
    Samples out = thump(0.3, 95, 45, 14);
    mixAt(out, noise(0.12, 5, LOWPASS, constant(600), 0.7, expDecay(35)), 0, 1.0);
    return out;
}

static Samples faro()
{
    Samples out = thump(0.35, 75, 35, 10);
    mixAt(out, thump(0.2, 110, 50, 18), 0.12, 0.4);
    // The dust that goes up from the road.
    mixAt(out, noise(0.5, 6, LOWPASS, slide(1500, 300, 0.5), 0.7, attackDecay(0.01, 7)), 0, 1.2);
    return out;
}

static Samples fafl()
{
    Samples out = thump(0.3, 110, 60, 14);
    // The floorboards ring.
    mixAt(out, noise(0.3, 7, BANDPASS, constant(220), 8.0, expDecay(12)), 0, 2.0);
    mixAt(out, noise(0.3, 8, BANDPASS, constant(470), 8.0, expDecay(14)), 0, 1.2);
    mixAt(out, thump(0.2, 120, 70, 18), 0.14, 0.45);
    return out;
}

static Samples clic()
{
    Samples out = click(3500, 9);
    mixAt(out, click(2500, 10), 0.035, 0.7);
    return out;
}

static Samples guco()
{
    Samples out = click(3000, 11);
    mixAt(out, scaled(noise(0.06, 12, BANDPASS, constant(1500), 2.0, hump(0.06)), 0.3), 0.04);
    mixAt(out, click(2200, 13), 0.13, 1.2);
    mixAt(out, click(3500, 14), 0.2, 0.9);
    return out;
}

// The Marshal's quick draw: leather, then the hammer coming back.
static Samples blva()
{
    Samples out = noise(0.15, 15, BANDPASS, slide(800, 2500, 0.15), 1.5, hump(0.15));
    mixAt(out, click(2800, 16), 0.17, 0.8);
    mixAt(out, click(2100, 17), 0.22, 1.0);
    return out;
}

static Samples bubo()
{
    Samples out = whiteNoise(0.03, 18, expDecay(120));
    mixAt(out, noise(1.3, 19, LOWPASS, slide(4000, 150, 1.0), 0.7, attackDecay(0.005, 3.2)), 0, 1.5);
    mixAt(out, thump(0.8, 60, 28, 4), 0, 1.2);
    Noise debris{20};
    for (int piece = 0; piece < 25; ++piece) {
        double at = debris.between(0.1, 0.9);
        mixAt(out, click(debris.between(1500, 4000), 21 + piece), at, 0.5 * (1.0 - at));
    }
    return out;
}

static Samples chop()
{
    Samples out = whiteNoise(0.005, 50, expDecay(600));
    mixAt(out, knock(900, 51, 45), 0, 1.0);
    mixAt(out, thump(0.15, 200, 90, 25), 0, 0.8);
    return out;
}

static Samples swis()
{
    return noise(0.25, 52, BANDPASS, slide(1200, 5500, 0.25), 2.0, hump(0.25));
}

static Samples shat()
{
    Samples out = noise(0.015, 53, HIGHPASS, constant(2000), 0.7, expDecay(200));
    mixAt(out, noise(0.5, 54, BANDPASS, constant(4000), 0.7, expDecay(10)), 0, 0.4);
    Noise shards{55};
    for (int shard = 0; shard < 40; ++shard) {
        double at = 0.45 * std::pow(shards.between(0, 1), 2.0);
        double hz = shards.between(2500, 7500);
        Samples ping = partials(0.12, constant(hz), {1.0}, expDecay(shards.between(30, 60)));
        mixAt(ping, partials(0.12, constant(hz * 1.37), {1.0}, expDecay(70)), 0, 0.5);
        mixAt(out, ping, at, 0.4 * (1.0 - at));
    }
    return out;
}

// ---------------------------------------------------------------------------
// Voices

static const std::vector<Formant> VOWEL_AH = {{800, 100, 1.0}, {1250, 120, 0.8}, {2900, 200, 0.4}};
static const std::vector<Formant> VOWEL_UH = {{600, 90, 1.0}, {1040, 110, 0.5}, {2250, 160, 0.25}};
static const std::vector<Formant> VOWEL_OH = {{450, 80, 1.0}, {800, 100, 0.6}, {2830, 200, 0.15}};

static Samples grun()
{
    Samples out = voice(0.35, slide(130, 95, 0.35), VOWEL_UH, swell(0.03, 0.2, 0.12));
    mixAt(out, noise(0.35, 60, LOWPASS, constant(900), 0.7, swell(0.03, 0.2, 0.12)), 0, 0.8);
    return out;
}

static Samples dewo()
{
    return voice(0.6, vibrato(slide(170, 110, 0.6), 5, 0.03), VOWEL_OH, swell(0.05, 0.35, 0.2));
}

static Samples stsc()
{
    Curve pitch = [](double t) { return t < 0.15 ? 550 + 200 * t / 0.15 : 750 * std::pow(400.0 / 750, (t - 0.15) / 0.65); };
    Samples out = voice(0.8, vibrato(pitch, 6, 0.03), VOWEL_AH, swell(0.04, 0.55, 0.2));
    mixAt(out, noise(0.8, 61, BANDPASS, constant(3000), 1.0, swell(0.04, 0.55, 0.2)), 0, 0.3);
    return out;
}

static Samples dela()
{
    Samples out;
    const double pitches[] = {165, 150, 140, 125};
    for (int ha = 0; ha < 4; ++ha) {
        double at = 0.16 * ha;
        mixAt(out, noise(0.03, 62 + ha, BANDPASS, constant(1200), 1.0, hump(0.03)), at, 0.6);
        mixAt(out, voice(0.1, slide(pitches[ha], pitches[ha] * 0.85, 0.1), VOWEL_AH, hump(0.1)), at + 0.02);
    }
    return out;
}

// A horse's whinny: a voice that climbs, trembles and falls.
static Samples intr()
{
    Curve pitch = [](double t) { return t < 0.25 ? 500 * std::pow(1.8, t / 0.25) : 900 * std::pow(350.0 / 900, (t - 0.25) / 0.75); };
    std::vector<Formant> nasal = {{700, 150, 1.0}, {1800, 200, 0.6}, {2800, 300, 0.3}};
    Samples out = voice(1.0, vibrato(pitch, 11, 0.08), nasal, swell(0.05, 0.7, 0.25));
    mixAt(out, noise(1.0, 63, BANDPASS, constant(2000), 0.8, hump(1.0)), 0, 0.25);
    return out;
}

// ---------------------------------------------------------------------------
// Things handled

static Samples take()
{
    Samples out = noise(0.14, 70, BANDPASS, constant(2500), 0.8, hump(0.14));
    mixAt(out, knock(1800, 71, 60, 0.06), 0.12, 0.15);
    return out;
}

static Samples thit()
{
    Samples out = knock(700, 72, 80, 0.08);
    mixAt(out, knock(1400, 73, 90, 0.08), 0, 0.5);
    return out;
}

static Samples drop()
{
    Samples out = thump(0.15, 180, 90, 25);
    mixAt(out, knock(800, 74, 50), 0, 0.3);
    mixAt(out, knock(800, 75, 60), 0.11, 0.15);
    mixAt(out, knock(800, 76, 70), 0.18, 0.07);
    return out;
}

static Samples opdo()
{
    return creak(0.75, 80, slide(25, 70, 0.75), {480, 1150, 2300}, swell(0.05, 0.6, 0.1));
}

static Samples cldo()
{
    Samples out = whiteNoise(0.01, 81, expDecay(300));
    mixAt(out, thump(0.35, 85, 40, 12), 0, 1.0);
    mixAt(out, knock(300, 82, 25, 0.3), 0, 0.25);
    mixAt(out, click(2500, 83), 0.06, 0.4);
    return out;
}

static Samples mado()
{
    Samples out = creak(0.45, 84, slide(40, 90, 0.45), {600, 1400, 2600}, swell(0.04, 0.35, 0.06));
    mixAt(out, thump(0.15, 120, 70, 25), 0.48, 0.05);
    return out;
}

// Batwing doors: a squeak, then the doors flapping to rest.
static Samples sado()
{
    Samples out = creak(0.2, 85, slide(60, 30, 0.2), {700, 1600}, hump(0.2));
    const double flaps[][2] = {{0.15, 1.0}, {0.34, 0.6}, {0.48, 0.35}, {0.58, 0.2}};
    for (const auto& flap : flaps)
        mixAt(out, knock(450, 86, 35), flap[0], flap[1] * 0.3);
    return out;
}

static Samples opdr()
{
    Samples out = scrape(0.27, 87, slide(700, 1000, 0.27), 3.0, swell(0.02, 0.22, 0.03), 30);
    mixAt(out, knock(500, 88, 50), 0.27, 0.3);
    return out;
}

static Samples opca()
{
    Samples out = click(3000, 89);
    mixAt(out, creak(0.3, 90, slide(50, 80, 0.3), {800, 1800, 3200}, swell(0.03, 0.2, 0.07)), 0.03);
    return out;
}

static Samples crsl()
{
    Samples out = scrape(0.65, 91, constant(350), 1.5, swell(0.04, 0.45, 0.15), 20);
    mixAt(out, noise(0.65, 92, LOWPASS, constant(150), 0.7, swell(0.04, 0.45, 0.15)), 0, 1.5);
    return out;
}

static Samples rope()
{
    Curve whoosh = [](double t) { return t < 0.2 ? 500 * std::pow(3.0, t / 0.2) : 1500 * std::pow(0.4, (t - 0.2) / 0.2); };
    Curve whirl = [](double t) { return hump(0.4)(t) * (0.6 + 0.4 * std::sin(2 * PI * 8 * t)); };
    Samples out = noise(0.4, 93, BANDPASS, whoosh, 1.5, whirl);
    mixAt(out, thump(0.1, 200, 120, 30), 0.42, 0.4);
    mixAt(out, knock(400, 94, 50), 0.42, 0.2);
    return out;
}

static Samples eat()
{
    Samples out;
    for (int chew = 0; chew < 4; ++chew) {
        double at = 0.17 * chew;
        mixAt(out, scrape(0.1, 100 + chew, constant(1800), 0.7, hump(0.1), 300), at, 0.6);
        mixAt(out, noise(0.1, 110 + chew, LOWPASS, constant(400), 0.7, hump(0.1)), at, 1.0);
    }
    return out;
}

static Samples drin()
{
    Samples out;
    for (int gulp = 0; gulp < 4; ++gulp) {
        double at = 0.21 * gulp;
        mixAt(out, partials(0.09, slide(180, 420, 0.09), {1.0, 0.3}, hump(0.09)), at, 0.8);
        mixAt(out, noise(0.06, 120 + gulp, LOWPASS, constant(500), 0.7, hump(0.06)), at, 1.0);
    }
    return out;
}

static Samples step(double hz, std::uint32_t seed)
{
    Samples out = thump(0.12, 140, 80, 30);
    mixAt(out, knock(hz, seed, 45), 0, 0.25);
    return out;
}

static Samples stai()
{
    Samples out;
    for (int tread = 0; tread < 4; ++tread)
        mixAt(out, step(600 + 40 * tread, 130 + tread), 0.22 * tread);
    return out;
}

static Samples stfa()
{
    Samples out;
    const double bumps[][2] = {{0.0, 0.7}, {0.1, 0.5}, {0.23, 0.8}, {0.31, 0.45}, {0.42, 0.7}, {0.5, 0.5}, {0.58, 0.6}};
    std::uint32_t seed = 140;
    for (const auto& bump : bumps) {
        mixAt(out, step(500 + 30 * (seed % 7), seed), bump[0], bump[1]);
        ++seed;
    }
    mixAt(out, faro(), 0.72, 1.0);
    return out;
}

static Samples qusa()
{
    Samples out = noise(1.0, 150, LOWPASS, constant(300), 0.7, hump(1.0));
    out = scaled(out, 1.5);
    Noise bubbles{151};
    for (int bubble = 0; bubble < 14; ++bubble) {
        double length = bubbles.between(0.05, 0.09);
        double from = bubbles.between(120, 200);
        mixAt(out, partials(length, slide(from, from * 3.5, length), {1.0}, hump(length)), bubbles.between(0.0, 0.9), 0.5);
    }
    // The slurp of the sand closing.
    mixAt(out, noise(0.3, 152, BANDPASS, slide(300, 900, 0.3), 4.0, hump(0.3)), 0.55, 1.5);
    return out;
}

// ---------------------------------------------------------------------------
// Creatures

static Samples squeak(double seconds, double low, double high)
{
    Curve pitch = [=](double t) { return low + (high - low) * hump(seconds)(t); };
    return partials(seconds, pitch, {1.0, 0.2}, hump(seconds));
}

static Samples rat()
{
    Samples out = squeak(0.07, 3200, 4300);
    mixAt(out, squeak(0.07, 3300, 4100), 0.12, 0.8);
    mixAt(out, squeak(0.09, 3100, 4400), 0.2, 0.9);
    return out;
}

static Samples rabi()
{
    Samples out = partials(0.18, slide(3500, 4800, 0.18), {1.0, 0.2}, hump(0.18));
    mixAt(out, click(2000, 160), 0.16, 1.5);
    mixAt(out, knock(900, 161, 60), 0.16, 0.4);
    return out;
}

static Samples radi()
{
    Samples out = gunshot(162, 0.9, 14);
    Curve dying = vibrato(slide(4500, 1800, 0.4), 25, 0.03);
    mixAt(out, partials(0.4, dying, {1.0, 0.25}, attackDecay(0.01, 5)), 0.08, 0.3);
    return out;
}

static Samples rattle(double seconds, std::uint32_t seed)
{
    Curve gate = [seconds](double t) { return std::pow(std::fabs(std::sin(PI * 45 * t)), 4) * swell(0.03, seconds - 0.09, 0.06)(t); };
    return noise(seconds, seed, BANDPASS, constant(5000), 0.8, gate);
}

static Samples snak()
{
    Samples out = rattle(0.35, 170);
    mixAt(out, noise(0.12, 171, BANDPASS, constant(6000), 1.0, hump(0.12)), 0.3, 0.6);
    return out;
}

static Samples snki()
{
    Samples out = gunshot(172, 0.9, 14);
    mixAt(out, noise(0.5, 173, BANDPASS, slide(6000, 2500, 0.5), 1.5, attackDecay(0.05, 6)), 0.15, 0.5);
    return out;
}

static Samples clop(double hz, std::uint32_t seed)
{
    Samples out = knock(hz, seed, 70, 0.08);
    mixAt(out, knock(hz / 2, seed + 1, 50, 0.08), 0, 0.5);
    return out;
}

static Samples clto()
{
    Samples out;
    const double hooves[] = {0.0, 0.14, 0.36, 0.5, 0.72, 0.86};
    for (int hoof = 0; hoof < 6; ++hoof)
        mixAt(out, clop(hoof % 2 ? 900 : 1100, 180 + 2 * hoof), hooves[hoof], 1.0 - 0.12 * hoof);
    return out;
}

// ---------------------------------------------------------------------------
// Music and bells

static double note(int semitonesFromA4)
{
    return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0);
}

static Samples brass(double hz, double seconds, double brightness, double wobble = 0.0)
{
    Curve envelope = swell(0.04, seconds - 0.12, 0.08);
    Curve pitch = vibrato(constant(hz), 5.5, wobble);
    Samples tone = partials(seconds, pitch, {1.0, 0.8, 0.6, 0.45, 0.3, 0.2, 0.12, 0.08, 0.05, 0.03}, envelope);
    return filtered(tone, LOWPASS, [=](double t) { return 300 + brightness * envelope(t); }, 0.8);
}

static Samples quit()
{
    Samples out = brass(note(-14), 0.3, 1800);
    mixAt(out, brass(note(-15), 0.6, 1500, 0.03), 0.32);
    return out;
}

static Samples loen()
{
    Samples out;
    const int melody[] = {-14, -15, -16};
    for (int n = 0; n < 3; ++n)
        mixAt(out, brass(note(melody[n]), 0.26, 1500), 0.28 * n);
    mixAt(out, brass(note(-17), 0.75, 1300, 0.04), 0.84);
    return out;
}

static Samples wien()
{
    Samples out;
    const double phrase[][3] = {{-2, 0.0, 0.1}, {3, 0.11, 0.1}, {7, 0.22, 0.1}, {10, 0.33, 0.32},
                                {7, 0.68, 0.12}, {10, 0.82, 0.5}};
    for (const auto& n : phrase)
        mixAt(out, brass(note(static_cast<int>(n[0])), n[2], 3500), n[1]);
    return out;
}

static Samples drum(std::uint32_t seed)
{
    Samples out = thump(0.15, 110, 60, 20);
    mixAt(out, noise(0.12, seed, BANDPASS, constant(2500), 0.8, expDecay(30)), 0, 0.5);
    return out;
}

static Samples trma()
{
    Samples out;
    const double march[][3] = {{3, 0.0, 0.18}, {3, 0.2, 0.08}, {3, 0.3, 0.08}, {-2, 0.4, 0.18},
                               {3, 0.6, 0.18}, {7, 0.8, 0.18}, {10, 1.0, 0.55}};
    for (const auto& n : march)
        mixAt(out, brass(note(static_cast<int>(n[0])), n[2], 3000), n[1]);
    for (int beat = 0; beat < 6; ++beat)
        mixAt(out, drum(190 + beat), 0.2 * beat, beat % 2 ? 0.4 : 0.7);
    return out;
}

static Samples hopa()
{
    Samples out = bell(2100, 0.6, 8);
    mixAt(out, bell(2100, 0.5, 9), 0.12, 0.7);
    return out;
}

static Samples exit()
{
    Samples out = bell(note(10), 0.4, 7);
    mixAt(out, bell(note(3), 0.5, 6), 0.25);
    return out;
}

// ---------------------------------------------------------------------------
// After a kill

// Spurs jingling as a man walks away.
static Samples scli()
{
    Samples out;
    Noise rowel{200};
    for (int stride = 0; stride < 2; ++stride) {
        mixAt(out, step(500, 201 + stride), 0.3 * stride, 0.8);
        for (int tine = 0; tine < 5; ++tine)
            mixAt(out, bell(rowel.between(3500, 5500), 0.12, 25), 0.3 * stride + rowel.between(0.0, 0.04), 0.15);
    }
    return out;
}

// The church bell tolls for the dead man.
static Samples tolo()
{
    return bell(note(-14), 1.2, 3.5);
}

// A falling whistle: another one gone.
static Samples puli()
{
    return partials(0.7, vibrato(slide(1800, 500, 0.7), 5, 0.01), {1.0, 0.05}, swell(0.02, 0.55, 0.1));
}

// ---------------------------------------------------------------------------
// Room loops

static Samples teof()
{
    // "CQ" on the sounder, over and over: a click as the key goes down and
    // a softer clack as it comes up.
    const double DIT = 0.07;
    const char* const code = "-.-. --.-";
    double length = 0.0;
    for (const char* mark = code; *mark; ++mark)
        length += *mark == ' ' ? 2 * DIT : (*mark == '-' ? 3 * DIT : DIT) + DIT;
    length += 6 * DIT;
    Samples loop(sampleCount(length));
    double at = 0.0;
    int seed = 210;
    for (const char* mark = code; *mark; ++mark) {
        if (*mark == ' ') {
            at += 2 * DIT;
            continue;
        }
        double held = *mark == '-' ? 3 * DIT : DIT;
        mixAround(loop, knock(1800, seed++, 90, 0.05), at, 1.0);
        mixAround(loop, knock(1200, seed++, 90, 0.05), at + held, 0.5);
        at += held + DIT;
    }
    return loop;
}

static Samples kiso()
{
    Samples loop(sampleCount(2.0));
    Noise fat{220};
    Curve simmer = [&fat](double) { return 0.3 + 0.05 * fat.next(); };
    mixAround(loop, noise(2.0, 221, BANDPASS, constant(6000), 0.5, simmer), 0);
    for (int pop = 0; pop < 120; ++pop)
        mixAround(loop, click(fat.between(3000, 8000), 222 + pop), fat.between(0, 2.0), fat.between(0.2, 0.8));
    mixAround(loop, bell(2600, 0.3, 15), 1.3, 0.15);
    return loop;
}

// Honky-tonk piano: every note struck on two strings a little out of tune
// with each other.
static Samples piano(double hz)
{
    Samples out;
    for (double detune : {0.994, 1.006}) {
        Samples string(sampleCount(1.0));
        for (int k = 1; k <= 8; ++k) {
            double partialHz = hz * detune * k;
            if (partialHz >= RATE / 2.0)
                break;
            for (std::size_t i = 0; i < string.size(); ++i) {
                double t = static_cast<double>(i) / RATE;
                string[i] += std::sin(2 * PI * partialHz * t) * std::exp(-(3.0 + 1.5 * k) * t) / std::pow(k, 1.2);
            }
        }
        mixAt(out, string, 0);
    }
    return out;
}

static Samples samu()
{
    const double BEAT = 0.4;
    Samples loop(sampleCount(8 * BEAT));
    // Left hand: bass on the strong beats, a chord on the off beats.
    const int bass[] = {-33, -38, -40, -38};
    const int chords[][3] = {{-21, -17, -14}, {-21, -17, -14}, {-28, -24, -21}, {-26, -22, -16}};
    for (int beat = 0; beat < 8; ++beat) {
        if (beat % 2 == 0) {
            mixAround(loop, piano(note(bass[beat / 2])), beat * BEAT, 0.8);
        } else {
            for (int key : chords[beat / 2])
                mixAround(loop, piano(note(key)), beat * BEAT, 0.35);
        }
    }
    const int tune[] = {7, 10, 12, 10, 7, 3, 5, 7, 8, 12, 15, 12, 10, 8, 5, 2};
    for (int eighth = 0; eighth < 16; ++eighth)
        mixAround(loop, piano(note(tune[eighth])), eighth * BEAT / 2, 0.5);
    return loop;
}

// ---------------------------------------------------------------------------
// The table and the files

struct Recording {
    const char* stem;
    Samples (*make)();
    double peak;  // loudness against the others
    bool loops;
};

static const Recording RECORDINGS[] = {
    {"intr", intr, 0.7, false}, {"clto", clto, 0.7, false}, {"take", take, 0.5, false},
    {"thit", thit, 0.5, false}, {"drop", drop, 0.6, false}, {"opdo", opdo, 0.6, false},
    {"cldo", cldo, 0.85, false}, {"swis", swis, 0.6, false}, {"grun", grun, 0.7, false},
    {"crsl", crsl, 0.7, false}, {"rico", rico, 0.85, false}, {"plug", plug, 0.8, false},
    {"bubo", bubo, 0.95, false}, {"snak", snak, 0.6, false}, {"gush", gush, 0.95, false},
    {"faro", faro, 0.8, false}, {"fafl", fafl, 0.8, false}, {"scli", scli, 0.6, false},
    {"tolo", tolo, 0.6, false}, {"puli", puli, 0.5, false}, {"shsh", shsh, 0.8, false},
    {"dewo", dewo, 0.7, false}, {"shat", shat, 0.75, false}, {"clic", clic, 0.6, false},
    {"chop", chop, 0.8, false}, {"stai", stai, 0.7, false}, {"quit", quit, 0.6, false},
    {"loen", loen, 0.6, false}, {"wien", wien, 0.6, false}, {"trma", trma, 0.6, false},
    {"rope", rope, 0.6, false}, {"snki", snki, 0.9, false}, {"exit", exit, 0.5, false},
    {"eat", eat, 0.6, false}, {"drin", drin, 0.6, false}, {"opdr", opdr, 0.6, false},
    {"opca", opca, 0.6, false}, {"stsc", stsc, 0.7, false}, {"stfa", stfa, 0.8, false},
    {"qusa", qusa, 0.7, false}, {"blva", blva, 0.6, false}, {"radi", radi, 0.9, false},
    {"rabi", rabi, 0.6, false}, {"gus2", gus2, 0.9, false}, {"rat", rat, 0.5, false},
    {"dela", dela, 0.7, false}, {"guco", guco, 0.6, false}, {"hopa", hopa, 0.5, false},
    {"sado", sado, 0.6, false}, {"mado", mado, 0.6, false}, {"samu", samu, 0.45, true},
    {"teof", teof, 0.45, true}, {"kiso", kiso, 0.4, true},
};

static void putBytes(std::FILE* file, std::uint32_t value, int bytes)
{
    for (int b = 0; b < bytes; ++b)
        std::fputc(static_cast<int>((value >> (8 * b)) & 0xFF), file);
}

static bool writeWav(const std::string& path, const Samples& samples)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::fputs("RIFF", file);
    putBytes(file, 36 + dataBytes, 4);
    std::fputs("WAVEfmt ", file);
    putBytes(file, 16, 4);         // size of the format chunk
    putBytes(file, 1, 2);          // PCM
    putBytes(file, 1, 2);          // mono
    putBytes(file, RATE, 4);
    putBytes(file, RATE * 2, 4);   // bytes per second
    putBytes(file, 2, 2);          // bytes per frame
    putBytes(file, 16, 2);         // bits per sample
    std::fputs("data", file);
    putBytes(file, dataBytes, 4);
    for (double sample : samples) {
        long value = std::lround(std::fmax(-1.0, std::fmin(1.0, sample)) * 32767.0);
        putBytes(file, static_cast<std::uint32_t>(value) & 0xFFFF, 2);
    }
    return std::fclose(file) == 0;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sounds FOLDER\n");
        return 2;
    }
    for (const Recording& recording : RECORDINGS) {
        Samples samples = recording.make();
        normalise(samples, recording.peak);
        if (!recording.loops)
            trimTail(samples);
        std::string path = std::string(argv[1]) + "/" + recording.stem + ".wav";
        if (!writeWav(path, samples)) {
            std::fprintf(stderr, "make_sounds: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
