#pragma once
// The optional sound library "fmod.dll": samples and streams played on numbered channels, and module
// songs. The program reaches it only through the module table, by the entries' decorated names.
//
// Here it plays over the process's one software mixer. Samples and streams are WAV, Ogg Vorbis or
// MP3 files, decoded whole when opened; a module song is rendered whole when loaded. Files are read
// from the disk, not through the archive layer. Channel volumes run 0-255, module volumes 0-256.

#include <cstdint>

struct FSOUND_SAMPLE;
struct FSOUND_STREAM;
struct FMUSIC_MODULE;

// Sample modes, as bits.
constexpr unsigned int FSOUND_LOOP_OFF = 0x01;
constexpr unsigned int FSOUND_LOOP_NORMAL = 0x02;
constexpr unsigned int FSOUND_8BITS = 0x08;
constexpr unsigned int FSOUND_16BITS = 0x10;
constexpr unsigned int FSOUND_MONO = 0x20;
constexpr unsigned int FSOUND_STEREO = 0x40;
// A channel or sample index that lets the library choose.
constexpr int FSOUND_FREE = -1;

signed char FSOUND_SetBufferSize(int ms);
signed char FSOUND_SetHWND(void* window);
// Opens the output. Playing opens it too, so a caller that never calls this still plays.
signed char FSOUND_Init(int mixRate, int maxChannels, unsigned int flags);
// Stops every channel and module and closes the output; loaded samples and songs stay.
void FSOUND_Close();

// Null when the file does not open or decode. The index is ignored: samples are never replaced.
FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* name, unsigned int mode, int length);
// A silent sample of `length` frames.
FSOUND_SAMPLE* FSOUND_Sample_Alloc(int index, int length, unsigned int mode, int frequency, int volume, int pan,
                                   int priority);
// Stops the channels that play it.
void FSOUND_Sample_Free(FSOUND_SAMPLE* sample);
// Offsets and lengths in bytes; the whole range lies in the first part, the second is always empty.
signed char FSOUND_Sample_Lock(FSOUND_SAMPLE* sample, int offset, int length, void** part1, void** part2,
                               unsigned int* bytes1, unsigned int* bytes2);
signed char FSOUND_Sample_Unlock(FSOUND_SAMPLE* sample, void* part1, void* part2, unsigned int bytes1,
                                 unsigned int bytes2);
// Frames, both inclusive; taken by the channels started afterwards.
signed char FSOUND_Sample_SetLoopPoints(FSOUND_SAMPLE* sample, int start, int end);
// Frames.
unsigned int FSOUND_Sample_GetLength(FSOUND_SAMPLE* sample);
// Any out pointer may be null.
signed char FSOUND_Sample_GetDefaults(FSOUND_SAMPLE* sample, int* frequency, int* volume, int* pan, int* priority);
unsigned int FSOUND_Sample_GetMode(FSOUND_SAMPLE* sample);

// Starts the sample at once on the channel (FSOUND_FREE: the first idle one); answers the channel
// or -1. Whatever the channel played before stops.
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample);
signed char FSOUND_StopSound(int channel);
signed char FSOUND_SetVolume(int channel, int volume);
signed char FSOUND_SetPaused(int channel, signed char paused);
signed char FSOUND_SetLoopMode(int channel, unsigned int mode);
// True while the channel plays or is paused.
signed char FSOUND_IsPlaying(int channel);

FSOUND_STREAM* FSOUND_Stream_OpenFile(const char* name, unsigned int mode, int length);
signed char FSOUND_Stream_Close(FSOUND_STREAM* stream);
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);

// Null when the file is no module song the reader knows, or plays longer than half an hour.
FMUSIC_MODULE* FMUSIC_LoadSong(const char* name);
// From its first order, looping at the end of its orders unless looping was switched off.
signed char FMUSIC_PlaySong(FMUSIC_MODULE* module);
signed char FMUSIC_StopSong(FMUSIC_MODULE* module);
// Takes a loop mode, as the program passes it: FSOUND_LOOP_NORMAL loops, anything else plays once.
signed char FMUSIC_SetLooping(FMUSIC_MODULE* module, signed char mode);
// False for an order the song never reaches.
signed char FMUSIC_SetOrder(FMUSIC_MODULE* module, int order);
signed char FMUSIC_SetPaused(FMUSIC_MODULE* module, signed char paused);
signed char FMUSIC_SetMasterVolume(FMUSIC_MODULE* module, int volume);
// True from PlaySong until it stops or ends, paused or not.
signed char FMUSIC_IsPlaying(FMUSIC_MODULE* module);
