// The PJL job header and trailer around every PostScript job.
#pragma once

#include "common/record.h"
#include "plug-in/render/spool.h"

namespace corv::render {

struct JobState;

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

// The pure halves: each piece handed to the sink is one write to the job.
void WriteJobStart(const PjlJob& job, Sink& out);
void WriteRoutingAndColour(const PjlJob& job, Sink& out);
void WriteJobEnd(Sink& out);

// The shell halves for the injection points: 1 when they ran, 0 when the device, the record or
// the job state is missing (nothing is written then).
int BeginStream(PDEVOBJ device, IPrintCorePS2* helper);
int RoutingAndColour(PDEVOBJ device, IPrintCorePS2* helper);
int EndStream(PDEVOBJ device, IPrintCorePS2* helper);

}  // namespace corv::render
