// Sound: WAV files decoded to float at their own rate, and the mixer fed by the audio device's
// callback. Every change to the mixer is made under the device lock. Without a device (headless,
// or no sound card) the mixer is advanced silently so that voices still end on time.
#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include "asset_file.h"
#include "engine_log.h"
#include "internal.h"
#include "mixer.h"

struct QL_SoundData {
    MixSound mix;
    std::string path;
};

static Mixer mixer;
static SDL_AudioDeviceID device = 0;
static SDL_atomic_t deviceFrames; // mixed by the device's callback, for the tests

static void AudioCallback(void*, Uint8* stream, int len) {
    int frames = len / (int)(2 * sizeof(float));
    Mixer_Mix(&mixer, (float*)stream, frames);
    SDL_AtomicAdd(&deviceFrames, frames);
}

static void Lock() {
    if (device) SDL_LockAudioDevice(device);
}
static void Unlock() {
    if (device) SDL_UnlockAudioDevice(device);
}

// Sound libraries probing for a card (ALSA above all) write lines of their own to stderr when
// there is none. They are held back while the device opens; the engine says it in one line.
struct QuietStderr {
#ifndef _WIN32
    int saved = -1;
    QuietStderr() {
        std::fflush(stderr);
        int null = open("/dev/null", O_WRONLY);
        if (null < 0) return;
        saved = dup(2);
        dup2(null, 2);
        close(null);
    }
    ~QuietStderr() {
        if (saved < 0) return;
        std::fflush(stderr);
        dup2(saved, 2);
        close(saved);
    }
#endif
};

static int failOpens = 0; // the tests' seam: so many opens fail

static SDL_AudioDeviceID OpenDevice() {
    [[maybe_unused]] QuietStderr quiet; // nothing to hold back on Windows
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
    if (failOpens > 0) return (failOpens--, 0); // the tests' seam, past the subsystem's start
    SDL_AudioSpec want{}, have{};
    want.freq = kQlOutputRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = AudioCallback;
    return SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
}

// The device kept: once lost, the default device is tried again after 0.5, 1, 2 and 4 s, then
// every 10 s, while the mixer runs on silently by the frame clock, so that the music goes on from
// where it would be by then. Without a device from the start, one is opened as a device comes.
static bool wantDevice = false;
static double retryIn = -1.0; // seconds to the next try; below 0, none planned
static int tries = 0;

static double RetryDelay(int tried) {
    const double delays[] = {0.5, 1.0, 2.0, 4.0};
    return tried < 4 ? delays[tried] : 10.0;
}

static bool TryOpen() {
    device = OpenDevice();
    if (device) SDL_PauseAudioDevice(device, 0);
    return device != 0;
}

static void CloseDevice() {
    if (device) SDL_CloseAudioDevice(device);
    device = 0;
}

void Ql_Sound_Open(bool withDevice) {
    Mixer_Reset(&mixer, kQlOutputRate);
    wantDevice = withDevice;
    retryIn = -1.0;
    if (!withDevice || device) return;
    if (!TryOpen())
        std::fprintf(stderr, "Quillon: no sound device (%s); playing silently\n", SDL_GetError());
}

void Ql_Sound_Close() {
    CloseDevice();
    wantDevice = false;
    retryIn = -1.0;
    failOpens = 0;
    Mixer_Reset(&mixer, kQlOutputRate);
}

void Ql_Sound_HandleEvent(const SDL_Event& e) {
    if (e.type != SDL_AUDIODEVICEADDED && e.type != SDL_AUDIODEVICEREMOVED) return;
    if (e.adevice.iscapture || !wantDevice) return;
    if (e.type == SDL_AUDIODEVICEADDED) {
        if (!device && TryOpen()) retryIn = -1.0;
        return;
    }
    if (!device || e.adevice.which != device) return;
    std::fprintf(stderr, "Quillon: the sound device was lost; playing silently until one opens\n");
    CloseDevice();
    tries = 0;
    retryIn = RetryDelay(tries);
}

// Headless, the audio events are read apart from the window's.
void Ql_Sound_PumpEvents() {
    if (!SDL_WasInit(SDL_INIT_AUDIO)) return;
    SDL_PumpEvents();
    SDL_Event e;
    while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_AUDIODEVICEADDED, SDL_AUDIODEVICEREMOVED) > 0)
        Ql_Sound_HandleEvent(e);
}

static void RetryDevice(float seconds) {
    if (device || retryIn < 0.0) return;
    retryIn -= seconds;
    if (retryIn > 0.0) return;
    retryIn = TryOpen() ? -1.0 : RetryDelay(++tries);
}

bool QLH_OpenSoundDevice() {
    wantDevice = true;
    return device || TryOpen();
}
void QLH_PostSoundDeviceRemoved() {
    SDL_Event e{};
    e.type = SDL_AUDIODEVICEREMOVED;
    e.adevice.which = device;
    SDL_PushEvent(&e);
}
bool QLH_SoundDeviceOpen() {
    return device != 0;
}
long QLH_SoundDeviceFrames() {
    return SDL_AtomicGet(&deviceFrames);
}
void QLH_FailSoundOpens(int count) {
    failOpens = count;
}

// Without a device the mixer is run by the frame clock: dt's worth of output each frame, the
// fractions carried over so that a run of any length gets exactly its length of sound. While a
// capture is on, the output goes to its sink as the device would have received it.
static QLH_AudioSink capture = nullptr;
static void* captureUser = nullptr;
static double owedFrames = 0.0;

void Ql_Sound_Capture(QLH_AudioSink sink, void* user) {
    capture = sink;
    captureUser = user;
    owedFrames = 0.0;
}

void Ql_Sound_Advance(float seconds) {
    RetryDevice(seconds);
    if (device || !(seconds > 0.0f)) return;
    static float scratch[2 * 1024];
    owedFrames += (double)seconds * mixer.outputRate;
    long frames = (long)owedFrames;
    owedFrames -= (double)frames;
    while (frames > 0) {
        int n = frames > 1024 ? 1024 : (int)frames;
        Mixer_Mix(&mixer, scratch, n);
        if (capture) capture(scratch, n, captureUser);
        frames -= n;
    }
}

// The file's bytes with every chunk length that claims more than the file holds cut to what it
// does hold: the decoder allocates what a header claims, and a damaged one claims gigabytes.
static bool ReadWav(const char* path, std::vector<Uint8>* bytes) {
    if (!AssetFile_Read(path, kAssetMaxBytes, bytes)) return false;
    size_t size = bytes->size();
    if (size < 12) return false;
    Uint8* b = bytes->data();
    auto put = [&](size_t at, Uint32 v) { // little-endian, as RIFF is
        for (int i = 0; i < 4; i++)
            b[at + (size_t)i] = (Uint8)(v >> (8 * i));
    };
    if (SDL_memcmp(b, "RIFF", 4) == 0) put(4, (Uint32)(size - 8));
    for (size_t at = 12; at + 8 <= size;) {
        Uint32 length = (Uint32)b[at + 4] | (Uint32)b[at + 5] << 8 | (Uint32)b[at + 6] << 16 |
                        (Uint32)b[at + 7] << 24;
        if (length > size - at - 8) {
            length = (Uint32)(size - at - 8);
            put(at + 4, length);
        }
        at += 8 + (size_t)length + (length & 1);
    }
    return true;
}

// Converts the file's samples to interleaved float, keeping its rate and at most two channels.
bool Ql_Sound_Decode(const char* path, MixSound* out) {
    SDL_AudioSpec format;
    Uint8* buf = nullptr;
    Uint32 len = 0;
    std::vector<Uint8> file;
    if (!ReadWav(path, &file)) return false;
    SDL_RWops* rw = SDL_RWFromConstMem(file.data(), (int)file.size());
    if (!rw || !SDL_LoadWAV_RW(rw, 1, &format, &buf, &len)) return false;
    int channels = format.channels >= 2 ? 2 : 1;
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, format.format, format.channels, format.freq, AUDIO_F32SYS,
                          (Uint8)channels, format.freq) < 0) {
        SDL_FreeWAV(buf);
        return false;
    }
    std::vector<Uint8> work((size_t)len * (size_t)(cvt.len_mult > 0 ? cvt.len_mult : 1));
    SDL_memcpy(work.data(), buf, len);
    SDL_FreeWAV(buf);
    cvt.buf = work.data();
    cvt.len = (int)len;
    if (cvt.needed && SDL_ConvertAudio(&cvt) != 0) return false;
    int bytes = cvt.needed ? cvt.len_cvt : (int)len;
    out->channels = channels;
    out->rate = format.freq;
    out->frames = bytes / (int)(sizeof(float) * (size_t)channels);
    out->samples.assign((const float*)work.data(),
                        (const float*)work.data() + out->frames * channels);
    for (float& v : out->samples)
        if (!std::isfinite(v)) v = 0.0f;
    return out->frames > 0;
}

QL_Sound QL_Sound_Load(const char* path) {
    EngineLog_Asset(true, "sound", path);
    QL_SoundData* s = new QL_SoundData;
    if (!path || !Ql_Sound_Decode(path, &s->mix)) {
        delete s;
        return nullptr;
    }
    s->path = path;
    return s;
}

// Voices still playing the sound stop before its samples go.
void QL_Sound_Free(QL_Sound sound) {
    EngineLog_Asset(false, "sound", sound ? sound->path.c_str() : "");
    if (!sound) return;
    Lock();
    Mixer_StopSound(&mixer, &sound->mix);
    Unlock();
    delete sound;
}

void QL_Sound_PlayAdvanced(QL_Sound sound, float volume, float pitch, bool looping, int group) {
    EngineLog_Play(sound ? sound->path.c_str() : "", volume, pitch, looping, group, g_ql.frame);
    if (!sound) return;
    Lock();
    Mixer_Play(&mixer, &sound->mix, volume, pitch, looping, group);
    Unlock();
}

void QL_Sound_SetGroupVolume(int group, float volume) {
    Lock();
    Mixer_SetGroupVolume(&mixer, group, volume);
    Unlock();
}

void QL_Sound_StopGroup(int group) {
    Lock();
    Mixer_StopGroup(&mixer, group);
    Unlock();
}

void QL_Sound_PauseAll() {
    Lock();
    Mixer_PauseAll(&mixer);
    Unlock();
}

void QL_Sound_ResumeAll() {
    Lock();
    Mixer_ResumeAll(&mixer);
    Unlock();
}

void QL_Sound_StopAll() {
    Lock();
    Mixer_StopAll(&mixer);
    Unlock();
}

int Ql_Sound_ActiveVoices() {
    return Mixer_ActiveVoices(&mixer);
}

float Ql_Sound_GroupVolume(int group) {
    return group >= 0 && group < kMixGroups ? mixer.groupVolume[group] : 0.0f;
}
