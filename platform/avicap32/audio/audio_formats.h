// Conversions between the audio format records: the platform's WAVEFORMATEX
// (and the record stored for it: the WAVEFORMATEX, and for a format other
// than PCM its cbSize extra bytes), the core's PcmFormat and the AVI
// writer's AudioFormat.
#ifndef MORVA_AVICAP32_AUDIO_AUDIO_FORMATS_H
#define MORVA_AVICAP32_AUDIO_AUDIO_FORMATS_H

#include <windows.h>
#include <mmsystem.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/camera/audio_pcm.h"
#include "core/riff/avi_format.h"

audio::PcmFormat PcmFromWave(const WAVEFORMATEX& w);
WAVEFORMATEX WaveFromPcm(const audio::PcmFormat& f);  // cbSize 0
// A stored format (at least a PCMWAVEFORMAT) as a WAVEFORMATEX; what it
// lacks of one stays zero.
WAVEFORMATEX WaveFromBytes(const std::vector<uint8_t>& stored);
std::vector<uint8_t> BytesOfWave(const WAVEFORMATEX& w);
// The record stored for a format given in `size` bytes at `in`: PCM as a
// whole WAVEFORMATEX with cbSize 0, any other format with its cbSize extra
// bytes; empty when `size` falls short of them.
std::vector<uint8_t> RecordOfWave(const WAVEFORMATEX* in, size_t size);
// A stored record as one whole format (its extra bytes follow it); null
// when the bytes are too few for it.
const WAVEFORMATEX* WaveFormatOf(const std::vector<uint8_t>& record);
// The AVI writer's format of a stored record, its extra bytes too.
avi::AudioFormat AviAudioFromRecord(const std::vector<uint8_t>& record);

#endif
