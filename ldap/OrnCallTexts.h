// The log lines of the operation calls, one table per call, so that the calls
// share their steps (OrnOperations.cpp) and differ only in what they write.
// Internal to the operation calls. A null text writes no line; "%d" texts
// get the code at hand.
#pragma once

#include <cstdint>

struct OrnSendTexts {
    const char* encodeError; // the encoder's code
    const char* noBuffer;    // ORN_BER_ENCODE_ERROR: the encoder gave no buffer
    const char* sendError;   // ORN_SENDING_ERROR
    const char* freeing;     // after a successful send
};

struct OrnCallTexts {
    const char* start;
    const char* notInitialised; // ORN_NOT_INITIALISED
    OrnSendTexts send;
    const char* saving;
    const char* failed; // synchronous: the response's code when it is not 0
    const char* end;
    bool compare = false;    // synchronous: 5 and 6 are answers, not failures
};
