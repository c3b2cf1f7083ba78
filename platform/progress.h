#pragma once

#include <cstdint>

// Long work (sampling a dense sheet, filling a table, exporting) tells how far it got and
// learns whether to go on, so that a window can show progress and offer to cancel.
class Progress {
public:
    virtual ~Progress() = default;
    // done of total steps are finished; false asks the work to stop where it is.
    virtual bool Advance(std::int64_t done, std::int64_t total) = 0;
};
