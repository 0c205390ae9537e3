/// @file
/// audio.h -- the audio layer's chief header: sound effects from WAV files through DirectSound and
/// MIDI music through DirectMusic; the slot records, the layer globals, and every operation in the
/// order a caller uses them. Results: 1 success, 0 failure; loaders return a slot id or -1.
/// An id outside a table (-1 included) is a slot that holds nothing, for every operation.
///
/// Layers, each including and calling only those below it:
///   shell -> game -> [lib] -> services -> platform (the SDK) -> host -> system libraries
/// audio/ binds its devices to the window handle in services.h, and calls nothing above lib/.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>
#include <dmusici.h>

#include <cstddef>
#include <cstdint>

/// @name Failure reasons (sound.cpp)
//@{
/// Why the layer's last loader or init call failed, in a few plain words. The calls are sound_init,
/// sound_load_wav, music_init and music_load_midi; the words leave out the file's name, which the
/// caller knows: "not a WAV file: it holds no RIFF WAVE chunk", "there is no sound device". "" when
/// that call succeeded; kept until the next of those calls. Not for several threads.
const char* audio_reason();
//@}

/// One sound effect's slot in sound_slots.
struct SoundSlot {
    LPDIRECTSOUNDBUFFER buffer;  ///< the effect's secondary buffer; null when the slot holds none
    int state;                   ///< SOUND_SLOT_FREE or SOUND_SLOT_LOADED; playing is DirectSound's state
    int rate;                    ///< samples per second the WAV file declares, which the buffer plays at
    int size;                    ///< bytes in the buffer: 8-bit mono samples
    int id;                      ///< the slot's own index
};

/// @name Sound effects: records and globals (sound.cpp)
//@{
constexpr int SOUND_SLOT_COUNT = 256;  ///< entries of sound_slots
constexpr int SOUND_SLOT_FREE = 0;    ///< a load or a replication may take the slot
constexpr int SOUND_SLOT_LOADED = 1;  ///< taken, with or without a buffer, until sound_init

extern LPDIRECTSOUND dsound;                     ///< the DirectSound object; music plays through it too
extern SoundSlot sound_slots[SOUND_SLOT_COUNT];  ///< the effect table; an effect's id is its index
extern int sound_first_init;                     ///< 1 until the first sound_init has run
extern WAVEFORMATEX sound_wave_format;           ///< the format the last load gave its buffer
extern DSBUFFERDESC sound_buffer_desc;           ///< the description the last load gave its buffer
//@}

/// @name Sound effects: operations (sound.cpp, wav_file.cpp)
//@{
/// First call: creates dsound (0 if it cannot); every call stops, releases and empties all slots.
int sound_init();
/// Loads a RIFF WAVE PCM file, plain or extensible (8, 16, 24 or 32 bits, 1 to 32 channels), into the
/// lowest free slot as 8-bit mono (the channels averaged) at the file's own rate, with the DSBCAPS
/// control bits asked for; the id, or -1 (audio_reason() says why).
int sound_load_wav(const char* filename, DWORD control_flags);
/// The same from the `size` bytes of a whole WAV file in memory (made in code, or read from an
/// archive); the id, or -1 (audio_reason() says why).
int sound_load_wav_memory(const uint8_t* data, size_t size, DWORD control_flags);
/// A second slot playing the source's samples on its own; the id, or -1.
int sound_replicate(int source_id);
int sound_play(int id, DWORD play_flags);     ///< from the start; 1 also for an empty slot, 0 if refused
int sound_set_volume(int id, int volume);      ///< 0 … 100 → -3000 … 0 hundredths of a decibel
int sound_set_frequency(int id, int frequency);  ///< Hz; 0 restores the file's rate
int sound_set_pan(int id, int pan);            ///< -10000 (left) … 10000 (right)
int sound_status(int id);                      ///< DSBSTATUS bits; -1 for a slot without a buffer
int sound_stop(int id);                        ///< stops and rewinds; always 1
int sound_stop_all();                          ///< always 1
int sound_delete(int id);                      ///< releases the buffer; the slot stays taken; always 1
int sound_delete_all();                        ///< always 1
int sound_shutdown();                          ///< releases every buffer, then dsound; always 1
//@}

/// One piece of music's slot in music_slots.
struct MusicSlot {
    IDirectMusicSegment* segment;             ///< the loaded piece; null when the slot is free
    IDirectMusicSegmentState* segment_state;  ///< what the slot's last play gave back, or null
    int id;                                   ///< the slot's own index
    int state;                                ///< one of MUSIC_SLOT_*
};

/// @name Music: records and globals (music.cpp)
//@{
constexpr int MUSIC_SLOT_COUNT = 64;   ///< entries of music_slots
constexpr int MUSIC_SLOT_FREE = 0;     ///< no piece
constexpr int MUSIC_SLOT_LOADED = 1;   ///< a piece that has not played
constexpr int MUSIC_SLOT_PLAYING = 2;  ///< as the layer last knew: an ended piece stays so until asked
constexpr int MUSIC_SLOT_STOPPED = 3;  ///< a piece that played and stopped or ended

extern IDirectMusicPerformance* music_performance;  ///< plays every segment through dsound
extern IDirectMusicLoader* music_loader;            ///< reads MIDI files from disk
extern MusicSlot music_slots[MUSIC_SLOT_COUNT];     ///< the music table; a piece's id is its index
extern int music_current;                           ///< the id music_play last started, or -1
//@}

/// @name Music: operations (music.cpp)
//@{
int music_init();  ///< after sound_init: COM, the performance on dsound and its synthesizer, the loader
/// Loads a standard MIDI file from the current directory into the lowest free slot; the id, or -1
/// (audio_reason() says why). Any number of tracks plays: past the 127 the synthesizer's player
/// reads, the last ones are merged into one, each event at its own time. Refused, each for its
/// reason, are the files that cannot play:
///   - chunks or events that do not parse: the player would read it otherwise, or not at all
///   - format 2: separate pieces in one file, which the player would sound at once
///   - SMPTE time instead of ticks a beat: the player counts only ticks a beat
///   - 0 ticks a beat, or a tempo of 0: a tempo of 0 cannot play
///   - a track longer than 2^28 - 1 ticks: a track longer than the player can count
///   - a file over 8 MiB: more than any piece needs, and the player holds it several times over
int music_load_midi(const char* filename);
int music_play(int id);    ///< stops music_current, then plays this piece once from its start
int music_stop(int id);    ///< stops the piece; music_current becomes -1
int music_status(int id);  ///< the refreshed state (2 or 3), or 0 for a slot without a piece
int music_delete(int id);  ///< frees the slot without stopping the piece; always 1
int music_delete_all();    ///< always 1
int music_shutdown();      ///< stops everything, frees every slot, releases all, ends COM; always 1
//@}
