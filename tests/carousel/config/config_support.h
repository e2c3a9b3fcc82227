#pragma once
// What the tests of Carousel's settings share: files beside the test, copies of the stand-in
// savers, the settings key cleared before and after, and the record the started programs write.
#include <windows.h>

#include <string>

#include "carousel_settings.h"

// A file beside this test program.
std::string BesideTest(const char* name);
// This test program's own path.
std::string ThisProgram();

// Removes Carousel's settings key (with the preview's below it).
void RemoveCarouselKey();
// Writes one raw value under Carousel's key, created if needed.
void SetRawValue(const char* name, DWORD type, const std::string& bytes);

// The record file CAROUSEL_PAGE_RECORD names (set for this process and the ones it starts).
std::string RecordPath();
// The first line of the record starting with prefix, waited for up to timeoutMs; empty if none.
std::string AwaitRecordLine(const std::string& prefix, DWORD timeoutMs);

// One line for a whole settings record: "savers=a|b monitors=same order=list cycle=600".
std::string DescribeSettings(const carousel::Settings& settings);

// This program started as the page's preview ("/s" with the preview's environment): appends
// "preview " and what ReadSettings gives to the record.
bool IsPreviewRun();
int RecordPreviewRun();
