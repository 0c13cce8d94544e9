#pragma once

#include "files/pager_data_file.h"

namespace harvelin {

// How a read-out ("Pager -> PC") ended.
enum class ReadOutEnd {
    NotStarted,  // no link, or the user kept the form's unsaved changes
    NoVersion,   // the pager named no version, so nothing of it was read
    Cancelled,   // "Abbrechen"
    Incomplete,  // a step got no usable reply, or a late reply may have gone astray
    Complete,
};

// What a read-out got. The form takes it only when the read-out is
// complete; an incomplete one leaves the form as it was, and what the pager
// did answer can be kept as a file of the answered lines alone.
struct ReadOutResult {
    ReadOutEnd end = ReadOutEnd::NotStarted;
    // The configuration the form held at the start with every answer put in.
    PagerConfiguration read;
    // The lines of a saved configuration that the pager answered for;
    // keyedLines counts them.
    FileCoverage answered;

    bool complete() const { return end == ReadOutEnd::Complete; }
    // An incomplete read-out that got any line at all.
    bool gaveSomething() const { return answered.holdsConfiguration(); }
};

}  // namespace harvelin
