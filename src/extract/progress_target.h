#pragma once
#include <string>

namespace quillon {

// Where the parser writes an extraction's percentage: the job list.
class ProgressTarget {
public:
    virtual ~ProgressTarget() = default;
    virtual int Count() const = 0;
    virtual void SetProgressText(int index, const std::string &text) = 0;
    // The same progress as a share of the entry, 0 to 1, after its text.
    virtual void ProgressMade(int /*index*/, double /*fraction*/) {}
};

} // namespace quillon
