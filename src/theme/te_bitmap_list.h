#pragma once
// Named references into bitmaps, and the named bitmap list of a theme.

#include "theme/te_bitmap.h"

#include <memory>
#include <string>
#include <vector>

namespace quillon {

class TteBitmapLink {
public:
    TteBitmapLink() = default;
    TteBitmapLink(TteBitmap *bitmap, QRect sourceRect, std::string name)
        : Bitmap(bitmap), SourceRect(sourceRect), Name(std::move(name))
    {
    }

    TteBitmap *Bitmap = nullptr; // not owned
    QRect SourceRect;
    std::string Name;
    uint8_t Options[3] = {0, 0, 0};

    void Assign(const TteBitmapLink &other) { *this = other; }
    bool Valid() const { return Bitmap && SourceRect.width() > 0 && SourceRect.height() > 0; }
};

class TteBitmapList {
public:
    int Count() const { return static_cast<int>(Items_.size()); }
    TteBitmap *Items(int index) const;
    TteBitmap &Add(std::unique_ptr<TteBitmap> bitmap);
    void Clear() { Items_.clear(); }
    // The first bitmap whose name equals name without regard to case.
    TteBitmap *FindBitmap(const std::string &name) const;
    std::unique_ptr<TteBitmapLink> MakeLink(const std::string &name, QRect rect) const;

private:
    std::vector<std::unique_ptr<TteBitmap>> Items_;
};

} // namespace quillon
