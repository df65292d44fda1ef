#include "extract/converter_pool.h"

#include <algorithm>

namespace quillon {

ConverterPool::ConverterPool(std::string programDir) : ProgramDir(std::move(programDir)) { Lane(0); }

ConverterPool::ConverterLane &ConverterPool::Lane(int lane)
{
    while (static_cast<int>(Lanes.size()) <= lane)
        Lanes.push_back(std::make_unique<ConverterLane>(ProgramDir, Lanes.empty() ? nullptr : &Lanes[0]->probe));
    return *Lanes[static_cast<size_t>(lane)];
}

bool ConverterPool::AnyActive() const
{
    return std::any_of(Lanes.begin(), Lanes.end(), [](const auto &l) { return l->session.Runner().Active(); });
}

} // namespace quillon
