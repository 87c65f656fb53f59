// Access to the capture-service test double's control functions, looked up
// in the avicap32.dll loaded beside the test executable.
#ifndef MORVA_TESTS_SUPPORT_FAKE_CAP_API_H
#define MORVA_TESTS_SUPPORT_FAKE_CAP_API_H

#include <vector>

#include "tests/wine/fake_avicap32/fake_avicap32.h"

struct FakeCapFunctions {
  FakeCap_Reset_t Reset;
  FakeCap_SetDriver_t SetDriver;
  FakeCap_SetConnectResult_t SetConnectResult;
  FakeCap_SetAnswer_t SetAnswer;
  FakeCap_SetVideoFormat_t SetVideoFormat;
  FakeCap_SetCaptureFile_t SetCaptureFile;
  FakeCap_RequestCount_t RequestCount;
  FakeCap_GetRequest_t GetRequest;
  FakeCap_CreationCount_t CreationCount;
  FakeCap_GetCreation_t GetCreation;
  FakeCap_GetCallback_t GetCallback;
  FakeCap_SetCaps_t SetCaps;
  FakeCap_GetSequenceSetup_t GetSequenceSetup;
};

// The functions of the loaded fake; aborts the test program with a message
// when avicap32.dll is not the fake (the tests would otherwise lie).
const FakeCapFunctions& FakeCapApi();

// The whole request log, in order.
std::vector<FakeCapRequest> FakeCapRequests();

// Request numbers only, in order (handy for comparing sequences).
std::vector<UINT> FakeCapRequestNumbers();

#endif
