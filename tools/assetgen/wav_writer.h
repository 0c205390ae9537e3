// wav_writer.h -- RIFF WAVE files of 8-bit unsigned mono PCM at 11025 Hz, the one format the game plays.
#pragma once
#include <string>
#include <vector>

#include "bytes.h"

constexpr int SAMPLE_RATE = 11025;

// Scales the signal so its largest magnitude is `peak` (of full scale 1.0), then stores it as unsigned
// bytes around 128: a RIFF chunk, a 16-byte "fmt " chunk and a "data" chunk (padded to even length).
Bytes encode_wav8(const std::vector<float>& signal, float peak);

bool write_wav8(const std::string& path, const std::vector<float>& signal, float peak);
