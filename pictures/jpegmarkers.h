#pragma once

// The one hand-written reading of a JPEG file: a walk over its markers, without decoding, that
// finds the kind of its frame and counts its scans, so that a file is judged at the click, before
// a decode that runs on another thread.

#include <cstdio>

namespace tk::jpeg {

struct Walk {
    int frame = 0; // the first frame marker (SOF0 to SOF15); 0 when there is none before a scan
    int scans = 0; // start-of-scan markers, counted up to one past maxScans
};

// A frame marker: 0xC0 to 0xCF, but for C4, C8 and CC, which are other markers.
bool isFrame(int marker);

// The file's markers from its start; unless the scans are counted, the walk stops at the frame.
Walk walkMarkers(std::FILE* file, bool countScans);
int frameMarker(std::FILE* file);

} // namespace tk::jpeg
