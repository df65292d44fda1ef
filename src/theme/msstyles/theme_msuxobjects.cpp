#include "theme/msstyles/theme_msuxobjects.h"

#include "platform/quillon_error.h"
#include "platform/text_case.h"
#include "theme/msstyles/msux_ini.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace quillon {

// Index 56 reads "TrackBar.Tics" a second time, as the theme class always has.

namespace {

std::optional<int> decimal(const std::string &text)
{
    const std::string t = TrimmedText(text);
    int value = 0;
    const char *begin = t.data(), *end = t.data() + t.size();
    if (begin != end && *begin == '+')
        ++begin;
    const auto [stop, ec] = std::from_chars(begin, end, value);
    if (begin == end || ec != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

int enumOf(const std::string &value, std::initializer_list<std::pair<const char *, int>> words, int otherwise)
{
    const std::string v = LowerCase(value);
    for (const auto &[word, number] : words)
        if (v == word)
            return number;
    return otherwise;
}

} // namespace

std::vector<std::string> ValueWords(const std::string &value)
{
    std::vector<std::string> words;
    std::string rest = TrimmedText(value);
    while (!rest.empty()) {
        const size_t end = rest.find_first_of(" (),:;=");
        if (end == std::string::npos) {
            words.push_back(rest);
            break;
        }
        words.push_back(rest.substr(0, end));
        rest = TrimmedText(rest.substr(end + 1));
    }
    return words;
}

int ParseThemeInteger(const std::string &value)
{
    const auto v = decimal(value);
    if (!v)
        RaiseError("'" + value + "' is not a valid integer value");
    return *v;
}

ThemeColor ParseThemeColor(const std::string &value)
{
    const std::vector<std::string> words = ValueWords(value);
    int channel[3] = {0, 0, 0};
    for (size_t i = 0; i < 3 && i < words.size(); ++i)
        channel[i] = words[i].empty() ? 0 : ParseThemeInteger(words[i]);
    return MakeThemeColor(channel[0], channel[1], channel[2]);
}

bool ParseThemeBoolean(const std::string &value)
{
    const std::string v = LowerCase(TrimmedText(value));
    return v == "true" || v == "1" || v == "yes";
}

Margins ParseThemeMargins(const std::string &value)
{
    const std::vector<std::string> words = ValueWords(value);
    std::optional<int> m[4];
    for (size_t i = 0; i < 4; ++i)
        if (i < words.size())
            m[i] = decimal(words[i]);
    for (const auto &v : m)
        if (!v)
            return {};
    return Margins{*m[0], *m[1], *m[2], *m[3]};
}

std::pair<int, int> ParseThemePoint(const std::string &value)
{
    const std::vector<std::string> words = ValueWords(value);
    return {words.size() > 0 ? ParseThemeInteger(words[0]) : 0, words.size() > 1 ? ParseThemeInteger(words[1]) : 0};
}

QFont ParseThemeFont(const std::string &value)
{
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        const size_t comma = value.find(',', start);
        fields.push_back(
            TrimmedText(value.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    QFont font(QString::fromStdString(fields[0]));
    if (fields.size() > 1)
        font.setPointSize(std::max(1, ParseThemeInteger(fields[1])));
    // Any word at all in a field sets its style, whatever it says.
    font.setBold(fields.size() > 2 && !fields[2].empty());
    font.setItalic(fields.size() > 3 && !fields[3].empty());
    font.setUnderline(fields.size() > 4 && !fields[4].empty());
    font.setStrikeOut(fields.size() > 5 && !fields[5].empty());
    return font;
}

std::string MsStylesImageName(const std::string &value)
{
    std::string name = value;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\')
            name[i] = '_';
        else if (name[i] == '.' && i + 2 < name.size() && (name[i + 1] == 'b' || name[i + 1] == 'B'))
            name[i] = '_';
    }
    return UpperCase(TrimmedText(name));
}

std::optional<std::string> TmsuxThemeObject::Property(const std::string &key) const
{
    const std::string k = LowerCase(key);
    for (const auto &[name, value] : Properties)
        if (name == k)
            return value;
    return std::nullopt;
}

void TmsuxThemeObject::Load(const MsuxIni &ini, const std::string &sectionName, const BitmapSource &bitmaps)
{
    SectionName = sectionName;
    const MsuxIni::Section *section = ini.FindSection(sectionName);
    if (!section)
        return;
    for (size_t i = 0; i < section->Entries.size(); ++i) {
        Defined = true;
        // A line without "=" names no key: it matches nothing.
        if (!section->HasEquals[i])
            continue;
        const auto &entry = section->Entries[i];
        const std::string key = TrimmedText(entry.first);
        // The later of two equal keys answers the look-up.
        const std::string value = TrimmedText(ini.ReadString(sectionName, key).value_or(entry.second));
        const std::string k = LowerCase(key);
        Apply(k, value, bitmaps);
        auto existing = std::find_if(Properties.begin(), Properties.end(), [&](const auto &p) { return p.first == k; });
        if (existing != Properties.end())
            existing->second = value;
        else
            Properties.emplace_back(k, value);
    }
    if (Image.Valid()) {
        MarkTransparent(Image);
        if (Image.Bitmap->HasTransparentMarks) {
            Transparent = true;
            DrawMode = 3;
        }
        if (Image.Bitmap->HasAlpha)
            DrawMode = 3;
    }
    if (GlyphTransparent) {
        for (TteBitmapLink *link : {&GlyphImage, &Image1, &Image2, &Image3})
            if (link->Valid())
                MarkTransparent(*link);
    } else {
        for (TteBitmapLink *link : {&Image1, &Image2, &Image3})
            if (link->Valid()) {
                MarkTransparent(*link);
                if (link->Bitmap->HasTransparentMarks) {
                    Transparent = true;
                    DrawMode = 3;
                }
            }
    }
}

void TmsuxThemeObject::MarkTransparent(TteBitmapLink &link)
{
    if (!link.Bitmap->HasTransparentMarks) {
        // The colour value keeps red in its low byte; the marking wants 0xRRGGBB.
        const uint32_t c = TransparentColor;
        link.Bitmap->MarkTransparentColor((c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF));
    }
}

void TmsuxThemeObject::LinkImage(TteBitmapLink &link, const std::string &value, const BitmapSource &bitmaps,
                                 bool changesDrawMode)
{
    const std::string name = MsStylesImageName(value);
    TteBitmap *bitmap = bitmaps ? bitmaps(name) : nullptr;
    link = TteBitmapLink(bitmap, bitmap ? bitmap->Rect() : QRect(), name);
    if (changesDrawMode && bitmap && (bitmap->HasAlpha || bitmap->HasTransparentMarks)) {
        DrawMode = 3;
        Transparent = true;
    }
}

void TmsuxThemeObject::Apply(const std::string &key, const std::string &value, const BitmapSource &bitmaps)
{
    if (key == "bgtype")
        BgType = enumOf(value, {{"borderfill", 1}, {"imagefile", 2}, {"none", 3}}, 0);
    else if (key == "fillcolorhint")
        FillColorHint = ParseThemeColor(value);
    else if (key == "fillcolor")
        FillColor = ParseThemeColor(value);
    else if (key == "textcolor")
        TextColor = ParseThemeColor(value);
    else if (key == "bordercolor")
        BorderColor = ParseThemeColor(value);
    else if (key == "transparentcolor")
        TransparentColor = ParseThemeColor(value);
    else if (key == "transparent")
        Transparent = ParseThemeBoolean(value);
    else if (key == "bordersize")
        BorderSize = ParseThemeInteger(value);
    else if (key == "imageselecttype") {
        const auto words = ValueWords(value);
        ImageSelectType = enumOf(words.empty() ? "" : words[0], {{"dpi", 1}, {"size", 2}}, 0);
    } else if (key == "imagefile" || key == "imagefile1" || key == "imagefile2" || key == "imagefile3") {
        TteBitmapLink &link = key == "imagefile"    ? Image
                              : key == "imagefile1" ? Image1
                              : key == "imagefile2" ? Image2
                                                    : Image3;
        LinkImage(link, value, bitmaps, true);
        BgType = 2;
    } else if (key == "imagecount")
        ImageCount = ParseThemeInteger(value);
    else if (key == "imagelayout")
        ImageLayout = enumOf(value, {{"horizontal", 1}}, 0);
    else if (key == "sizingtype")
        SizingType = enumOf(value,
                            {{"stretch", 1},
                             {"tilevertical", 2},
                             {"tilehorizontal", 3},
                             {"truesize", 4},
                             {"bordertileclientstretch", 5},
                             {"borderstretchclienttile", 6}},
                            0);
    else if (key == "sizingmargins")
        SizingMargins = ParseThemeMargins(value);
    else if (key == "glyphtransparent")
        GlyphTransparent = ParseThemeBoolean(value);
    else if (key == "glyphtype")
        GlyphType = enumOf(value, {{"imageglyph", 1}}, 0);
    else if (key == "glyphimagefile")
        LinkImage(GlyphImage, value, bitmaps, false);
    else if (key == "contentalignment")
        ContentAlignment = enumOf(value, {{"center", 1}, {"right", 2}}, 0);
    else if (key == "contentmargins")
        ContentMargins = ParseThemeMargins(value);
    else if (key == "captionmargins")
        CaptionMargins = ParseThemeMargins(value);
    else if (key == "textshadowtype")
        TextShadowType = enumOf(value, {{"single", 1}, {"continuous", 2}}, 0);
    else if (key == "textshadowcolor")
        TextShadowColor = ParseThemeColor(value);
    else if (key == "textshadowoffset")
        TextShadowOffset = ParseThemePoint(value);
}

} // namespace quillon
