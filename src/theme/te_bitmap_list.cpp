#include "theme/te_bitmap_list.h"

#include "platform/text_case.h"

#include <algorithm>
#include <cctype>

namespace quillon {

TteBitmap *TteBitmapList::Items(int index) const
{
    return index >= 0 && index < Count() ? Items_[size_t(index)].get() : nullptr;
}

TteBitmap &TteBitmapList::Add(std::unique_ptr<TteBitmap> bitmap)
{
    Items_.push_back(std::move(bitmap));
    return *Items_.back();
}

TteBitmap *TteBitmapList::FindBitmap(const std::string &name) const
{
    for (const auto &b : Items_)
        if (SameTextIgnoringCase(b->Name, name))
            return b.get();
    return nullptr;
}

std::unique_ptr<TteBitmapLink> TteBitmapList::MakeLink(const std::string &name, QRect rect) const
{
    TteBitmap *bitmap = FindBitmap(name);
    if (!bitmap)
        return nullptr;
    return std::make_unique<TteBitmapLink>(bitmap, rect, name);
}

} // namespace quillon
