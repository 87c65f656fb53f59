// The audio compression manager's own formats. A format other than PCM is
// recorded only as the manager itself makes it: its record, fields and extra
// bytes, equal to a format that the manager suggests for PCM of the same rate
// and channels or lists with that tag, rate and channels. A record whose
// fields contradict each other (a block size that its samples per block do
// not fill, a byte rate of 0, a block size of 0, the extra bytes left out)
// matches none of them, so no codec is ever handed one, and the rate and
// block size that the AVI file's audio stream header gets from the record
// are the manager's own.
#ifndef MORVA_AVICAP32_AUDIO_ACM_OWN_FORMAT_H
#define MORVA_AVICAP32_AUDIO_ACM_OWN_FORMAT_H

#include <windows.h>
#include <mmsystem.h>

#include <cstddef>

// True when `format` (a whole record, its extra bytes following it) is one
// of the manager's own formats.
bool IsAcmOwnFormat(const WAVEFORMATEX& format);

// How `format` differs from the manager's own format of its kind (the one
// with the same block size, else the one it suggests), in words for a
// report; false when the manager makes no format of its kind or `format`
// is one of its own.
bool DescribeAcmDisagreement(const WAVEFORMATEX& format, char* why, size_t size);

#endif
