// The PJL job header and trailer around every PostScript job.
#pragma once

#include "common/record.h"
#include "plug-in/render/spool.h"

#include <cstddef>

namespace corv::render {

struct JobState;

inline constexpr size_t kPjlLineSize = 2048;  // every piece is cut at 2047 bytes
inline constexpr size_t kDocNameUnits = 256;  // JobState::docName

// Everything the header reads, gathered by the shell from the device, the system and the core
// driver, so that the text itself is a pure function of it.
struct PjlJob {
    const JobSettings* record = nullptr;
    short dmCopies = 1;
    short dmColor = 2;                   // 1 is the platform's monochrome value
    const WCHAR* docName = nullptr;      // wchar[256] of the job state
    const char* userName = nullptr;      // null when the system did not give one
    const char* computerName = "";       // empty when the system did not give one
    bool hasManualColorCorrection = false;
    bool hasKeepPreviousPHJobs = false;
    LANGID language = 0;                 // the system's default language
};

// A value between PJL quotes must neither close them nor start a new command: the copy turns
// every double quote and every control byte (below 0x20) into a blank. Cut to the buffer.
void CopyPjlQuotable(char* dst, size_t capacity, const char* src);

// The pure halves: each piece handed to the sink is one write to the job, never empty.
void WriteJobStart(const PjlJob& job, Sink& out);
void WriteRoutingAndColour(const PjlJob& job, Sink& out);
void WriteJobEnd(Sink& out);

// The shell halves for the injection points: 1 when they ran, 0 when the device, the helper,
// the record or the job state is missing (nothing is written then).
int BeginStream(PDEVOBJ device, IPrintCorePS2* helper);
int RoutingAndColour(PDEVOBJ device, IPrintCorePS2* helper);
int EndStream(PDEVOBJ device, IPrintCorePS2* helper);

}  // namespace corv::render
